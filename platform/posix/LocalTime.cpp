#include "platform/LocalTime.h"

namespace {
bool FormatNow(char* out, std::size_t capacity, const char* picture) {
    if (capacity == 0) return false;
    out[0] = '\0';
    std::tm local{};
    return LocalNow(&local) && std::strftime(out, capacity, picture, &local) != 0;
}
}  // namespace

bool ToLocalTime(std::time_t moment, std::tm* local) { return localtime_r(&moment, local) != nullptr; }

bool FormatLocalDate(char* out, std::size_t capacity) { return FormatNow(out, capacity, "%d.%m.%Y"); }

bool FormatLocalTime(char* out, std::size_t capacity) { return FormatNow(out, capacity, "%H:%M:%S"); }
