#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "platform/Threading.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "support/RecordingSink.h"

class Stores : public ::testing::Test {
protected:
    void SetUp() override { ResetSharedState(); }
};

TEST_F(Stores, display_forms_of_duty_cycle_and_supply_voltage) {
    struct Case {
        const char* mode;
        const char* timeOn;
        const char* cycle;
        const char* duty;
    };
    const Case dutyCases[] = {
        {"1", "500", "4000", "100.00"},
        {"1", "0", "0", "100.00"},
        {"0", "10", "0", "0.00"},
        {"0", "500", "4000", "12.50"},
        {"0", "100", "-5", "0.00"},
        {"", "", "", "0.00"},
    };
    for (const Case& c : dutyCases) {
        SetParameterText(ParamMode, c.mode);
        SetParameterText(ParamTimeOn, c.timeOn);
        SetParameterText(ParamCycleTime, c.cycle);
        SetParameterText(ParamDutyCycle, "999");  // never shown
        EXPECT_EQ(ParameterValue(ParamDutyCycle), c.duty) << c.mode << " " << c.timeOn << "/" << c.cycle;
    }
    const std::pair<const char*, const char*> voltageCases[] = {
        {"1500", "1.5"}, {"50000", "50.0"}, {"", "0.0"}, {"20000", "20.0"}};
    for (const auto& [stored, shown] : voltageCases) {
        SetParameterText(ParamSupplyVoltage, stored);
        EXPECT_EQ(ParameterValue(ParamSupplyVoltage), shown) << stored;
    }
}

