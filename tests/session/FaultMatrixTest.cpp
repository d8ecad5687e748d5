// Faults of the line against the whole worker: a hang-up after every protocol step of
// login, read-out, a write, a file load, a password change and a factory reset, and a
// controller that is silent, garbles its echo, adds noise, floods lines or never ends
// one. After each the worker is where it belongs with exactly the specified notices,
// nothing holds busy, the port is closed when the session ended, and quitting is
// prompt (no thread hangs).
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "serial/SerialReadln.h"
#include "session/SessionFixture.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"

namespace {
enum class Action { LogIn, Idle, Write, LoadFile, ChangePassword, FactoryReset };
enum class Fault { HangUpAfterBytes, Silence, Garble, Noise, Chatter, ChatterWithoutLineEnds };

struct MatrixCase {
    const char* name;
    Action action;
    Fault fault;
    long amount;  // bytes before the hang-up, or lines garbled
    bool sessionEnds;
    std::vector<std::string> notices;  // every notice shown from the action on
};

void PrintTo(const MatrixCase& c, std::ostream* out) { *out << c.name; }

// Bytes the program sends for a login: two empty lines, user name, password, one more.
constexpr long kLoginBytes = 2 + 5 + 9 + 1;

// Bytes of the read-out after a login: an empty line and the command line for each.
long ReadOutBytes() {
    return std::accumulate(kReadOut.begin(), kReadOut.end(), 0L,
                           [](long sum, const std::string& line) { return sum + 1 + long(line.size()) + 1; });
}

const char* const kLoadedFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZL-Config><Program><Version>1.0</Version></Program>"
    "<Controller><Version>Firmware-Version ZL-500-40K 1.10</Version>"
    "<System><Baud>19200</Baud><Echo>0</Echo></System>"
    "<Config><Mode>0</Mode><TriggerSource>1</TriggerSource><Edge>1</Edge><Current>5000</Current>"
    "<Delay>100</Delay><TimeOn>1000</TimeOn><CycleTime>20000</CycleTime><TriggerOut>0</TriggerOut>"
    "<ReadyOut>2</ReadyOut><AutoStart>1</AutoStart></Config></Controller></ZL-Config>\n";

class FaultMatrix : public SessionTest, public ::testing::WithParamInterface<MatrixCase> {
protected:
    void Arm(const MatrixCase& c) {
        switch (c.fault) {
            case Fault::HangUpAfterBytes: sim.HangUpAfterBytes(c.amount); break;
            case Fault::Silence: sim.SetSilent(true); break;
            case Fault::Garble: sim.GarbleNextCommands(int(c.amount)); break;
            case Fault::Noise: sim.InjectNoise(); break;
            case Fault::Chatter: sim.Chatter(50); break;
            case Fault::ChatterWithoutLineEnds: sim.Chatter(5, false); break;
        }
    }

    // Logs in and waits until the first status poll is over: the next one is about two
    // seconds away, so the action's bytes are the next the controller receives.
    void LogInQuietly() {
        LogIn();
        ASSERT_TRUE(WaitUntil([&] { return CountCommand("/Status/Temperature ") >= 2; }, 10000));
        ASSERT_TRUE(WaitIdle());
    }

    void Act(Action action) {
        switch (action) {
            case Action::LogIn: SubmitLogin(u"user", u"ta-vimek", sim.PortName().c_str(), 19200); break;
            case Action::Idle: break;
            case Action::Write: ASSERT_TRUE(SubmitParameterWrite(ParamCurrent, "5000")); break;
            case Action::LoadFile: {
                std::string path = dir + "/loaded.xml";
                std::ofstream(path) << kLoadedFile;
                ASSERT_TRUE(AcquireBusyForSession());
                std::snprintf(fileChooser.path, kFilePathSize, "%s", path.c_str());
                ControlBlock.openFileRequest = true;
                break;
            }
            case Action::ChangePassword:
                SubmitPasswordChange(u"ta-vimek", u"Secret1", u"Secret1");
                ASSERT_TRUE(ControlBlock.passwordChangeRequest);
                break;
            case Action::FactoryReset: ControlBlock.factoryResetRequest = true; break;
        }
    }
};
}  // namespace

