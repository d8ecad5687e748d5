// What only POSIX systems have, for the configuration file: a named pipe, permission
// bits and owners, symbolic links, the longest file name, the file-size limit and a
// full file system. The Windows twins of the file functions: tests/win32/PlatformTest.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "configfile/Fixtures.h"
#include "platform/SafeFile.h"

using PosixReader = LoadingTest;

// A named pipe would hold the worker until some writer came.
TEST_F(PosixReader, a_named_pipe_is_unreadable_at_once) {
    fs::path dir = MakeTestFolder("zl-unreadable");
    fs::path pipe = dir / "pipe.xml";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Should the reader open the pipe and wait, a writer comes after 10 s.
    std::atomic<bool> done{false};
    std::thread unblock([&] {
        for (int i = 0; i < 1000 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
    });
    auto start = std::chrono::steady_clock::now();
    Load(pipe);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(PendingNoticeText(), "Unable to read XML-File");
    done = true;
    unblock.join();
    EXPECT_TRUE(Commands().empty());
    fs::remove_all(dir);
}

TEST_F(Writer, replacing_keeps_the_permission_bits) {
    StoreExampleValues();
    fs::path target = dir / "kept.xml";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SaveTo(target);
    EXPECT_EQ(PendingNoticeText(), "");
    EXPECT_EQ(ReadFile(target).substr(0, 5), "<?xml");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(OnlyFileIn(dir, target.filename()));
}

// A write that fails part-way, as on a full disk (the program, like this test, ignores
// the file-size signal).
TEST_F(Writer, a_write_cut_short_reports_143_and_leaves_the_old_file) {
    StoreExampleValues();
    fs::path target = dir / "kept.xml";
    std::ofstream(target) << "old";
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
