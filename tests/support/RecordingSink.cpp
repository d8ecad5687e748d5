#include "support/RecordingSink.h"

#include <chrono>


void RecordingSink::Post(unsigned message, std::uintptr_t wParam, std::intptr_t) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({message, wParam});
    changed_.notify_all();
}

std::vector<PostedMessage> RecordingSink::Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<unsigned> RecordingSink::Codes() const {
    std::vector<unsigned> codes;
    for (const PostedMessage& m : Messages()) codes.push_back(m.message);
    return codes;
}

void RecordingSink::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

int RecordingSink::Count(unsigned message) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const PostedMessage& m : messages_) n += m.message == message;
    return n;
}

bool RecordingSink::WaitFor(unsigned message, int count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        int n = 0;
        for (const PostedMessage& m : messages_) n += m.message == message;
        return n >= count;
    });
}