TEST_P(FaultMatrix, ends_where_it_belongs_with_the_specified_notices) {
    const MatrixCase& c = GetParam();
    StartWorker();
    int loginDialogs = sink.Count(MsgCreateLogin);
    if (c.action != Action::LogIn) {
        LogInQuietly();
        if (c.action == Action::ChangePassword) {
            ControlBlock.passwordDialogRequest = true;
            ASSERT_TRUE(sink.WaitFor(MsgCreatePassword));
            ASSERT_TRUE(WaitIdle());
        }
    }
    std::size_t noticesBefore = Notices().size();
    Arm(c);
    Act(c.action);

    if (c.sessionEnds) {
        EXPECT_TRUE(EndsAtLoginDialog(loginDialogs + 1));
    } else {
        ASSERT_TRUE(WaitUntil([] { return !ControlBlock.writeRequest.load(); }));
        EXPECT_TRUE(WaitIdle());
        EXPECT_TRUE(ControlBlock.loggedIn);
    }
    std::vector<std::string> shown = Notices();
    shown.erase(shown.begin(), shown.begin() + static_cast<long>(noticesBefore));
    std::vector<std::string> notices = c.notices;
    for (std::string& notice : notices) {
        if (notice.find("%s") != std::string::npos) {
            notice.replace(notice.find("%s"), 2, sim.Port());
        }
    }
    EXPECT_EQ(shown, notices) << "the controller received:\n" << sim.Received();
    EXPECT_FALSE(IsBusy());

    auto start = std::chrono::steady_clock::now();
    Quit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(SerialPort.IsOpen());
    EXPECT_FALSE(SerialPort.ListenerRunning());
}

const std::string kNotConnected = "Not connected!";
const std::string kSilent = "Not connected!\n%s: no answer from the controller";  // %s: the port
const std::string kLost = "Connection Lost!";
const std::string kPasswordFailed = "Password change failed!";

