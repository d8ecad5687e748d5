#pragma once
// Date and time pictures for saved files: "dd.MM.yyyy" and "HH:mm:ss" on local time,
// formatted by the system (platform/posix, platform/win32). The clock can be replaced
// so that a saved document can be compared byte for byte.
#include <cstddef>
#include <ctime>

using ClockSource = std::time_t (*)();
void SetClockSource(ClockSource source);  // nullptr restores the system clock

// The clock's present moment as local time; false when the system cannot tell.
bool LocalNow(std::tm* local);
// A moment as local time, thread-safe; false when the system cannot tell.
bool ToLocalTime(std::time_t moment, std::tm* local);

// The present moment in the file's pictures; false (and an empty text where there is
// room for one) when it does not fit.
bool FormatLocalDate(char* out, std::size_t capacity);
bool FormatLocalTime(char* out, std::size_t capacity);
