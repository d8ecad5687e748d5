#pragma once
// The worker against the simulator on a port of its own, with a recording sink and a stand-in for the user interface thread that shows (empties)
// every notice handed over and keeps what it showed.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "session/SessionController.h"
#include "support/ReadOut.h"
#include "support/RecordingSink.h"
#include "support/Simulator.h"

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the worker; closes the splash at once unless asked not to.
    void StartWorker(bool closeSplash = true);
    // Logs in through the request flags and waits until the session is open and the
    // worker is idle again.
    void LogIn(const char16_t* password = u"ta-vimek");
    // Waits until the worker idles in the dispatch loop with no request pending.
    bool WaitIdle(int timeoutMs = 30000);
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 30000);
    std::vector<std::string> Notices();
    // The non-empty lines the controller received.
    std::vector<std::string> Commands() const;
    int CountCommand(const std::string& line) const;
    bool EndsAtLoginDialog(int loginDialogs);
    // Whether the last scan listed COMn.
    bool Listed(unsigned number) const;
    void Quit();

    Simulator sim;
    RecordingSink sink;
    SessionController worker;
    std::string dir;  // for the test's files

private:
    void ShowNotices();
    std::thread ui_;
    std::atomic<bool> uiStop_{false};
    std::mutex noticesMutex_;
    std::vector<std::string> notices_;
};
