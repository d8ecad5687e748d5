#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/ConsoleFixture.h"
#include "console/Login.h"
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