TEST_F(Stores, parameter_indexes_and_cuts) {
    char out[kValueSize] = "junk";
    EXPECT_FALSE(GetParameterText(42, out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(SetParameterText(42, "1"));
    EXPECT_TRUE(SetParameterText(41, "1"));
    EXPECT_EQ(ParameterValue(41), "1");

    std::string longText(120, 'a');
    SetParameterText(ParamCurrent, longText.c_str());
    EXPECT_EQ(ParameterValue(ParamCurrent), std::string(99, 'a'));
    EXPECT_STREQ(ParameterDirectoryName(ParamStatusCurrent), "Status");
    EXPECT_STREQ(ParameterDirectoryName(ParamBaud), "System");
    EXPECT_STREQ(ParameterDirectoryName(20), "");
}

TEST_F(Stores, session_slots_keep_8_or_99_characters) {
    const std::u16string thirteen = u"abcdefghijklm";
    const std::u16string long120(120, u'p');
    for (int slot = 0; slot < kSessionTextCount; ++slot) {
        SetSessionText(slot, long120.c_str());
        bool shortSlot = slot == 1 || slot == 2 || slot >= 4;
        EXPECT_EQ(SessionTextUtf8(slot).size(), shortSlot ? 8u : 99u) << slot;
    }
    SetSessionText(SlotUserName, thirteen.c_str());
    EXPECT_EQ(SessionTextUtf8(SlotUserName), "abcdefgh");
    char16_t out[kSessionTextSize] = u"x";
    EXPECT_FALSE(GetSessionText(7, out));
    EXPECT_EQ(out[0], 0);
}

TEST_F(Stores, submit_parameter_write_refuses_unchanged_text_busy_and_bad_index) {
    ControlBlock.loggedIn = true;
    SetParameterText(ParamCurrent, "5000");
    EXPECT_FALSE(SubmitParameterWrite(ParamCurrent, "5000"));
    EXPECT_FALSE(ControlBlock.writeRequest);
    EXPECT_FALSE(SubmitParameterWrite(42, "1"));

    ASSERT_TRUE(TryAcquireBusy());
    EXPECT_FALSE(SubmitParameterWrite(ParamCurrent, "6000"));
    ReleaseBusy();

    EXPECT_TRUE(SubmitParameterWrite(ParamCurrent, "6000"));
    EXPECT_TRUE(ControlBlock.writeRequest);
    EXPECT_EQ(ControlBlock.pendingWriteIndex, ParamCurrent);
    EXPECT_STREQ(ControlBlock.pendingWriteText, "6000");
    EXPECT_TRUE(IsBusy());
}

TEST_F(Stores, hand_overs_that_carry_data_are_refused_without_a_session) {
    SetParameterText(ParamCurrent, "0");
    EXPECT_FALSE(SubmitParameterWrite(ParamCurrent, "1000"));
    SubmitPasswordChange(u"old", u"new", u"new");
    EXPECT_FALSE(AcquireBusyForSession());
    EXPECT_FALSE(TryAcquireBusyForSession());
    EXPECT_FALSE(ControlBlock.writeRequest);
    EXPECT_FALSE(ControlBlock.passwordChangeRequest);
    EXPECT_FALSE(IsBusy());

    ControlBlock.loggedIn = true;
    EXPECT_TRUE(AcquireBusyForSession());
    ReleaseBusy();
    SubmitPasswordChange(u"old", u"new", u"new");
    EXPECT_TRUE(ControlBlock.passwordChangeRequest);
    EXPECT_TRUE(IsBusy());
}

TEST_F(Stores, a_second_login_while_one_is_pending_is_ignored) {
    SubmitLogin(u"operator12345", u"secret", u"COM3", 19200);
    EXPECT_TRUE(ControlBlock.loginRequest);
    EXPECT_EQ(SessionTextUtf8(SlotUserName), "operator");
    EXPECT_EQ(SessionTextUtf8(SlotPortName), "COM3");
    EXPECT_EQ(ControlBlock.baud, 19200);
    SubmitLogin(u"other", u"x", u"COM9", 9600);  // would block on busy if not ignored
    EXPECT_EQ(SessionTextUtf8(SlotPortName), "COM3");
    EXPECT_EQ(ControlBlock.baud, 19200);
}

TEST_F(Stores, acquire_busy_gives_up_once_quit_is_set) {
    ControlBlock.quit = true;
    EXPECT_FALSE(AcquireBusy());
    EXPECT_FALSE(TryAcquireBusy());
    ControlBlock.quit = false;

    ASSERT_TRUE(AcquireBusy());
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = AcquireBusy(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ControlBlock.quit = true;
    waiter.join();
    EXPECT_FALSE(result);
}

// The idle worker sleeps on the bell: raising any flag must end its wait, even when
// raised before the wait began; lowering one must not; a wait silences the bell.
TEST_F(Stores, raising_a_flag_rings_the_worker_bell_until_the_next_wait) {
    WaitForWorkerBell(0);
    ControlBlock.stopRequest = false;
    ControlBlock.writeRequest.exchange(false);
    EXPECT_FALSE(WaitForWorkerBell(10));

    ControlBlock.stopRequest = true;
    EXPECT_TRUE(WaitForWorkerBell(60000));
    EXPECT_FALSE(WaitForWorkerBell(10));

    ControlBlock.openFileRequest.exchange(true);
    EXPECT_TRUE(WaitForWorkerBell(60000));

    std::thread raiser([] { ControlBlock.quit = true; });
    EXPECT_TRUE(WaitForWorkerBell(60000));
    raiser.join();

    EmptyNotice();  // a notice box closed
    EXPECT_TRUE(WaitForWorkerBell(60000));
}

namespace {
std::atomic<int> pumpCalls{0};
void CountingPump() { ++pumpCalls; }
}  // namespace

TEST_F(Stores, acquire_busy_pumps_events_while_it_waits) {
    SetEventPump(CountingPump);
    ASSERT_TRUE(AcquireBusy());
    std::thread releaser([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        ReleaseBusy();
    });
    EXPECT_TRUE(AcquireBusy());
    releaser.join();
    SetEventPump(nullptr);
    EXPECT_GE(pumpCalls.load(), 2);
}

TEST_F(Stores, file_chooser_starts_empty_with_two_filters) {
    std::strcpy(fileChooser.path, "/tmp/x.xml");
    FillFileChooser();
    EXPECT_STREQ(fileChooser.path, "");
    EXPECT_STREQ(fileChooser.filterNames[0], "ZL-Config XML");
    EXPECT_STREQ(fileChooser.filterPatterns[1], "*.*");
    EXPECT_EQ(fileChooser.filterIndex, 1);
}

TEST_F(Stores, the_current_file_is_named_by_the_last_part_of_its_path) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/set.xml", "set.xml"},
        {"set.xml", "set.xml"},
#ifdef _WIN32
        {"C:\\Users\\me\\set.xml", "set.xml"},
        {"C:\\Users/me\\set.xml", "set.xml"},
#else
        {"/tmp/a\\b.xml", "a\\b.xml"},  // a backslash is part of a Linux name
#endif
    };
    for (const auto& [path, name] : cases) {
        SetCurrentFile(path);
        EXPECT_EQ(CurrentFile(), name) << path;
    }
}