INSTANTIATE_TEST_SUITE_P(
    Session, FaultMatrix,
    ::testing::Values(
        // Login: every step up to the last empty line, then the read-out and its Save.
        MatrixCase{"login_hang_up_at_the_first_byte", Action::LogIn, Fault::HangUpAfterBytes, 0, true, {kSilent}},
        MatrixCase{"login_hang_up_after_the_first_empty_line", Action::LogIn, Fault::HangUpAfterBytes, 1, true, {kNotConnected}},
        MatrixCase{"login_hang_up_inside_the_user_name", Action::LogIn, Fault::HangUpAfterBytes, 5, true, {kNotConnected}},
        MatrixCase{"login_hang_up_between_user_name_and_password", Action::LogIn, Fault::HangUpAfterBytes, 7, true, {kNotConnected}},
        MatrixCase{"login_hang_up_inside_the_password", Action::LogIn, Fault::HangUpAfterBytes, 12, true, {kNotConnected}},
        MatrixCase{"login_hang_up_before_the_last_empty_line", Action::LogIn, Fault::HangUpAfterBytes, 16, true, {kNotConnected}},
        MatrixCase{"login_hang_up_before_ver", Action::LogIn, Fault::HangUpAfterBytes, kLoginBytes, true, {kLost}},
        MatrixCase{"login_hang_up_inside_ver", Action::LogIn, Fault::HangUpAfterBytes, kLoginBytes + 3, true, {kLost}},
        MatrixCase{"login_hang_up_inside_the_read_out", Action::LogIn, Fault::HangUpAfterBytes, 120, true, {kLost}},
        MatrixCase{"login_hang_up_before_the_save_after_the_read_out", Action::LogIn, Fault::HangUpAfterBytes,
                   kLoginBytes + ReadOutBytes() + 1, true, {kLost}},
        MatrixCase{"login_silent_controller", Action::LogIn, Fault::Silence, 0, true, {kSilent}},
        MatrixCase{"login_garbled_echo", Action::LogIn, Fault::Garble, 100, true, {kNotConnected}},
        MatrixCase{"login_flood_of_lines", Action::LogIn, Fault::Chatter, 0, true, {kNotConnected}},
        MatrixCase{"login_line_without_end", Action::LogIn, Fault::ChatterWithoutLineEnds, 0, true, {kNotConnected}},
        // Logged in and idle: the next status poll finds out.
        MatrixCase{"idle_hang_up", Action::Idle, Fault::HangUpAfterBytes, 0, true, {kLost}},
        MatrixCase{"idle_flood_of_lines", Action::Idle, Fault::Chatter, 0, true, {kLost}},
        MatrixCase{"idle_line_without_end", Action::Idle, Fault::ChatterWithoutLineEnds, 0, true, {kLost}},
        // A write: before, inside and after its command line; garbled and noisy answers.
        MatrixCase{"write_hang_up_after_the_empty_line", Action::Write, Fault::HangUpAfterBytes, 1, true, {kLost}},
        MatrixCase{"write_hang_up_inside_the_command", Action::Write, Fault::HangUpAfterBytes, 10, true, {kLost}},
        MatrixCase{"write_hang_up_after_the_command", Action::Write, Fault::HangUpAfterBytes, 22, true, {kLost}},
        MatrixCase{"write_garbled_echo", Action::Write, Fault::Garble, 4, false, {}},
        MatrixCase{"write_noise", Action::Write, Fault::Noise, 0, false, {}},
        // A file load: the box names the value that got no answer; none goes out after it.
        MatrixCase{"load_hang_up_after_stop", Action::LoadFile, Fault::HangUpAfterBytes, 6, true,
                   {"Echo: no answer", kLost}},
        MatrixCase{"load_hang_up_after_the_first_value", Action::LoadFile, Fault::HangUpAfterBytes, 6 + 16, true,
                   {"Baud: no answer", kLost}},
        // The password dialogue: between every two of its answers.
        MatrixCase{"password_hang_up_after_the_first_empty_line", Action::ChangePassword, Fault::HangUpAfterBytes, 1,
                   true, {kPasswordFailed, kLost}},
        MatrixCase{"password_hang_up_after_passwd", Action::ChangePassword, Fault::HangUpAfterBytes, 9, true,
                   {kPasswordFailed, kLost}},
        MatrixCase{"password_hang_up_after_the_current_password", Action::ChangePassword, Fault::HangUpAfterBytes, 18,
                   true, {kPasswordFailed, kLost}},
        MatrixCase{"password_hang_up_between_the_new_passwords", Action::ChangePassword, Fault::HangUpAfterBytes, 26,
                   true, {kPasswordFailed, kLost}},
        MatrixCase{"password_hang_up_before_the_last_empty_line", Action::ChangePassword, Fault::HangUpAfterBytes, 34,
                   true, {kPasswordFailed, kLost}},
        // A factory reset: before, inside and after its command.
        MatrixCase{"reset_hang_up_after_the_empty_line", Action::FactoryReset, Fault::HangUpAfterBytes, 1, true, {kLost}},
        MatrixCase{"reset_hang_up_inside_the_command", Action::FactoryReset, Fault::HangUpAfterBytes, 8, true, {kLost}},
        MatrixCase{"reset_hang_up_after_the_command", Action::FactoryReset, Fault::HangUpAfterBytes, 17, true,
                   {"Controller rebooting...\nConnection Lost!"}}),
    [](const ::testing::TestParamInfo<MatrixCase>& info) { return std::string(info.param.name); });
