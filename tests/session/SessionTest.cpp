#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "serial/SerialReadln.h"
#include "session/SessionFixture.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/Readings.h"
#include "state/SessionTexts.h"
#include "support/System.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}
}  // namespace

TEST_F(SessionTest, start_up_shows_the_splash_for_about_three_seconds_then_the_dialogs) {
    auto start = Clock::now();
    StartWorker(false);
    auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_EQ(sink.Codes(), (std::vector<unsigned>{MsgCreateAbout, MsgDestroyAbout, MsgCreateMain,
                                                  MsgDestroyPassword, MsgSessionClosed, MsgCreateLogin}));
    EXPECT_EQ(SessionTextUtf8(SlotInfoLine), "Not connected!");
    EXPECT_EQ(SessionTextUtf8(SlotUserName), "user");
    EXPECT_EQ(SessionTextUtf8(SlotPassword), "ta-vimek");
    EXPECT_EQ(ParameterValue(ParamCurrent), "0");
    EXPECT_TRUE(Listed(sim.ComNumber()));
    EXPECT_TRUE(Notices().empty());
}

TEST_F(SessionTest, closing_the_splash_moves_on_at_once) {
    auto start = Clock::now();
    StartWorker(true);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
}

TEST_F(SessionTest, login_with_the_defaults_reads_everything_and_saves_once) {
    StartWorker();
    sink.Clear();
    LogIn();
    std::vector<std::string> expected = {"user", "ta-vimek"};
    expected.insert(expected.end(), kReadOut.begin(), kReadOut.end());
    expected.push_back("Save");
    std::vector<std::string> commands = Commands();
    ASSERT_GE(commands.size(), expected.size());
    commands.resize(expected.size());  // idle polls may follow
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(CountCommand("Save"), 1);

    std::vector<unsigned> codes = sink.Codes();
    ASSERT_GE(codes.size(), 19u);
    EXPECT_EQ(codes[0], MsgDestroyLogin);
    EXPECT_EQ(codes[1], MsgShowInfoLine);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(codes[2 + i], MsgRefreshParameter);
    EXPECT_EQ(codes[18], MsgSessionOpen);
    EXPECT_TRUE(ControlBlock.loggedIn);
    EXPECT_EQ(ControlBlock.firmwareCode, 3);
    EXPECT_EQ(SessionTextUtf8(SlotInfoLine), "Firmware-Version ZL-500-40K 1.10");
    EXPECT_EQ(ParameterValue(ParamCurrent), "1000");
    EXPECT_EQ(ParameterValue(ParamBaud), "19200");
    EXPECT_EQ(ParameterValue(ParamSupplyVoltage), "24.0");
    EXPECT_FALSE(IsBusy());
    EXPECT_TRUE(Notices().empty());
}

// Linux's port table stops at COM96; on Windows COM98 is a port name, only not there.
#ifdef _WIN32
constexpr const char* kNoCom98 = "COM98: no such device";
#else
constexpr const char* kNoCom98 = "COM98: not a port name (COM1 to COM96, or a device path)";
#endif

struct FailedLogin {
    const char* name;
    const char16_t* port;  // nullptr: the simulator's
    const char16_t* password;
    std::int32_t baud;
    const char* firmware;
    bool holdPort;
    std::string notice;
    int garbledLines = 0;  // lines whose echo the controller garbles, from the user name on
    const char* notUnderWine = nullptr;  // why wine cannot show it
};

void PrintTo(const FailedLogin& c, std::ostream* out) { *out << c.name; }

class LoginFailure : public SessionTest, public ::testing::WithParamInterface<FailedLogin> {};

TEST_P(LoginFailure, ends_at_the_login_dialog_with_the_notice) {
    const FailedLogin& c = GetParam();
    if (c.notUnderWine && UnderWine()) GTEST_SKIP() << c.notUnderWine;
    sim.SetFirmware(c.firmware);
    sim.GarbleNextCommands(c.garbledLines);
    CSerial holder;
    if (c.holdPort) {
        ASSERT_EQ(holder.Open(sim.DeviceName().c_str(), 0, 0, true), 0);
    }
    StartWorker();
    SubmitLogin(u"user", c.password, c.port ? c.port : sim.PortName().c_str(), c.baud);
    EXPECT_TRUE(EndsAtLoginDialog(2));
    ASSERT_EQ(Notices().size(), 1u);
    std::string notice = c.notice;  // "%s" stands for the simulator's device
    if (notice.find("%s") != std::string::npos) notice.replace(notice.find("%s"), 2, sim.Device());
    EXPECT_EQ(Notices()[0], notice);
    EXPECT_EQ(ParameterValue(ParamMode), "0");
    if (std::strcmp(c.firmware, "2.00") == 0) {
        EXPECT_EQ(CountCommand("/Status/Temperature "), 0);  // nothing read after Ver
    }
}

