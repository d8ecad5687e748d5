#include <gtest/gtest.h>

#include "console/ConsoleFixture.h"
#include "console/Login.h"
#include "state/SessionTexts.h"

namespace {
class LoginTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        SetSessionText(SlotUserName, u"user");
        SetSessionText(SlotPassword, u"ta-vimek");
    }
    void PasswordTexts(const char16_t* current, const char16_t* fresh, const char16_t* again) {
        SetSessionText(SlotCurrentPassword, current);
        SetSessionText(SlotNewPassword, fresh);
        SetSessionText(SlotNewPasswordAgain, again);
    }
};
}  // namespace

TEST_F(LoginTest, login_at_the_prompt_sends_user_password_and_empty_line) {
    EXPECT_TRUE(Login());
    EXPECT_EQ(sim.Received(), "\n\nuser\nta-vimek\n\n");
    EXPECT_EQ(SessionTextUtf8(SlotUserName), "user");
    EXPECT_EQ(SessionTextUtf8(SlotPassword), "ta-vimek");
    EXPECT_EQ(PendingNoticeText(), "");
}

TEST_F(LoginTest, login_on_an_open_console_switches_user) {
    sim.StartLoggedIn();
    EXPECT_TRUE(Login());
    // The last line goes out unanswered: it may still be on its way.
    EXPECT_TRUE(sim.WaitReceived("\n\nsu user\nta-vimek\ncd /\n", 10000)) << sim.Received();
    EXPECT_EQ(sim.Received(), "\n\nsu user\nta-vimek\ncd /\n");
}

TEST_F(LoginTest, wrong_credentials_four_times_leave_access_denied_and_not_connected) {
    SetSessionText(SlotPassword, u"wrong");
    SetSessionText(SlotUserName, u"somebody-long");
    EXPECT_FALSE(Login());
    EXPECT_EQ(Sent("somebody\nwrong\n"), 4);
    EXPECT_EQ(PendingNoticeText(), "Access denied!\nNot connected!");
    EXPECT_EQ(SessionTextUtf8(SlotUserName), "somebody");
}

TEST_F(LoginTest, a_silent_controller_gives_only_not_connected) {
    sim.SetSilent(true);
    EXPECT_FALSE(Login());
    EXPECT_EQ(sim.Received(), "\n\n\n\n\n\n\n\n");
    EXPECT_EQ(PendingNoticeText(), "Not connected!");
}

TEST_F(LoginTest, password_change_runs_the_passwd_dialogue) {
    sim.StartLoggedIn();
    PasswordTexts(u"ta-vimek", u"n3w-pass", u"n3w-pass");
    EXPECT_EQ(RunPasswordChange(), PasswordChange::Changed);
    EXPECT_EQ(sim.Received(), "\n\npasswd\nta-vimek\nn3w-pass\nn3w-pass\n\n");
    EXPECT_EQ(PendingNoticeText(), "Password changed!");
    EXPECT_EQ(sim.Password(), "n3w-pass");
}

TEST_F(LoginTest, a_wrong_current_password_is_denied_four_times) {
    sim.StartLoggedIn();
    PasswordTexts(u"bad", u"n3w-pass", u"n3w-pass");
    EXPECT_EQ(RunPasswordChange(), PasswordChange::Refused);
    EXPECT_EQ(Sent("passwd\nbad\n"), 4);
    // The console never asked for the new password: typed at its prompt it would be
    // echoed in clear and run as a command.
    EXPECT_EQ(Sent("n3w-pass"), 0) << sim.Received();
    EXPECT_EQ(PendingNoticeText(), "Access denied!\nPassword change failed!");
}

TEST_F(LoginTest, an_empty_user_name_never_sends_the_password_to_the_login_prompt) {
    SetSessionText(SlotUserName, u"");
    EXPECT_FALSE(Login());
    EXPECT_EQ(Sent("ta-vimek"), 0) << sim.Received();
    EXPECT_EQ(PendingNoticeText(), "Not connected!");
}

TEST_F(LoginTest, a_password_change_cut_short_says_whether_the_unit_may_have_taken_it) {
    // Bytes up to the cut: two empty lines, "passwd", then the current and the new
    // password and its repetition (9 bytes each).
    const struct {
        long cutAfter;
        PasswordChange outcome;
    } cases[] = {
        {9, PasswordChange::Unanswered},    // after "passwd": the unit never saw a new one
        {36, PasswordChange::Unconfirmed},  // after the repetition: the unit took it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cutAfter);
        Simulator unit;
        unit.StartLoggedIn();
        SerialPort.Close();
        ASSERT_EQ(SerialPort.OpenWithListener(unit.DeviceName().c_str(), 0, 0), 0);
        unit.HangUpAfterBytes(c.cutAfter);
        PasswordTexts(u"ta-vimek", u"n3w-pass", u"n3w-pass");
        EXPECT_EQ(RunPasswordChange(), c.outcome);
        EXPECT_EQ(PendingNoticeText(), "Password change failed!");
        EXPECT_EQ(unit.Password(), c.outcome == PasswordChange::Unconfirmed ? "n3w-pass" : "ta-vimek");
    }
}

TEST_F(LoginTest, a_mismatch_writes_nothing) {
    sim.StartLoggedIn();
    PasswordTexts(u"ta-vimek", u"Secret", u"secret");
    EXPECT_FALSE(ChangePassword());
    EXPECT_EQ(PendingNoticeText(), "Passwords mismatch!");
    EXPECT_EQ(sim.Received(), "");
}
