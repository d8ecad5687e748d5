#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <iostream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "configfile/ConfigFile.h"
#include "platform/LocalTime.h"
#include "platform/SafeFile.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "support/RecordingSink.h"

namespace fs = std::filesystem;

namespace {
std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::time_t FixedClock() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 31;
    return timegm(&t);
}

void StoreExampleValues() {
    const std::pair<int, const char*> values[] = {
        {ParamMode, "0"},     {ParamTriggerSource, "1"}, {ParamEdge, "1"},      {ParamCurrent, "5000"},
        {ParamDelay, "100"},  {ParamTimeOn, "1000"},     {ParamCycleTime, "20000"},
        {ParamTriggerOut, "0"}, {ParamReadyOut, "2"},    {ParamAutoStart, "1"}, {ParamBaud, "19200"},
        {ParamEcho, "0"},     {ParamStatusCurrent, "4980"}, {ParamError, "0"},  {ParamTemperature, "35"},
        {ParamSupplyVoltage, "20000"},
    };
    for (const auto& [index, text] : values) SetParameterText(index, text);
    SetSessionText(SlotInfoLine, u"Firmware-Version ZL-500-40K 1.10");
}

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        setenv("TZ", "UTC", 1);
        tzset();
        SetClockSource(FixedClock);
        dir = fs::temp_directory_path() / ("zl-writer-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        SetClockSource(nullptr);
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void SaveTo(const fs::path& path) {
        std::strncpy(fileChooser.path, path.c_str(), kFilePathSize - 1);
        WriteConfigFile();
    }
    bool OnlyFileIn(const fs::path& folder, const std::string& name) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().filename() != name;
        return count == 0;
    }
    fs::path dir;
};
}  // namespace

TEST_F(Writer, a_saved_file_is_the_documented_example_byte_for_byte) {
    StoreExampleValues();
    SaveTo(dir / "saved.xml");
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_EQ(ReadFile(dir / "saved.xml"), ReadFile(fs::path(FIXTURES) / "saved-example.xml"));
}

TEST_F(Writer, display_forms_and_empty_values) {
    struct Case {
        const char* mode;
        const char* cycle;
        const char* volts;
        const char* expected[3];
    };
    const Case cases[] = {
        {"1", "20000", "1500", {"<DutyCycle>100.00</DutyCycle>", "<SupplyVoltage>1.5</SupplyVoltage>", "<Mode>1</Mode>"}},
        {"0", "0", "", {"<DutyCycle>0.00</DutyCycle>", "<SupplyVoltage>0.0</SupplyVoltage>", "<CycleTime>0</CycleTime>"}},
        {"", "", "", {"<Mode></Mode>", "<Baud></Baud>", "<Error></Error>"}},
    };
    for (const Case& c : cases) {
        ResetSharedState();
        SetParameterText(ParamMode, c.mode);
        SetParameterText(ParamTimeOn, "500");
        SetParameterText(ParamCycleTime, c.cycle);
        SetParameterText(ParamSupplyVoltage, c.volts);
        char text[32768];
        std::size_t length = 0;
        ASSERT_TRUE(PrintConfigDocument(text, sizeof text, &length));
        for (const char* line : c.expected) EXPECT_NE(std::strstr(text, line), nullptr) << line;
        EXPECT_EQ(std::strlen(text), length);
    }
}

TEST_F(Writer, markup_in_values_is_escaped_and_still_fits) {
    StoreExampleValues();
    std::string markup(99, '&');
    SetParameterText(ParamCurrent, markup.c_str());
    SetSessionText(SlotInfoLine, u"<Firmware & \"more\">");
    SaveTo(dir / "escaped.xml");
    EXPECT_EQ(PendingNoticeText(), "");
    std::string saved = ReadFile(dir / "escaped.xml");
    EXPECT_NE(saved.find("<Version>&lt;Firmware &amp; \"more\"&gt;</Version>"), std::string::npos);
}

TEST_F(Writer, replacing_keeps_permissions_and_utf8_names_work) {
    StoreExampleValues();
    fs::path target = dir / "Pr\xc3\xbc" "fstand.xml";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_EQ(ReadFile(target).substr(0, 5), "<?xml");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(OnlyFileIn(dir, target.filename()));
}

TEST_F(Writer, failures_report_143_and_leave_the_old_file) {
    StoreExampleValues();
    fs::path target = dir / "kept.xml";

    // A read-only file, which a rename could replace: refused (no write bit binds root too).
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read);
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "Unable to save File!");
    EXPECT_EQ(ReadFile(target), "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ClearNotice();

    // A folder that vanished.
    SaveTo(dir / "missing" / "x.xml");
    EXPECT_EQ(PendingNoticeText(), "Unable to save File!");
    ClearNotice();

    // A write that fails part-way, as on a full disk (the program, like this test,
    // ignores the file-size signal).
    IgnoreFileSizeSignal();
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 200;
    setrlimit(RLIMIT_FSIZE, &tiny);
    SaveTo(target);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(PendingNoticeText(), "Unable to save File!");
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_TRUE(OnlyFileIn(dir, "kept.xml"));
}

