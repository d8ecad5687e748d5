#include "platform/LocalTime.h"

#include <atomic>

namespace {
std::atomic<ClockSource> clockSource{nullptr};
}  // namespace

void SetClockSource(ClockSource source) { clockSource.store(source); }

bool LocalNow(std::tm* local) {
    ClockSource source = clockSource.load();
    return ToLocalTime(source ? source() : std::time(nullptr), local);
}
