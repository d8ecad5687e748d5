#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "console/Commands.h"
#include "console/ConsoleFixture.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"

namespace {
class Commands : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        sim.StartLoggedIn();
        ControlBlock.firmwareCode = 2;
    }
    bool Read(int index) { return ExecuteCommand(CommandParameter, index, &sink, "", 100); }
    bool Run(CommandKind kind) { return ExecuteCommand(kind, 0, &sink, "", 0); }
};
}  // namespace

TEST_F(Commands, a_read_sends_the_path_and_stores_the_value) {
    sim.SetValue("Config", "TimeOn", 500);
    EXPECT_TRUE(Read(ParamTimeOn));
    EXPECT_EQ(sim.Received(), "\n/Config/TimeOn \n");
    EXPECT_EQ(ParameterValue(ParamTimeOn), "500");
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].message, MsgRefreshParameter);
    EXPECT_EQ(sink.Messages()[0].wParam, static_cast<std::uintptr_t>(ParamTimeOn));
}

TEST_F(Commands, the_oldest_firmware_changes_directory_around_a_bare_name) {
    sim.SetFirmware("1.01");
    ControlBlock.firmwareCode = 1;
    EXPECT_TRUE(Read(ParamTimeOn));
    // The last line goes out unanswered: it may still be on its way.
    EXPECT_TRUE(sim.WaitReceived("cd /Config\n\nTimeOn \ncd /\n", 10000)) << sim.Received();
    EXPECT_EQ(sim.Received(), "cd /Config\n\nTimeOn \ncd /\n");
    EXPECT_EQ(ParameterValue(ParamTimeOn), "100");
}

TEST_F(Commands, a_refused_write_collects_the_controller_lines_without_retry) {
    EXPECT_FALSE(ExecuteCommand(CommandParameter, ParamDelay, &sink, "2", 100));
    EXPECT_EQ(Sent("/Config/Delay 2\n"), 1);
    EXPECT_EQ(PendingNoticeText(),
              "Value not accepted!\nLimits: [5...1000000]\nTake notice of further parameter-depended limits");
    EXPECT_EQ(sink.Codes(), (std::vector<unsigned>{MsgRefreshParameter, MsgFocusParameter}));
    EXPECT_FALSE(ControlBlock.connectionLost);
}

TEST_F(Commands, a_write_stores_what_the_controller_answers) {
    EXPECT_TRUE(ExecuteCommand(CommandParameter, ParamCurrent, &sink, "5000", 100));
    EXPECT_EQ(sim.Received(), "\n/Config/Current 5000\n");
    EXPECT_EQ(ParameterValue(ParamCurrent), "5000");
    EXPECT_EQ(sim.Value("Config", "Current"), "5000");
}

TEST_F(Commands, stop_answered_only_by_its_echo_succeeds_after_a_second_of_silence) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Run(CommandStop));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(sim.Received(), "\nStop\n");
    EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(Commands, factory_settings_end_the_session_with_a_reboot_notice) {
    EXPECT_FALSE(Run(CommandFactorySettings));
    EXPECT_TRUE(ControlBlock.connectionLost);
    EXPECT_EQ(PendingNoticeText(), "Controller rebooting...");
    EXPECT_EQ(Sent("FactorySettings\n"), 1);
}

TEST_F(Commands, start_refused_for_an_inconsistent_configuration) {
    sim.SetValue("Config", "TimeOn", 5000);
    EXPECT_FALSE(Run(CommandStart));
    EXPECT_EQ(PendingNoticeText(),
              "Failure! One or more values of this configuration out of range! Refer manual for the limits.");
}

TEST_F(Commands, ver_sets_the_firmware_code_and_the_info_line) {
    struct Case {
        const char* firmware;
        int code;
        const char* notice;
    };
    const Case cases[] = {
        {"1.10", 3, ""},
        {"1.01", 1, ""},
        {"2.00", 0, "Connected to newer Firmware - use updated version of ZL-Config"},
    };
    for (const Case& c : cases) {
        sim.SetFirmware(c.firmware);
        ControlBlock.firmwareCode = 2;
        EXPECT_TRUE(Run(CommandVer)) << c.firmware;
        EXPECT_EQ(ControlBlock.firmwareCode, c.code);
        EXPECT_EQ(SessionTextUtf8(SlotInfoLine), std::string("Firmware-Version ZL-500-40K ") + c.firmware);
        EXPECT_EQ(PendingNoticeText(), c.notice);
    }
}

TEST_F(Commands, a_garbled_echo_is_retried_and_fails_after_four_attempts) {
    sim.GarbleNextCommands(4);
    EXPECT_FALSE(Run(CommandStop));
    EXPECT_EQ(Sent("Stop\n"), 4);
    EXPECT_FALSE(ControlBlock.connectionLost);

    sim.ClearTranscript();
    sim.GarbleNextCommands(1);
    EXPECT_TRUE(Read(ParamMode));
    EXPECT_EQ(Sent("/Config/Mode \n"), 2);
}

TEST_F(Commands, noise_from_the_controller_costs_a_retry_and_nothing_else) {
    sim.InjectNoise();
    EXPECT_TRUE(Read(ParamTemperature));
    EXPECT_EQ(Sent("/Status/Temperature \n"), 2);
}

// A line that does not fit with its line end would go out cut and be completed by the
// next empty line: another value would be set. It is not sent at all.
TEST_F(Commands, a_parameter_line_that_does_not_fit_is_never_sent) {
    struct Case {
        int firmware;
        std::size_t length;  // of the value; "/Config/Current " or "Current " comes first
        bool fits;
    };
    const Case cases[] = {{2, 82, true}, {2, 83, false}, {2, 150, false}, {1, 90, true}, {1, 91, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        ControlBlock.firmwareCode = c.firmware;
        sim.SetFirmware(c.firmware == 1 ? "1.01" : "1.10");
        sim.ClearTranscript();
        sink.Clear();
        ClearNotice();
        std::string value(c.length, '7');
        CommandOutcome outcome = RunCommand(CommandParameter, ParamCurrent, &sink, value.c_str(), 100);
        EXPECT_EQ(sink.Codes(), (std::vector<unsigned>{MsgRefreshParameter, MsgFocusParameter}));
        if (c.fits) {
            // Sent whole (the echo behind the prompt is longer than a line the program
            // keeps, so it is retried; the controller would refuse it anyway).
            EXPECT_NE(outcome, CommandOutcome::TooLong);
            EXPECT_GE(Sent("Current " + value + "\n"), 1);
        } else {
            EXPECT_EQ(outcome, CommandOutcome::TooLong);
            EXPECT_EQ(sim.Received(), "");
            EXPECT_EQ(PendingNoticeText(), "Value too long!");
        }
    }
}

TEST_F(Commands, a_console_back_at_login_means_the_connection_is_lost) {
    sim.RebootOnCommand(1);
    EXPECT_FALSE(Read(ParamMode));  // "Reboot..." mid-command
    EXPECT_TRUE(ControlBlock.connectionLost);
    ControlBlock.connectionLost = false;
    sim.ClearTranscript();
    EXPECT_FALSE(Read(ParamMode));  // now only "Login:" shows
    EXPECT_TRUE(ControlBlock.connectionLost);
    EXPECT_EQ(sim.Received(), "\n");
}