TEST_F(Writer, a_link_is_saved_through_to_the_file_it_names) {
    StoreExampleValues();
    fs::path real = dir / "real.xml";
    std::ofstream(real) << "old";
    fs::create_symlink(real, dir / "link.xml");
    fs::create_symlink(dir / "made-by-saving.xml", dir / "dangling.xml");
    for (const char* name : {"link.xml", "dangling.xml"}) {
        SaveTo(dir / name);
        EXPECT_EQ(PendingNoticeText(), "") << name;
        EXPECT_TRUE(fs::is_symlink(dir / name)) << name;
    }
    EXPECT_EQ(ReadFile(real).substr(0, 5), "<?xml");
    EXPECT_EQ(ReadFile(dir / "made-by-saving.xml").substr(0, 5), "<?xml");
}

TEST_F(Writer, any_valid_name_can_be_saved) {
    StoreExampleValues();
    std::string longest = std::string(251, 'n') + ".xml";  // 255 bytes
    SaveTo(dir / longest);
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_TRUE(OnlyFileIn(dir, longest));
}

TEST_F(Writer, root_saving_another_users_file_keeps_its_owner) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can own a file for another user";
    StoreExampleValues();
    fs::path target = dir / "theirs.xml";
    std::ofstream(target) << "old";
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(ReadFile(target).substr(0, 5), "<?xml");
}

// A writable file in a folder the user may not write to: no temporary file can be
// made beside it, so it is written in place, as a plain write would.
TEST_F(Writer, a_writable_file_in_a_locked_folder_is_written_in_place) {
    fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::path target = locked / "shared.xml";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string data = "new contents";
    auto save = [&] { return ReplaceFileContents(target.c_str(), data.data(), data.size()); };
    if (geteuid() != 0) {
        EXPECT_EQ(save(), kErrorSuccess);
    } else {
        // Folder permissions do not bind root: save as another user.
        fs::permissions(dir, fs::perms::all);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool ok = setgid(65534) == 0 && setuid(65534) == 0 && save() == kErrorSuccess;
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(target), data);
    EXPECT_TRUE(OnlyFileIn(locked, "shared.xml"));
}

// In place, a write cut short would leave well-formed XML mixing new and old values
// (or the start of the new file): the room for all of it is made sure of first, and a
// save that cannot have it leaves the old file untouched. Both cases make the file grow.
TEST_F(Writer, an_in_place_save_that_cannot_fit_leaves_the_old_file_untouched) {
    const std::string data(8192, 'n');
    enum class Limit { FullDisk, FileSizeLimit };
    for (Limit limit : {Limit::FullDisk, Limit::FileSizeLimit}) {
        SCOPED_TRACE(limit == Limit::FullDisk ? "full disk" : "file-size limit");
        fs::path locked = dir / "locked";
        fs::create_directories(locked);
        bool mounted = false;
        if (limit == Limit::FullDisk) {
            if (geteuid() != 0 || mount("zl-test", locked.c_str(), "tmpfs", 0, "size=64k") != 0) {
                std::cout << "skipped the full disk: no small tmpfs can be mounted here (needs root)\n";
                fs::remove(locked);
                continue;
            }
            mounted = true;
        }
        fs::path target = locked / "shared.xml";
        std::ofstream(target) << "old";
        fs::permissions(target, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);
        if (mounted) {
            // Fill the file system up: the grown file no longer fits.
            std::ofstream filler(locked / "filler");
            const std::string page(4096, 'f');
            while (filler.write(page.data(), page.size()) && filler.flush()) {
            }
        }
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(dir, fs::perms::all);
        // The locked folder sends the save in place; folder permissions do not bind root,
        // so root saves as another user.
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IgnoreFileSizeSignal();
            rlimit small{4096, RLIM_INFINITY};
            bool ready = (geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) &&
                         (limit != Limit::FileSizeLimit || setrlimit(RLIMIT_FSIZE, &small) == 0);
            _exit(ready && ReplaceFileContents(target.c_str(), data.data(), data.size()) != kErrorSuccess ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save did not fail";
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_EQ(ReadFile(target), "old");
        if (mounted) {
            EXPECT_EQ(umount2(locked.c_str(), MNT_DETACH), 0);
        } else {
            EXPECT_TRUE(OnlyFileIn(locked, "shared.xml"));
        }
        fs::remove_all(locked);
    }
}
