#include "platform/LocalTime.h"

#include <atomic>

namespace {
std::atomic<ClockSource> clockSource{nullptr};

bool FormatNow(char* out, std::size_t capacity, const char* picture) {
    if (capacity == 0) return false;
    out[0] = '\0';
    ClockSource source = clockSource.load();
    std::time_t now = source ? source() : std::time(nullptr);
    std::tm local{};
    if (!ToLocalTime(now, &local)) return false;
    return std::strftime(out, capacity, picture, &local) != 0;
}
}  // namespace

bool ToLocalTime(std::time_t moment, std::tm* local) { return localtime_r(&moment, local) != nullptr; }

void SetClockSource(ClockSource source) { clockSource.store(source); }

bool FormatLocalDate(char* out, std::size_t capacity) {
    return FormatNow(out, capacity, "%d.%m.%Y");
}

bool FormatLocalTime(char* out, std::size_t capacity) {
    return FormatNow(out, capacity, "%H:%M:%S");
}
