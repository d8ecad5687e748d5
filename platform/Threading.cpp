#include "platform/Threading.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<EventPump> installedPump{nullptr};
}

void SleepMs(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetEventPump(EventPump pump) { installedPump.store(pump); }

void PumpEvents() {
    EventPump pump = installedPump.load();
    if (pump) pump();
}
