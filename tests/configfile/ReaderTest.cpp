#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "configfile/Fixtures.h"

namespace {
const std::vector<std::string> kAllTwelve = {
    "/System/Echo 0",        "/System/Baud 19200",    "/Config/Mode 0",       "/Config/Current 5000",
    "/Config/Delay 100",     "/Config/TimeOn 1000",   "/Config/CycleTime 20000",
    "/Config/TriggerSource 1", "/Config/Edge 1",      "/Config/TriggerOut 0", "/Config/ReadyOut 2",
    "/Config/AutoStart 1",
};

std::vector<std::string> Without(const std::string& command) {
    std::vector<std::string> rest;
    for (const std::string& c : kAllTwelve) {
        if (c != command) rest.push_back(c);
    }
    return rest;
}

std::vector<std::string> With(const std::string& command, const std::string& instead) {
    std::vector<std::string> sent = kAllTwelve;
    for (std::string& c : sent) {
        if (c == command) c = instead;
    }
    return sent;
}

struct ReaderCase {
    const char* file;
    const char* messages;
    std::vector<std::string> sent;
};

void PrintTo(const ReaderCase& c, std::ostream* out) { *out << c.file; }

class Reader : public LoadingTest, public ::testing::WithParamInterface<ReaderCase> {};
}  // namespace

// A refused file sends nothing at all; one that passed is framed by Stop and Ver.
TEST_P(Reader, checks_the_whole_file_then_sends_its_values_in_a_fixed_order) {
    const ReaderCase& c = GetParam();
    Load(fs::path(FIXTURES) / c.file);
    EXPECT_EQ(PendingNoticeText(), c.messages);
    std::vector<std::string> sent;
    if (!c.sent.empty()) {
        sent.push_back("Stop");
        sent.insert(sent.end(), c.sent.begin(), c.sent.end());
        sent.push_back("Ver");
    }
    EXPECT_EQ(Commands(), sent);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, Reader,
    ::testing::Values(
        ReaderCase{"saved-example.xml", "", kAllTwelve},
        ReaderCase{"lf-line-ends.xml", "", kAllTwelve},
        ReaderCase{"bom-crlf.xml", "", kAllTwelve},
        ReaderCase{"comments.xml", "", kAllTwelve},
        ReaderCase{"tab-indented.xml", "", kAllTwelve},
        ReaderCase{"firmware-1.01.xml", "", kAllTwelve},
        ReaderCase{"other-order-and-unknown.xml", "", kAllTwelve},
        ReaderCase{"no-program.xml", "Unexpected XML structure", kAllTwelve},
        ReaderCase{"mode-self-closing.xml", "", Without("/Config/Mode 0")},
        ReaderCase{"mode-empty.xml", "", Without("/Config/Mode 0")},
        ReaderCase{"mode-missing.xml", "", Without("/Config/Mode 0")},
        ReaderCase{"no-config-group.xml", "", {"/System/Echo 0", "/System/Baud 19200"}},
        ReaderCase{"neither-program-nor-controller.xml",
                   "Unexpected XML structure\nUnexpected XML structure", {}},
        ReaderCase{"lower-case-root.xml", "Unexpected XML structure", {}},
        ReaderCase{"program-version-1.1.xml",
                   "Settings belong to newer ZL-Config version - use updated version of ZL-Config", {}},
        ReaderCase{"program-version-0.9.xml",
                   "Settings belong to newer ZL-Config version - use updated version of ZL-Config", {}},
        ReaderCase{"program-without-version.xml",
                   "Settings belong to newer ZL-Config version - use updated version of ZL-Config", {}},
        ReaderCase{"program-version-with-blanks.xml",
                   "Settings belong to newer ZL-Config version - use updated version of ZL-Config", {}},
        ReaderCase{"firmware-1.03.xml",
                   "Settings belong to newer firmware version - use updated version of ZL-Config", {}},
        ReaderCase{"firmware-empty.xml",
                   "Settings belong to newer firmware version - use updated version of ZL-Config", {}},
        ReaderCase{"plain-text.xml", "Unable to read XML-File", {}},
        ReaderCase{"empty.xml", "Unable to read XML-File", {}},
        ReaderCase{"binary.xml", "Unable to read XML-File", {}},
        ReaderCase{"truncated.xml", "Unable to read XML-File", {}},
        ReaderCase{"no-such-file.xml", "Unable to read XML-File", {}},
        // What the controller does not take is named after the reader's own messages.
        ReaderCase{"current-out-of-range.xml", "Current: value not accepted",
                   With("/Config/Current 5000", "/Config/Current 99999")},
        ReaderCase{"current-too-long.xml", "Current: value too long", {}},
        // A control character would end the command line early: the controller would run
        // what follows as a command of its own. Nothing of such a file is sent.
        ReaderCase{"mode-with-encoded-line-feed.xml", "Unexpected XML structure", {}},
        ReaderCase{"mode-with-line-break.xml", "Unexpected XML structure", {}},
        ReaderCase{"echo-with-tab-inside.xml", "Unexpected XML structure", {}},
        ReaderCase{"autostart-with-delete.xml", "Unexpected XML structure", {}},
        ReaderCase{"values-on-their-own-lines.xml", "", kAllTwelve}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.size() - 4);  // without .xml
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

// Only a regular file is read: a device or a folder is no parameter set, and a huge
// file is refused before it is read. (A named pipe: tests/configfile/PosixFilesTest.)
TEST_F(Reader, anything_but_a_regular_file_is_unreadable_at_once) {
    fs::path dir = MakeTestFolder("zl-unreadable");
    fs::path big = dir / "big.xml";
    {
        std::ofstream out(big);
        out << "<ZL-Config>" << std::string(2 << 20, ' ') << "</ZL-Config>";
    }
    for (const fs::path& path : {dir, fs::path(NullDevice()), big}) {
        SCOPED_TRACE(path.string());
        ClearNotice();
        auto start = std::chrono::steady_clock::now();
        Load(path);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(PendingNoticeText(), "Unable to read XML-File");
    }
    EXPECT_TRUE(Commands().empty());
    fs::remove_all(dir);
}

using RoundTrip = Reader;

TEST_F(RoundTrip, a_written_file_loads_back_as_exactly_the_twelve_values) {
    const std::pair<int, const char*> values[] = {
        {ParamMode, "0"},  {ParamTriggerSource, "1"}, {ParamEdge, "1"}, {ParamCurrent, "5000"},
        {ParamDelay, "100"}, {ParamTimeOn, "1000"},   {ParamCycleTime, "20000"}, {ParamTriggerOut, "0"},
        {ParamReadyOut, "2"}, {ParamAutoStart, "1"}, {ParamBaud, "19200"}, {ParamEcho, "0"},
    };
    for (const auto& [index, text] : values) SetParameterText(index, text);
    SetSessionText(SlotInfoLine, u"Firmware-Version ZL-500-40K 1.02");
    fs::path dir = MakeTestFolder("zl-roundtrip");
    fs::path path = dir / "roundtrip.xml";
    ChooseFile(path);
    WriteConfigFile();
    ASSERT_EQ(PendingNoticeText(), "");
    for (const auto& [index, text] : values) SetParameterText(index, "");
    Load(path);
    fs::remove_all(dir);
    EXPECT_EQ(PendingNoticeText(), "");
    std::vector<std::string> sent = {"Stop"};
    sent.insert(sent.end(), kAllTwelve.begin(), kAllTwelve.end());
    sent.push_back("Ver");
    EXPECT_EQ(Commands(), sent);
    EXPECT_EQ(ParameterValue(ParamCurrent), "5000");  // stored from the controller's answer
}
