#pragma once
// A manual-reset event: Set wakes every waiter and stays set until Reset. It stands
// in for the Windows event objects of completion records and the listener.
#include <condition_variable>
#include <cstdint>
#include <mutex>

constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

class ManualResetEvent {
public:
    void Set();
    void Reset();
    // True when set, false when timeoutMs ran out (kInfinite waits without limit).
    bool Wait(std::uint32_t timeoutMs);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};
