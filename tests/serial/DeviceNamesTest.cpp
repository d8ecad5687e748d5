#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/DeviceNames.h"
#include "platform/ErrorCodes.h"
#include "serial/Serial.h"

namespace {
std::string Resolve(const char16_t* name) {
    char path[256];
    if (!ResolveDeviceName(name, path, sizeof path)) return "<none>";
    return path;
}
}  // namespace

TEST(DeviceNames, com_numbers_follow_the_fixed_table) {
    unsetenv("ZL_CONFIG_PORTS");
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"\\\\.\\COM1", "/dev/ttyS0"},     {u"\\\\.\\COM32", "/dev/ttyS31"},
        {u"\\\\.\\COM33", "/dev/ttyUSB0"},  {u"\\\\.\\COM64", "/dev/ttyUSB31"},
        {u"\\\\.\\COM65", "/dev/ttyACM0"},  {u"\\\\.\\COM96", "/dev/ttyACM31"},
        {u"\\\\.\\COM97", "<none>"},        {u"\\\\.\\COM99", "<none>"},
        {u"\\\\.\\com3", "/dev/ttyS2"},     {u"\\\\.\\COM0", "<none>"},
        {u"\\\\.\\COM03", "<none>"},        {u"\\\\.\\LPT1", "<none>"},
        {u"\\\\.\\/dev/pts/7", "/dev/pts/7"}, {u"\\\\.\\/tmp/\u00e4", "/tmp/\xc3\xa4"},
        {u"\\\\.\\", "<none>"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(Resolve(name), expected);
    }
}

TEST(DeviceNames, a_port_directory_entry_overrides_the_table) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("zl-ports-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink("/dev/null", dir / "COM5");
    setenv("ZL_CONFIG_PORTS", dir.c_str(), 1);
    EXPECT_EQ(Resolve(u"\\\\.\\COM5"), (dir / "COM5").string());
    EXPECT_EQ(Resolve(u"\\\\.\\COM6"), "/dev/ttyS5");
    unsetenv("ZL_CONFIG_PORTS");
    std::filesystem::remove_all(dir);
}

TEST(DeviceNames, a_device_path_that_is_not_there_is_not_found) {
    CSerial port;
    EXPECT_EQ(port.Open(u"\\\\.\\/dev/zl-missing", 0, 0, true), kErrorFileNotFound);
    EXPECT_FALSE(port.IsOpen());
}

TEST(ErrorCodes, errno_values_map_to_windows_codes) {
    const std::pair<int, ErrorCode> cases[] = {
        {0, 0},       {ENOENT, 2},  {EACCES, 5}, {EBUSY, 5}, {EWOULDBLOCK, 5},
        {EBADF, 6},   {EINVAL, 87}, {EIO, 1117}, {ENOSPC, 112}, {EHOSTDOWN, 31},
    };
    for (const auto& [err, code] : cases) EXPECT_EQ(ErrorFromErrno(err), code) << err;
}
