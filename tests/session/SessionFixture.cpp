#include "session/SessionFixture.h"

#include <chrono>
#include <filesystem>
#include <iostream>

#include "console/TrafficLog.h"
#include "serial/SerialReadln.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "support/System.h"

void SessionTest::SetUp() {
    ResetSharedState();
    dir = MakeTestFolder("zl-session");
    ui_ = std::thread([this] { ShowNotices(); });
}

void SessionTest::TearDown() {
    Quit();
    // A failed test shows the console traffic with its times: what came late, and when.
    if (HasFailure()) {
        TrafficLine lines[64];
        std::string traffic;
        for (int n; (n = TakeTraffic(lines, 64)) > 0;) {
            for (int i = 0; i < n; ++i) {
                char text[kTrafficTextSize];
                FormatTrafficLine(lines[i], text);
                traffic += std::string(text) + "\n";
            }
        }
        std::cerr << "console traffic:\n" << traffic;
    }
    uiStop_ = true;
    ui_.join();
    std::filesystem::remove_all(dir);
}

void SessionTest::Quit() {
    ControlBlock.quit = true;
    worker.Join();
}

void SessionTest::ShowNotices() {
    int handled = 0;
    while (!uiStop_) {
        if (NoticePending() && sink.Count(MsgShowNotice) > handled) {
            std::string text = PendingNoticeText();
            {
                std::lock_guard<std::mutex> lock(noticesMutex_);
                notices_.push_back(text);
            }
            ++handled;
            EmptyNotice();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::vector<std::string> SessionTest::Notices() {
    std::lock_guard<std::mutex> lock(noticesMutex_);
    return notices_;
}

void SessionTest::StartWorker(bool closeSplash) {
    ASSERT_TRUE(worker.Start(&sink));
    if (closeSplash) {
        ASSERT_TRUE(sink.WaitFor(MsgCreateAbout));
        ControlBlock.aboutClosed = true;
    }
    ASSERT_TRUE(sink.WaitFor(MsgCreateLogin));
    ASSERT_TRUE(WaitIdle());
}

bool SessionTest::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

bool SessionTest::WaitIdle(int timeoutMs) {
    const ControlBlockStore& cb = ControlBlock;
    return WaitUntil(
        [&] {
            int s = worker.CurrentState();
            bool idleState = s == 5 || s == 6 || s == 11;
            bool requests = cb.loginRequest || cb.logoutRequest || cb.factoryResetRequest ||
                            cb.passwordChangeRequest || cb.saveFileRequest || cb.openFileRequest ||
                            cb.writeRequest || cb.stopRequest || cb.startRequest || cb.saveRequest ||
                            cb.helpRequest || cb.helpClosed || cb.aboutRequest || cb.aboutClosed ||
                            cb.passwordDialogRequest || cb.passwordDialogClosed;
            return idleState && !requests && !NoticePending() && !IsBusy();
        },
        timeoutMs);
}

void SessionTest::LogIn(const char16_t* password) {
    int opened = sink.Count(MsgSessionOpen);
    SubmitLogin(u"user", password, sim.PortName().c_str(), 19200);
    ASSERT_TRUE(sink.WaitFor(MsgSessionOpen, opened + 1, 30000));
    ASSERT_TRUE(WaitIdle());
}

std::vector<std::string> SessionTest::Commands() const {
    std::vector<std::string> commands;
    for (const std::string& line : sim.ReceivedLines()) {
        if (!line.empty()) commands.push_back(line);
    }
    return commands;
}

int SessionTest::CountCommand(const std::string& line) const {
    int n = 0;
    for (const std::string& c : Commands()) n += c == line;
    return n;
}

bool SessionTest::Listed(unsigned number) const {
    for (int i = 0; i < 100 && ControlBlock.portList[i] != 0; ++i) {
        if (ControlBlock.portList[i] == static_cast<std::int32_t>(number)) return true;
    }
    return false;
}

bool SessionTest::EndsAtLoginDialog(int loginDialogs) {
    return sink.WaitFor(MsgCreateLogin, loginDialogs, 30000) && WaitIdle() &&
           SessionTextUtf8(SlotInfoLine) == "Not connected!" && !SerialPort.IsOpen() && !IsBusy() &&
           !ControlBlock.loggedIn;
}
