#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/ConsoleFixture.h"
#include "console/Login.h"
#include "console/ReplyReader.h"
#include "console/TrafficLog.h"
#include "state/SessionTexts.h"

namespace {
// Every line kept so far, as "> text" or "< text".
std::vector<std::string> TakeAll() {
    std::vector<std::string> lines;
    TrafficLine taken[64];
    for (int n; (n = TakeTraffic(taken, 64)) > 0;) {
        for (int i = 0; i < n; ++i) lines.push_back(std::string(1, static_cast<char>(taken[i].direction)) + " " + taken[i].text);
    }
    return lines;
}

class TrafficLog : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        TakeAll();
    }
};
}  // namespace

TEST_F(TrafficLog, a_login_is_kept_line_by_line_with_the_password_masked_both_ways) {
    SetSessionText(SlotUserName, u"user");
    SetSessionText(SlotPassword, u"ta-vimek");
    ASSERT_TRUE(Login());
    std::vector<std::string> lines = TakeAll();
    const std::vector<std::string> sent = {"> ", "> ", "> user", "> ********", "> "};
    std::vector<std::string> sentSeen;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("ta-vimek"), std::string::npos) << line;
        if (line[0] == '>') sentSeen.push_back(line);
    }
    EXPECT_EQ(sentSeen, sent);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "< Password: ********"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "< Login: user"), lines.end());
}

TEST_F(TrafficLog, a_secret_sent_earlier_is_masked_wherever_the_unit_echoes_it) {
    SetSessionText(SlotUserName, u"user");
    SetSessionText(SlotPassword, u"ta-vimek");
    ASSERT_TRUE(Login());
    SetSessionText(SlotCurrentPassword, u"ta-vimek");
    SetSessionText(SlotNewPassword, u"n3w-pass");
    SetSessionText(SlotNewPasswordAgain, u"n3w-pass");
    ASSERT_TRUE(ChangePassword()) << sim.Received() << PendingNoticeText();
    // Each secret as a command (echoed, then named as unknown), as a value (echoed,
    // then refused) and at the login prompt (echoed after "Login:").
    for (const char* secret : {"ta-vimek", "n3w-pass"}) {
        for (std::string line : {std::string(secret), "/Config/Current " + std::string(secret)}) {
            WriteToConsole((line + "\n").c_str());
            DiscardConsoleInput();
        }
    }
    WriteToConsole("FactorySettings\n");
    DiscardConsoleInput();
    ASSERT_TRUE(AwaitPrompt(ReplyLogin, 300));
    for (const char* typed : {"ta-vimek\n", "x\n", "n3w-pass\n"}) WriteToConsole(typed);
    DiscardConsoleInput();
    std::vector<std::string> lines = TakeAll();
    int masked = 0;
    for (const std::string& line : lines) {
        if (line[0] != '<') continue;  // the test typed them in clear on purpose
        EXPECT_EQ(line.find("ta-vimek"), std::string::npos) << line;
        EXPECT_EQ(line.find("n3w-pass"), std::string::npos) << line;
        if (line == "< Command/parameter '********' unknown!") ++masked;
    }
    EXPECT_EQ(masked, 2);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "< ZL-500-40K /> /Config/Current ********"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "< Login: ********"), lines.end());
}

TEST(TrafficLogBound, a_reader_that_falls_behind_loses_lines_counted_never_waits) {
    TakeAll();
    std::uint64_t before = TrafficDropped();
    for (int i = 0; i < kTrafficCapacity + 10; ++i) LogReceived(("line " + std::to_string(i)).c_str());
    EXPECT_EQ(TrafficDropped() - before, 10u);
    std::vector<std::string> lines = TakeAll();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kTrafficCapacity));
    EXPECT_EQ(lines.front(), "< line 0");
    EXPECT_EQ(lines.back(), "< line " + std::to_string(kTrafficCapacity - 1));
    LogSent("after\n", false);
    EXPECT_EQ(TakeAll(), std::vector<std::string>{"> after"});
}

TEST(TrafficLogMask, what_follows_a_password_prompt_is_stars_of_one_length) {
    const std::pair<const char*, const char*> cases[] = {
        {"Password: ta-vimek", "Password: ********"},
        {"Password: x", "Password: ********"},
        {"Enter old password: 1", "Enter old password: ********"},
        {"Re-enter new password: Secret1", "Re-enter new password: ********"},
        {"Password:", "Password:"},
        {"Login: user", "Login: user"},
        {"ZL-500-40K /> Save", "ZL-500-40K /> Save"},
    };
    for (const auto& [line, masked] : cases) {
        char out[sizeof TrafficLine::text];
        MaskReceivedLine(line, out);
        EXPECT_STREQ(out, masked);
    }
}
