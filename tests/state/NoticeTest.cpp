#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "platform/Threading.h"
#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "support/RecordingSink.h"

class Notice : public ::testing::Test {
protected:
    void SetUp() override { ResetSharedState(); }
};

TEST_F(Notice, composition_joins_lines_with_one_line_feed) {
    AppendNotice(148);
    EXPECT_EQ(PendingNoticeText(), "Unable to open COM-port");
    AppendNotice(149);
    EXPECT_EQ(PendingNoticeText(), "Unable to open COM-port\nUnable to set COM-port setting");
    std::strcpy(ConsoleLine, "Value not accepted!");
    AppendNoticeLine();
    EXPECT_EQ(PendingNoticeText(),
              "Unable to open COM-port\nUnable to set COM-port setting\nValue not accepted!");
    SetNotice(138);
    EXPECT_EQ(PendingNoticeText(), "Access denied!");
    ClearNotice();
    EXPECT_FALSE(NoticePending());
    std::strcpy(ConsoleLine, "\xb5s");  // bytes widen one to one
    AppendNoticeLine();
    EXPECT_EQ(PendingNoticeText(), "\xc2\xb5s");
}

TEST_F(Notice, a_full_notice_is_unchanged_by_further_appends) {
    std::memset(ConsoleLine, 'a', 99);
    ConsoleLine[99] = 0;
    for (int i = 0; i < 12; ++i) AppendNoticeLine();
    std::string full = PendingNoticeText();
    EXPECT_EQ(full.size(), 999u);
    AppendNotice(151);
    EXPECT_EQ(PendingNoticeText(), full);
}

TEST_F(Notice, flush_of_an_empty_notice_posts_nothing) {
    RecordingSink sink;
    FlushNotice(&sink);
    EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(Notice, flush_waits_until_the_interface_empties_the_notice) {
    RecordingSink sink;
    AppendNotice(151);
    std::thread ui([&] {
        ASSERT_TRUE(sink.WaitFor(MsgShowNotice));
        EXPECT_EQ(PendingNoticeText(), "Connection Lost!");
        EmptyNotice();
    });
    FlushNotice(&sink);
    ui.join();
    EXPECT_FALSE(NoticePending());
    EXPECT_EQ(sink.Count(MsgShowNotice), 1);
}

TEST_F(Notice, flush_returns_and_drops_the_notice_once_quit_is_set) {
    RecordingSink sink;
    AppendNotice(151);
    std::thread ui([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ControlBlock.quit = true;
    });
    FlushNotice(&sink);
    ui.join();
    EXPECT_FALSE(NoticePending());
}

// A requesting thread and a worker hand busy, requests and notices back and forth;
// ThreadSanitizer checks the hand-over.
TEST_F(Notice, busy_requests_and_notices_hand_over_without_races) {
    RecordingSink sink;
    ControlBlock.loggedIn = true;
    constexpr int kRounds = 300;
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        int served = 0;
        while (served < kRounds) {
            if (ControlBlock.writeRequest) {
                char text[100];
                std::strcpy(text, ControlBlock.pendingWriteText);
                EXPECT_EQ(std::atoi(text), served);
                ControlBlock.writeRequest = false;
                ReleaseBusy();
                std::strcpy(ConsoleLine, text);
                AppendNoticeLine();
                FlushNotice(&sink);
                ++served;
            } else {
                std::this_thread::yield();
            }
        }
        workerDone = true;
    });
    int shown = 0;
    for (int i = 0; i < kRounds; ++i) {
        std::string value = std::to_string(i);
        while (!SubmitParameterWrite(40, value.c_str())) {
            if (NoticePending()) {
                PendingNoticeText();
                EmptyNotice();
                ++shown;
            }
            std::this_thread::yield();
        }
    }
    while (!workerDone) {
        if (NoticePending()) {
            EmptyNotice();
            ++shown;
        }
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(shown, kRounds);
}
