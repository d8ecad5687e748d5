#pragma once
// The readings of the status store as text: CSV (one reading a line, under a header),
// JSON lines and plain lines for zl-cli monitor, and the words of an event. Times in
// files are ISO 8601 UTC; the plain line speaks the window's words in local time.
#include <cstdint>
#include <string>

#include "state/Readings.h"

extern const char kReadingsCsvHeader[];

// "2026-12-11T01:40:02Z"
std::string IsoTimeUtc(std::int64_t timeMs);
// The value as the window shows it: temperature and error as read, volts with one decimal.
std::string ReadingValueText(const Reading& reading);
// An event in the status bar's words ("Current [mA] set to 2500", "Started"); empty
// for a poll.
std::string EventText(const Reading& reading);
// The window's name of what a poll read ("Temperature [°C]"); empty for an event.
std::string ReadingCaption(ReadingKind kind);

std::string CsvLine(const Reading& reading);   // no line end
std::string JsonLine(const Reading& reading);  // one object, no line end
std::string TextLine(const Reading& reading);  // "2026-12-11 02:40:02  Temperature [°C]: 35"
