#pragma once
// A MessageSink that records every post (thread-safe), and a reset of the global
// stores so each test starts from the program's start-up state.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MessageSink.h"

struct PostedMessage {
    unsigned message;
    std::uintptr_t wParam;
};

class RecordingSink : public MessageSink {
public:
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<PostedMessage> Messages() const;
    std::vector<unsigned> Codes() const;  // message numbers only
    void Clear();
    // Waits until `message` has been posted `count` times; false after timeoutMs.
    bool WaitFor(unsigned message, int count = 1, int timeoutMs = 10000) const;
    int Count(unsigned message) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<PostedMessage> messages_;
};

void ResetSharedState();

// The pending notice as UTF-8 (lines joined by '\n'), for assertions.
std::string PendingNoticeText();
std::string SessionTextUtf8(int slot);
std::string ParameterValue(int index);