INSTANTIATE_TEST_SUITE_P(
    Session, LoginFailure,
    ::testing::Values(
        // The specified line, and below it one that says why.
        FailedLogin{"missing_port", u"COM98", u"ta-vimek", 19200, "1.10", false,
                    "Unable to open COM-port\n" + std::string(kNoCom98)},
        FailedLogin{"no_port_chosen", u"", u"ta-vimek", 19200, "1.10", false,
                    "Unable to open COM-port\nNo port chosen - pick one from the list or type a device path"},
        FailedLogin{"port_held_elsewhere", nullptr, u"ta-vimek", 19200, "1.10", true,
                    "Unable to open COM-port\n%s: in use by another program", 0,
                    "wine lets a second CreateFileW open a COM port that is open"},
        FailedLogin{"rejected_baud_rate", nullptr, u"ta-vimek", 12345, "1.10", false,
                    "Unable to set COM-port setting", 0, "wine's serial driver takes any rate (it sets 38400)"},
        FailedLogin{"wrong_credentials", nullptr, u"wrong", 19200, "1.10", false,
                    "Access denied!\nNot connected!"},
        FailedLogin{"unknown_firmware", nullptr, u"ta-vimek", 19200, "2.00", false,
                    "Connected to newer Firmware - use updated version of ZL-Config"},
        // User name and password pass (the prompts still show); every Ver is garbled.
        FailedLogin{"no_usable_version_line", nullptr, u"ta-vimek", 19200, "1.10", false, "Not connected!", 6}),
    [](const ::testing::TestParamInfo<FailedLogin>& info) { return std::string(info.param.name); });

// The port list is made again for every login dialog: an adapter plugged in since
// appears, one pulled out disappears.
TEST_F(SessionTest, the_ports_are_listed_again_for_every_login_dialog) {
    // Under wine the ports come from a pool that the test programs running at once
    // share: a port this test does not hold may be another's, listed rightly.
#ifdef _WIN32
    constexpr bool kPortsOfOurOwn = false;
#else
    constexpr bool kPortsOfOurOwn = true;
#endif
    StartWorker();
    EXPECT_TRUE(Listed(sim.ComNumber()));
    auto adapter = std::make_unique<BareLine>();
    const unsigned plugged = adapter->ComNumber();
    if (kPortsOfOurOwn) {
        EXPECT_FALSE(Listed(plugged));
    }
    SubmitLogin(u"user", u"ta-vimek", u"COM98", 19200);  // fails: the dialog comes back
    ASSERT_TRUE(EndsAtLoginDialog(2));
    EXPECT_TRUE(Listed(plugged));
    adapter.reset();
    SubmitLogin(u"user", u"ta-vimek", u"COM98", 19200);
    ASSERT_TRUE(EndsAtLoginDialog(3));
    if (kPortsOfOurOwn) {
        EXPECT_FALSE(Listed(plugged));
    }
    EXPECT_TRUE(Listed(sim.ComNumber()));
}

TEST_F(SessionTest, parameter_writes_store_the_answer_or_report_the_refusal) {
    StartWorker();
    LogIn();
    ASSERT_TRUE(SubmitParameterWrite(ParamCurrent, "5000"));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(CountCommand("/Config/Current 5000"), 1);
    EXPECT_EQ(ParameterValue(ParamCurrent), "5000");
    // The status bar in the window's words: its labels, its lists' entries.
    EXPECT_EQ(StatusText(), "Current [mA] set to 5000");
    ASSERT_TRUE(SubmitParameterWrite(ParamTriggerSource, "1"));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(StatusText(), "Trigger source set to external");
    ASSERT_TRUE(SubmitParameterWrite(ParamCurrent, ""));  // an emptied field: read back
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(StatusText(), "Current [mA] read back: 5000");

    sink.Clear();
    ASSERT_TRUE(SubmitParameterWrite(ParamDelay, "2"));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0],
              "Value not accepted!\nLimits: [5...1000000]\nTake notice of further parameter-depended limits");
    EXPECT_EQ(sink.Count(MsgFocusParameter), 1);
    EXPECT_EQ(ParameterValue(ParamDelay), "5");
    EXPECT_EQ(StatusText(), "Delay [\u00b5s] not set");
}

