// The Windows twins of platform/: dates and times in the file's pictures, files replaced
// whole or not at all, read-only files and folders refused, and port failures named
// from the system's error codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <windows.h>

#include "platform/LocalTime.h"
#include "platform/SafeFile.h"
#include "platform/SerialPorts.h"
#include "serial/Serial.h"

namespace {
std::time_t FixedMoment() {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 2;  // March
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        dir = std::string(base) + "zl-platform-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : {"set.xml", "fixed.xml"}) {
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string Read(const std::string& path) {
        std::string contents;
        EXPECT_EQ(ReadRegularFile(path.c_str(), 1 << 20, &contents), kErrorSuccess) << path;
        return contents;
    }
    // Every file in the folder but the one named: a temporary file left behind.
    int OthersIn(const char* name) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
        int others = 0;
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            std::string file = found.cFileName;
            if (file != "." && file != ".." && file != name) ++others;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return others;
    }
    std::string dir;
};
}  // namespace

TEST(LocalTime, date_and_time_come_in_the_files_pictures) {
    SetClockSource(FixedMoment);
    char date[16], time[16];
    EXPECT_TRUE(FormatLocalDate(date, sizeof date));
    EXPECT_TRUE(FormatLocalTime(time, sizeof time));
    EXPECT_STREQ(date, "07.03.2026");
    EXPECT_STREQ(time, "09:05:03");
    char small[5];
    EXPECT_FALSE(FormatLocalDate(small, sizeof small));
    SetClockSource(nullptr);
}

TEST_F(Folder, a_file_is_replaced_whole_and_read_back) {
    std::string path = dir + "\\set.xml";
    const std::string first = "<first/>\r\n", second(5000, 'x');
    EXPECT_EQ(ReplaceFileContents(path.c_str(), first.data(), first.size()), kErrorSuccess);
    EXPECT_EQ(Read(path), first);
    EXPECT_EQ(ReplaceFileContents(path.c_str(), second.data(), second.size()), kErrorSuccess);
    EXPECT_EQ(Read(path), second);
    EXPECT_EQ(OthersIn("set.xml"), 0);
    std::string contents;
    EXPECT_EQ(ReadRegularFile(path.c_str(), 100, &contents), kErrorFileTooLarge);
    EXPECT_EQ(contents, "");
}

TEST_F(Folder, read_only_files_folders_and_missing_places_are_refused) {
    std::string fixed = dir + "\\fixed.xml";
    ASSERT_EQ(ReplaceFileContents(fixed.c_str(), "old", 3), kErrorSuccess);
    SetFileAttributesA(fixed.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReplaceFileContents(fixed.c_str(), "new", 3), kErrorAccessDenied);
    EXPECT_EQ(Read(fixed), "old");
    EXPECT_EQ(ReplaceFileContents(dir.c_str(), "new", 3), kErrorAccessDenied);
    EXPECT_NE(ReplaceFileContents((dir + "\\missing\\x.xml").c_str(), "new", 3), kErrorSuccess);
    std::string contents;
    EXPECT_NE(ReadRegularFile(dir.c_str(), 100, &contents), kErrorSuccess);
    EXPECT_EQ(ReadRegularFile((dir + "\\none.xml").c_str(), 100, &contents), kErrorFileNotFound);
    EXPECT_EQ(OthersIn("fixed.xml"), 0);
}

TEST(SerialPorts, a_failed_open_is_named_from_the_systems_error) {
    const struct {
        const char16_t* name;
        ErrorCode error;
        PortProblem problem;
    } cases[] = {
        {u"\\\\.\\", kErrorFileNotFound, PortProblem::NoName},
        {u"\\\\.\\LPT1", kErrorFileNotFound, PortProblem::NotAComName},
        {u"\\\\.\\COM7", kErrorFileNotFound, PortProblem::NoSuchDevice},
        {u"\\\\.\\COM7", kErrorAccessDenied, PortProblem::InUse},
        {u"\\\\.\\COM7", kErrorInvalidFunction, PortProblem::NotATerminal},
        {u"\\\\.\\COM7", kErrorGenFailure, PortProblem::Other},
    };
    for (const auto& c : cases) {
        PortDiagnosis d = DiagnosePortFailure(c.name, c.error);
        EXPECT_EQ(d.problem, c.problem) << c.error;
    }
    EXPECT_EQ(DiagnosePortFailure(u"\\\\.\\COM7", kErrorGenFailure).error, kErrorGenFailure);
    EXPECT_EQ(DiagnosePortFailure(u"\\\\.\\COM7", kErrorFileNotFound).device, "COM7");
}

TEST(SerialPorts, a_port_that_is_not_there_gives_the_systems_code) {
    EXPECT_EQ(ProbePort(u"\\\\.\\COM99"), kErrorFileNotFound);
    CSerial port;
    EXPECT_EQ(port.Open(u"\\\\.\\COM99", 0, 0, true), kErrorFileNotFound);
    EXPECT_FALSE(port.IsOpen());
}
