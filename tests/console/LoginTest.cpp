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
    sim.WithConsole([](ControllerConsole& c) { c.SetSilent(true); });
    EXPECT_FALSE(Login());
    EXPECT_EQ(sim.Received(), "\n\n\n\n\n\n\n\n");
    EXPECT_EQ(PendingNoticeText(), "Not connected!");
}

TEST_F(LoginTest, password_change_runs_the_passwd_dialogue) {
    sim.StartLoggedIn();
    PasswordTexts(u"ta-vimek", u"n3w-pass", u"n3w-pass");
    EXPECT_TRUE(ChangePassword());
    EXPECT_EQ(sim.Received(), "\n\npasswd\nta-vimek\nn3w-pass\nn3w-pass\n\n");
    EXPECT_EQ(PendingNoticeText(), "Password changed!");
    sim.WithConsole([](ControllerConsole& c) { EXPECT_EQ(c.Password(), "n3w-pass"); });
}

TEST_F(LoginTest, a_wrong_current_password_is_denied_four_times) {
    sim.StartLoggedIn();
    PasswordTexts(u"bad", u"n3w-pass", u"n3w-pass");
    EXPECT_FALSE(ChangePassword());
    EXPECT_EQ(Sent("passwd\nbad\n"), 4);
    EXPECT_EQ(PendingNoticeText(), "Access denied!\nPassword change failed!");
}

TEST_F(LoginTest, a_mismatch_writes_nothing) {
    sim.StartLoggedIn();
    PasswordTexts(u"ta-vimek", u"Secret", u"secret");
    EXPECT_FALSE(ChangePassword());
    EXPECT_EQ(PendingNoticeText(), "Passwords mismatch!");
    EXPECT_EQ(sim.Received(), "");
}
