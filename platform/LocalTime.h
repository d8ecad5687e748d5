#pragma once
// Date and time pictures for saved files: "dd.MM.yyyy" and "HH:mm:ss" on local time.
// The clock can be replaced so that a saved document can be compared byte for byte.
#include <cstddef>
#include <ctime>

using ClockSource = std::time_t (*)();
void SetClockSource(ClockSource source);  // nullptr restores the system clock

bool FormatLocalDate(char* out, std::size_t capacity);
// A moment as local time, thread-safe; false when the system cannot tell.
bool ToLocalTime(std::time_t moment, std::tm* local);
bool FormatLocalTime(char* out, std::size_t capacity);
