#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/SerialPorts.h"

namespace fs = std::filesystem;

namespace {
// A machine described as a folder tree: a built-in port with a UART (ttyS0), one
// without (ttyS1), an FTDI adapter (ttyUSB0, named under by-id) and a CDC-ACM one.
class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("ZL_CONFIG_PORTS");
        root = fs::temp_directory_path() / ("zl-machine-" + std::to_string(getpid()));
        roots.sys = (root / "sys").string();
        roots.dev = (root / "dev").string();
        Terminal("ttyS0", "4");
        Terminal("ttyS1", "0");
        Terminal("ttyUSB0", nullptr);
        Terminal("ttyACM2", nullptr);
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9XYZ-if00-port0");
    }
    void TearDown() override {
        unsetenv("ZL_CONFIG_PORTS");
        fs::remove_all(root);
    }
    void Terminal(const char* name, const char* type) {
        fs::create_directories(root / "sys/class/tty" / name);
        if (type) std::ofstream(root / "sys/class/tty" / name / "type") << type << "\n";
        fs::create_directories(root / "dev");
        std::ofstream(root / "dev" / name);
    }
    fs::path root;
    DeviceRoots roots;
};
}  // namespace

TEST_F(FakeMachine, the_kernel_list_says_which_ports_exist_without_opening_them) {
    const std::pair<unsigned, PortPresence> cases[] = {
        {1, PortPresence::Present},  {2, PortPresence::Absent},  {3, PortPresence::Absent},
        {33, PortPresence::Present}, {34, PortPresence::Absent}, {67, PortPresence::Present},
        {97, PortPresence::Absent},
    };
    for (const auto& [number, presence] : cases) EXPECT_EQ(ComPortPresence(number, roots), presence) << number;

    fs::remove_all(root / "sys");  // no kernel list: only an open can tell
    EXPECT_EQ(ComPortPresence(1, roots), PortPresence::Unknown);
}

TEST_F(FakeMachine, each_port_says_which_device_it_is) {
    EXPECT_EQ(DescribeComPort(33, roots), "/dev/ttyUSB0 - FTDI FT232R USB UART A9XYZ");
    EXPECT_EQ(DescribeComPort(1, roots), "/dev/ttyS0 - built-in serial port");
    EXPECT_EQ(DescribeComPort(67, roots), "/dev/ttyACM2 - USB modem-class serial");
    EXPECT_EQ(DescribeComPort(98, roots), "");
}

TEST_F(FakeMachine, a_port_folder_entry_is_ours_while_its_link_leads_somewhere) {
    fs::path ports = root / "ports";
    fs::create_directories(ports);
    fs::create_symlink("/dev/null", ports / "COM2");
    fs::create_symlink(root / "gone", ports / "COM3");
    setenv("ZL_CONFIG_PORTS", ports.c_str(), 1);
    EXPECT_EQ(ComPortPresence(2, roots), PortPresence::Present);
    EXPECT_EQ(ComPortPresence(3, roots), PortPresence::Absent);
    EXPECT_EQ(DescribeComPort(2, roots), "/dev/null - linked as COM2");
}

TEST_F(FakeMachine, a_failed_open_is_explained_in_the_users_terms) {
    fs::path file = root / "plain-file";
    std::ofstream(file) << "x";
    struct Case {
        const char16_t* name;
        ErrorCode error;
        PortProblem problem;
        std::string device;
    };
    const Case cases[] = {
        {u"\\\\.\\", kErrorFileNotFound, PortProblem::NoName, ""},
        {u"\\\\.\\COM98", kErrorFileNotFound, PortProblem::NotAPortName, "COM98"},
        {u"\\\\.\\port one", kErrorFileNotFound, PortProblem::NotAPortName, "port one"},
        {u"\\\\.\\/dev/ttyUSB31", kErrorFileNotFound, PortProblem::NoSuchDevice, "/dev/ttyUSB31"},
        {u"\\\\.\\/dev/null", kErrorAccessDenied, PortProblem::InUse, "/dev/null"},
        {u"\\\\.\\/dev/null", kErrorIoDevice, PortProblem::Other, "/dev/null"},
    };
    for (const Case& c : cases) {
        PortDiagnosis d = DiagnosePortFailure(c.name, c.error);
        EXPECT_EQ(d.problem, c.problem) << c.device;
        EXPECT_EQ(d.device, c.device);
    }
    std::u16string plain = u"\\\\.\\";
    for (char ch : file.string()) plain += static_cast<char16_t>(ch);
    EXPECT_EQ(DiagnosePortFailure(plain.c_str(), kErrorInvalidFunction).problem, PortProblem::NotATerminal);
}

// Permission is checked as the user who opens: root may open anything, so a device
// of root's only is tried by another user.
TEST_F(FakeMachine, a_device_the_user_may_not_use_names_its_group) {
    if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
    const group* dialout = getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no group dialout";
    fs::path node = root / "dev" / "ttyLOCKED";
    ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0660, makedev(1, 3)), 0);
    ASSERT_EQ(chown(node.c_str(), 0, dialout->gr_gid), 0);
    fs::permissions(root, fs::perms::all);
    fs::permissions(root / "dev", fs::perms::all);
    std::u16string name = u"\\\\.\\";
    for (char ch : node.string()) name += static_cast<char16_t>(ch);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = setgid(65534) == 0 && setgroups(0, nullptr) == 0 && setuid(65534) == 0;
        PortDiagnosis d = DiagnosePortFailure(name.c_str(), kErrorAccessDenied);
        _exit(ok && d.problem == PortProblem::PermissionDenied && d.group == "dialout" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
