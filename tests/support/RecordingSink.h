#pragma once
// A MessageSink that records every post (thread-safe). The shared-state helpers come
// along, since every test that records posts also resets the stores.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MessageSink.h"
#include "support/SharedState.h"

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
