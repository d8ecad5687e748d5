#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "sim/SimulatedController.h"

namespace {
// The program's side of the line, with plain reads and writes.
class Terminal {
public:
    explicit Terminal(const std::string& path) { fd_ = open(path.c_str(), O_RDWR | O_NOCTTY); }
    ~Terminal() { close(fd_); }
    void Send(const std::string& text) { (void)!write(fd_, text.data(), text.size()); }
    // Collects output until `expected` shows up or 2 s pass; returns all collected.
    std::string Expect(const std::string& expected) {
        std::string seen;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (seen.find(expected) == std::string::npos && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            if (p.revents & (POLLHUP | POLLERR)) break;
            char buffer[512];
            ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            seen.append(buffer, static_cast<std::size_t>(n));
        }
        return seen;
    }
    // Collects output until the console's prompt closes it.
    std::string ExpectPrompt() {
        std::string seen;
        for (int i = 0; i < 40; ++i) {
            seen += Expect("> ");
            std::size_t lineStart = seen.rfind("\r\n");
            std::string tail = lineStart == std::string::npos ? seen : seen.substr(lineStart + 2);
            if (tail.rfind("ZL-500-40K /", 0) == 0 && tail.size() >= 2 &&
                tail.compare(tail.size() - 2, 2, "> ") == 0) {
                break;
            }
        }
        return seen;
    }
    bool HungUp() {
        pollfd p{fd_, POLLIN, 0};
        return poll(&p, 1, 500) > 0 && (p.revents & POLLHUP);
    }

private:
    int fd_;
};

void LogIn(Terminal& t) {
    t.Send("\n");
    ASSERT_NE(t.Expect("Login: ").find("Login: "), std::string::npos);
    t.Send("user\n");
    EXPECT_NE(t.Expect("Password: ").find("user\r\nPassword: "), std::string::npos);
    t.Send("ta-vimek\n");
    EXPECT_NE(t.Expect("ZL-500-40K /> ").find("ZL-500-40K /> "), std::string::npos);
}
}  // namespace

TEST(Simulator, echoes_logs_in_reads_and_refuses_out_of_range_writes) {
    SimulatedController sim;
    Terminal t(sim.SlavePath());
    LogIn(t);
    t.Send("/Config/TimeOn \n");
    std::string out = t.ExpectPrompt();
    EXPECT_NE(out.find("/Config/TimeOn \r\n<VAL> TimeOn 100\r\nZL-500-40K /> "), std::string::npos) << out;

    t.Send("/Config/Delay 2\n");
    out = t.ExpectPrompt();
    EXPECT_NE(out.find("Value not accepted!\r\nLimits: [5...1000000]\r\n"
                       "Take notice of further parameter-depended limits\r\n"),
              std::string::npos) << out;
    t.Send("/Status/Error 1\n");
    EXPECT_NE(t.ExpectPrompt().find("Read-only parameter!"), std::string::npos);
    t.Send("/Foo/Mode\n");
    EXPECT_NE(t.ExpectPrompt().find("Directory 'Foo' unknown!"), std::string::npos);
    t.Send("/Config/TimeOn 5000\n");
    t.ExpectPrompt();
    t.Send("Save\n");
    EXPECT_NE(t.ExpectPrompt().find("Failure! One or more values"), std::string::npos);
    EXPECT_EQ(sim.Received().substr(0, 6), "\nuser\n");
}

TEST(Simulator, old_firmware_needs_cd_and_bare_names) {
    SimulatedController sim;
    sim.WithConsole([](ControllerConsole& c) { c.SetFirmware("1.01"); });
    Terminal t(sim.SlavePath());
    LogIn(t);
    t.Send("/Config/Mode 1\n");
    EXPECT_NE(t.ExpectPrompt().find("Command/parameter '/Config/Mode' unknown!"), std::string::npos);
    t.Send("cd /Config\n");
    EXPECT_NE(t.Expect("/Config> ").find("ZL-500-40K /Config> "), std::string::npos);
    t.Send("Mode 1\n");
    EXPECT_NE(t.ExpectPrompt().find("<VAL> Mode 1"), std::string::npos);
    t.Send("Ver\n");
    EXPECT_NE(t.ExpectPrompt().find("Firmware-Version ZL-500-40K 1.01\r\n"), std::string::npos);
}

TEST(Simulator, passwd_su_and_factory_settings) {
    SimulatedController sim;
    Terminal t(sim.SlavePath());
    LogIn(t);
    t.Send("passwd\n");
    EXPECT_NE(t.Expect("Enter old password: ").find("Changing password for user\r\n"), std::string::npos);
    t.Send("wrong\n");
    EXPECT_NE(t.ExpectPrompt().find("Access denied!"), std::string::npos);
    t.Send("passwd\n");
    t.Expect("Enter old password: ");
    t.Send("ta-vimek\n");
    t.Expect("Enter new password: ");
    t.Send("secret\n");
    t.Expect("Re-enter new password: ");
    t.Send("secreT\n");
    EXPECT_NE(t.ExpectPrompt().find("Passwords mismatch!"), std::string::npos);
    t.Send("su user\n");
    t.Expect("Password: ");
    t.Send("ta-vimek\n");
    EXPECT_EQ(t.ExpectPrompt().find("Access denied!"), std::string::npos);

    sim.WithConsole([](ControllerConsole& c) { c.SetValue("Config", "Current", 5000); });
    t.Send("FactorySettings\n");
    EXPECT_NE(t.Expect("Login: ").find("Reboot...\r\nLogin: "), std::string::npos);
    sim.WithConsole([](ControllerConsole& c) {
        EXPECT_FALSE(c.LoggedIn());
        EXPECT_EQ(c.Value("Config", "Current"), "1000");
    });
}

TEST(Simulator, faults_garble_the_echo_and_hang_up) {
    SimulatedController sim;
    Terminal t(sim.SlavePath());
    LogIn(t);
    sim.WithConsole([](ControllerConsole& c) {
        c.GarbleNextCommands(1);
        c.HangUpAfterCommands(2);
    });
    t.Send("Stop\n");
    EXPECT_NE(t.ExpectPrompt().find("sTOP\r\n"), std::string::npos);
    t.Send("Stop\n");
    t.ExpectPrompt();
    EXPECT_TRUE(t.HungUp());
}
