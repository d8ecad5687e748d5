#include "platform/LocalTime.h"

#include <windows.h>

namespace {
// The system's own formatting of the moment with a fixed picture, narrowed (the
// pictures give digits and separators only).
bool FormatNow(char* out, std::size_t capacity, bool date) {
    if (capacity == 0) return false;
    out[0] = '\0';
    std::tm local{};
    if (!LocalNow(&local)) return false;
    SYSTEMTIME moment{};
    moment.wYear = static_cast<WORD>(local.tm_year + 1900);
    moment.wMonth = static_cast<WORD>(local.tm_mon + 1);
    moment.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    moment.wDay = static_cast<WORD>(local.tm_mday);
    moment.wHour = static_cast<WORD>(local.tm_hour);
    moment.wMinute = static_cast<WORD>(local.tm_min);
    moment.wSecond = static_cast<WORD>(local.tm_sec);
    wchar_t wide[64];
    int n = date ? GetDateFormatW(LOCALE_USER_DEFAULT, 0, &moment, L"dd.MM.yyyy", wide, 64)
                 : GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &moment, L"HH:mm:ss", wide, 64);
    if (n <= 0 || static_cast<std::size_t>(n) > capacity) return false;
    for (int i = 0; i < n; ++i) out[i] = static_cast<char>(wide[i] < 0x80 ? wide[i] : '?');
    return true;
}
}  // namespace

bool ToLocalTime(std::time_t moment, std::tm* local) { return localtime_s(local, &moment) == 0; }

bool FormatLocalDate(char* out, std::size_t capacity) { return FormatNow(out, capacity, true); }

bool FormatLocalTime(char* out, std::size_t capacity) { return FormatNow(out, capacity, false); }