TEST_F(SessionTest, start_stop_and_save_reach_the_controller) {
    StartWorker();
    LogIn();
    EXPECT_EQ(StatusText(), "Logged in");
    sim.SetValue("Config", "TimeOn", 5000);
    ControlBlock.startRequest = true;
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_NE(Notices()[0].find("Failure! One or more values"), std::string::npos);
    EXPECT_EQ(StatusText(), "Start refused");
    sim.SetValue("Config", "TimeOn", 100);
    ControlBlock.startRequest = true;
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(sim.Running());
    EXPECT_EQ(StatusText(), "Started");
    ControlBlock.stopRequest = true;
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(sim.Running());
    EXPECT_EQ(StatusText(), "Stopped");
    ControlBlock.saveRequest = true;
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(StatusText(), "Configuration saved on the controller");
    EXPECT_EQ(CountCommand("Save"), 2);
    EXPECT_EQ(Notices().size(), 1u);

    // Not even the echo came back: the status bar claims nothing (the traffic and the
    // notices stay those of a Stop met by silence).
    int shown = sink.Count(MsgShowStatus);
    sim.HangUpAfterBytes(4);  // the empty line and "Sto"
    ControlBlock.stopRequest = true;
    ASSERT_TRUE(sink.WaitFor(MsgShowStatus, shown + 1));
    EXPECT_EQ(StatusText(), "Stop: no answer from the controller");
    EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(SessionTest, password_change_success_mismatch_and_refusal) {
    StartWorker();
    LogIn();
    ControlBlock.passwordDialogRequest = true;
    ASSERT_TRUE(sink.WaitFor(MsgCreatePassword));
    ASSERT_TRUE(WaitIdle());

    SubmitPasswordChange(u"ta-vimek", u"Secret1", u"secret1");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notices().back(), "Passwords mismatch!");
    EXPECT_EQ(SessionTextUtf8(SlotNewPassword), "Secret1");  // kept for the reopened dialog
    EXPECT_EQ(CountCommand("passwd"), 0);

    SubmitPasswordChange(u"wrong", u"Secret1", u"Secret1");
    ASSERT_TRUE(WaitIdle(60000));
    EXPECT_EQ(Notices().back(), "Access denied!\nPassword change failed!");

    SubmitPasswordChange(u"ta-vimek", u"Secret1", u"Secret1");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notices().back(), "Password changed!");
    EXPECT_EQ(SessionTextUtf8(SlotCurrentPassword), "");
    EXPECT_EQ(sim.Password(), "Secret1");
    EXPECT_EQ(sink.Count(MsgDestroyPassword), 4);  // three changes and the logged-out reset
}

// The unit takes a new password on its repetition: a line lost after it leaves the
// specified notices, and the status bar says the unit may already use the new one.
TEST_F(SessionTest, a_password_change_cut_short_after_the_repetition_says_so_in_the_status) {
    StartWorker();
    LogIn();
    int loginDialogs = sink.Count(MsgCreateLogin);
    ControlBlock.passwordDialogRequest = true;
    ASSERT_TRUE(sink.WaitFor(MsgCreatePassword));
    ASSERT_TRUE(WaitIdle());
    sim.HangUpAfterBytes(2 + 7 + 9 + 8 + 8);  // up to the repeated new password
    SubmitPasswordChange(u"ta-vimek", u"Secret1", u"Secret1");
    EXPECT_TRUE(EndsAtLoginDialog(loginDialogs + 1));
    EXPECT_EQ(Notices(), (std::vector<std::string>{"Password change failed!", "Connection Lost!"}));
    EXPECT_EQ(StatusText(), "Password change not confirmed - the controller may already use the new password");
    EXPECT_EQ(sim.Password(), "Secret1");
}

