#include "platform/Event.h"

#include <chrono>

void ManualResetEvent::Set() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = true;
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::Wait(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (timeoutMs == kInfinite) {
        changed_.wait(lock, [this] { return signalled_; });
        return true;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return signalled_; });
}