TEST_F(SessionTest, files_are_saved_and_loaded_between_a_stop_and_a_save) {
    StartWorker();
    LogIn();
    fs::path file = fs::path(dir) / "set.xml";
    ASSERT_TRUE(AcquireBusy());
    std::strncpy(fileChooser.path, NarrowPath(file).c_str(), kFilePathSize - 1);
    ControlBlock.saveFileRequest = true;
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(std::string(fileChooser.path), NarrowPath(file));
    EXPECT_EQ(StatusText(), "Saved set.xml");

    // The same file, but without its Program group and with a Current the controller
    // refuses: loaded, with the reader's message and the refused value in the last box.
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.erase(text.find("    <Program>"), text.find("<Controller>") - text.find("    <Program>") - 4);
    text.replace(text.find("<Current>1000</Current>"), 23, "<Current>99999</Current>");
    std::ofstream(file) << text;
    sim.ClearTranscript();
    sink.Clear();
    ASSERT_TRUE(AcquireBusy());
    std::strncpy(fileChooser.path, NarrowPath(file).c_str(), kFilePathSize - 1);
    ControlBlock.openFileRequest = true;
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> commands = Commands();
    ASSERT_EQ(commands.size(), 15u);
    EXPECT_EQ(commands.front(), "Stop");
    EXPECT_EQ(commands[1], "/System/Echo 0");
    EXPECT_EQ(commands[13], "Ver");
    EXPECT_EQ(commands.back(), "Save");
    EXPECT_EQ(commands[4], "/Config/Current 99999");
    EXPECT_EQ(Notices().back(), "Unexpected XML structure\nCurrent: value not accepted");
    EXPECT_EQ(StatusText(), "Loaded set.xml: 12 values sent, 1 refused");
    EXPECT_EQ(CurrentFile(), "set.xml");
    EXPECT_EQ(std::string(fileChooser.path), "");
    std::vector<unsigned> codes = sink.Codes();
    EXPECT_EQ(codes.front(), MsgSessionClosed);
    EXPECT_EQ(sink.Count(MsgSessionOpen), 1);
    EXPECT_FALSE(IsBusy());

    // A file refused for any reason sends nothing: no Stop, no Ver, no Save.
    std::ofstream(file) << text.substr(0, text.size() / 2);
    sim.ClearTranscript();
    ASSERT_TRUE(AcquireBusy());
    std::strncpy(fileChooser.path, NarrowPath(file).c_str(), kFilePathSize - 1);
    ControlBlock.openFileRequest = true;
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Commands(), std::vector<std::string>{});
    EXPECT_EQ(Notices().back(), "Unable to read XML-File");
    EXPECT_EQ(StatusText(), "set.xml not loaded");
    EXPECT_FALSE(IsBusy());
}

TEST_F(SessionTest, help_and_about_open_and_close_logged_out_and_in) {
    StartWorker();
    for (int round = 0; round < 2; ++round) {
        int created = sink.Count(MsgCreateHelp);
        ControlBlock.helpRequest = true;
        ASSERT_TRUE(sink.WaitFor(MsgCreateHelp, created + 1));
        ControlBlock.helpClosed = true;
        ASSERT_TRUE(sink.WaitFor(MsgDestroyHelp, created + 1));
        int about = sink.Count(MsgCreateAbout);
        int aboutGone = sink.Count(MsgDestroyAbout);
        ControlBlock.aboutRequest = true;
        ASSERT_TRUE(sink.WaitFor(MsgCreateAbout, about + 1));
        ControlBlock.aboutClosed = true;
        ASSERT_TRUE(sink.WaitFor(MsgDestroyAbout, aboutGone + 1));
        ASSERT_TRUE(WaitIdle());
        if (round == 0) LogIn();
    }
    EXPECT_TRUE(ControlBlock.loggedIn);
}

TEST_F(SessionTest, logout_discards_a_request_raised_with_it_and_the_next_login_works) {
    StartWorker();
    LogIn();
    ASSERT_TRUE(SubmitParameterWrite(ParamCurrent, "7000"));
    ControlBlock.startRequest = true;
    ControlBlock.logoutRequest = true;
    EXPECT_TRUE(EndsAtLoginDialog(2));
    EXPECT_EQ(CountCommand("/Config/Current 7000"), 0);
    EXPECT_EQ(CountCommand("Start"), 0);
    EXPECT_EQ(ParameterValue(ParamTemperature), "0");
    LogIn();
    EXPECT_TRUE(ControlBlock.loggedIn);
    EXPECT_EQ(CountCommand("su user"), 1);  // the console was still open
}

TEST_F(SessionTest, a_hand_over_raised_as_the_session_ended_gives_busy_back) {
    StartWorker();
    LogIn();
    ControlBlock.logoutRequest = true;
    ASSERT_TRUE(EndsAtLoginDialog(2));
    // A commit that took busy on a stale "logged in" just before the reset.
    ASSERT_TRUE(TryAcquireBusy());
    ControlBlock.writeRequest = true;
    EXPECT_TRUE(WaitUntil([] { return !IsBusy() && !ControlBlock.writeRequest; }, 5000));
    EXPECT_EQ(CountCommand("/Config/Current 1000"), 0);
    LogIn();
}

// A unit that prints a line every 50 ms never lets the console fall quiet: the login
// gives up as with a console that shows no prompt, a session ends as a lost line, and
// neither can keep the program from ending.
TEST_F(SessionTest, a_console_that_never_falls_quiet_ends_login_and_session_and_never_holds_quit) {
    StartWorker();
    sim.Chatter(50);
    SubmitLogin(u"user", u"ta-vimek", sim.PortName().c_str(), 19200);
    EXPECT_TRUE(EndsAtLoginDialog(2));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0], "Not connected!");

    sim.Chatter(0);
    LogIn();
    sim.Chatter(50);
    EXPECT_TRUE(EndsAtLoginDialog(3));
    EXPECT_EQ(Notices().back(), "Connection Lost!");

    SubmitLogin(u"user", u"ta-vimek", sim.PortName().c_str(), 19200);
    ASSERT_TRUE(WaitUntil([&] { return worker.CurrentState() == 9; }, 10000));
    auto start = Clock::now();
    Quit();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST_F(SessionTest, factory_reset_reboots_the_controller_and_returns_to_login) {
    StartWorker();
    LogIn();
    ControlBlock.factoryResetRequest = true;
    EXPECT_TRUE(EndsAtLoginDialog(2));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0], "Controller rebooting...\nConnection Lost!");
    LogIn();
}

TEST_F(SessionTest, a_hang_up_while_idle_is_a_lost_connection_after_the_polls_rotate) {
    StartWorker();
    LogIn();
    sim.ClearTranscript();
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 3; }, 20000));
    // One status value per poll, in the rotation Temperature, SupplyVoltage, Error.
    const std::vector<std::string> rotation = {"/Status/Temperature ", "/Status/SupplyVoltage ",
                                               "/Status/Error "};
    std::vector<std::string> polls = Commands();
    auto position = [&](const std::string& c) {
        return std::find(rotation.begin(), rotation.end(), c) - rotation.begin();
    };
    for (std::size_t i = 0; i + 1 < 3; ++i) {
        ASSERT_LT(position(polls[i]), 3) << polls[i];
        EXPECT_EQ(position(polls[i + 1]), (position(polls[i]) + 1) % 3);
    }
    sim.HangUpNow();
    EXPECT_TRUE(EndsAtLoginDialog(2));
    EXPECT_EQ(Notices().back(), "Connection Lost!");
    EXPECT_EQ(ParameterValue(ParamCurrent), "0");
}

// Between polls the worker sleeps in one wait. A request still reaches it at once,
// and the time slept is taken off the countdown, so the next poll keeps its time
// (about 2.4 s from command to command: 2 s of countdown and the exchange).
TEST_F(SessionTest, an_idle_session_serves_requests_at_once_and_keeps_the_poll_times) {
    StartWorker();
    LogIn();
    sim.ClearTranscript();
    // When each command line began to arrive.
    auto commandTimes = [&] {
        std::vector<Clock::time_point> times;
        bool inLine = false;
        for (const TranscriptByte& b : sim.Transcript()) {
            const bool lineEnd = b.byte == '\r' || b.byte == '\n';
            if (!inLine && !lineEnd) times.push_back(b.time);
            inLine = !lineEnd;
        }
        return times;
    };
    ASSERT_TRUE(WaitUntil([&] { return !commandTimes().empty(); }, 20000));
    const Clock::time_point poll = commandTimes()[0];
    auto after = [&](int ms) {
        WaitUntil([&] { return Clock::now() >= poll + std::chrono::milliseconds(ms); });
    };

    // Unheard, the request would wait some 2 s for the next poll to fall due.
    after(300);
    auto requested = Clock::now();
    ControlBlock.helpRequest = true;
    ASSERT_TRUE(sink.WaitFor(MsgCreateHelp));
    EXPECT_LT(MsSince(requested), 1000);

    // Were the countdown not carried over, the next poll would come 2 s after this.
    after(1900);
    ControlBlock.helpClosed = true;
    ASSERT_TRUE(sink.WaitFor(MsgDestroyHelp));
    ASSERT_TRUE(WaitUntil([&] { return commandTimes().size() >= 2; }, 20000));
    const long long gap = MsSince(poll) - MsSince(commandTimes()[1]);
    EXPECT_GT(gap, 2000);
    EXPECT_LT(gap, 3300);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(SessionTest, a_hang_up_during_the_read_out_stops_it) {
    sim.HangUpAfterCommands(4);
    StartWorker();
    SubmitLogin(u"user", u"ta-vimek", sim.PortName().c_str(), 19200);
    EXPECT_TRUE(EndsAtLoginDialog(2));
    EXPECT_EQ(Notices().back(), "Connection Lost!");
    EXPECT_EQ(ParameterValue(ParamTemperature), "0");
    EXPECT_EQ(sink.Count(MsgSessionOpen), 0);
}

TEST_F(SessionTest, quit_ends_the_worker_logged_out_logged_in_and_mid_read_out) {
    for (int phase = 0; phase < 3; ++phase) {
        SCOPED_TRACE(phase);
        ResetSharedState();
        SessionController local;
        // An assertion that ends the test early must still end the worker it joins.
        struct QuitOnExit {
            ~QuitOnExit() { ControlBlock.quit = true; }
        } quitOnExit;
        ASSERT_TRUE(local.Start(&sink));
        ControlBlock.aboutClosed = true;
        ASSERT_TRUE(WaitUntil([&] { int s = local.CurrentState(); return s == 5 || s == 6; }));
        if (phase >= 1) {
            sim.ClearTranscript();
            SubmitLogin(u"user", u"ta-vimek", sim.PortName().c_str(), 19200);
            // Phase 1 quits once the read-out has begun.
            ASSERT_TRUE(WaitUntil([&] { return sim.Received().find("/Status/SupplyVoltage") != std::string::npos; }));
        }
        if (phase == 2) {
            ASSERT_TRUE(WaitUntil([&] { return ControlBlock.loggedIn.load(); }));
        }
        auto start = Clock::now();
        ControlBlock.quit = true;
        local.Join();
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_FALSE(SerialPort.IsOpen());
    }
}

// Every poll is kept with its time, and the writes, starts and stops the controller
// confirmed are kept beside them; a refused write is not.
TEST_F(SessionTest, polls_and_confirmed_changes_are_kept_for_the_trend) {
    sim.SetStatusCourse(2, 100, 0);
    sim.SetValue("Config", "TimeOn", 100);
    const std::uint64_t before = StatusReadings.Added();
    StartWorker();
    LogIn();
    auto since = [&] {
        std::vector<Reading> all = StatusReadings.Snapshot();
        return std::vector<Reading>(all.end() - static_cast<long>(StatusReadings.Added() - before), all.end());
    };
    ASSERT_TRUE(WaitUntil([&] { return since().size() >= 4; }, 30000));
    std::vector<Reading> kept = since();
    const ReadingKind rotation[] = {ReadingKind::Temperature, ReadingKind::SupplyVoltage, ReadingKind::Error,
                                    ReadingKind::Temperature};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(kept[i].kind, rotation[i]) << i;
    // The read-out at login read it at 35; each poll finds it 2 degrees warmer.
    EXPECT_EQ(kept[0].value, 37);
    EXPECT_EQ(kept[1].value, 23.9);
    EXPECT_EQ(kept[3].value, 39);
    EXPECT_LE(kept[0].timeMs, kept[3].timeMs);

    const std::size_t polls = since().size();
    ASSERT_TRUE(SubmitParameterWrite(ParamCurrent, "5000"));
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(SubmitParameterWrite(ParamDelay, "2"));  // refused
    ASSERT_TRUE(WaitIdle());
    ControlBlock.startRequest = true;
    ASSERT_TRUE(WaitIdle());
    ControlBlock.stopRequest = true;
    ASSERT_TRUE(WaitIdle());
    std::vector<Reading> events;
    for (const Reading& r : since()) {
        if (r.kind > ReadingKind::Error) events.push_back(r);
    }
    ASSERT_EQ(events.size(), 3u) << "after " << polls << " polls";
    EXPECT_EQ(events[0].kind, ReadingKind::Written);
    EXPECT_EQ(events[0].parameter, ParamCurrent);
    EXPECT_EQ(events[0].value, 5000);
    EXPECT_EQ(events[1].kind, ReadingKind::Started);
    EXPECT_EQ(events[2].kind, ReadingKind::Stopped);
}
