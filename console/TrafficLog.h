#pragma once
// What went over the console, line by line, for the traffic view and zl-cli --log.
// The worker fills it without ever waiting: it is a bounded channel to one reader at a
// time, and a line that finds it full is dropped and counted. Passwords never get in:
// a password line sent is kept as stars, and so is what follows a password prompt in
// a line received (the controller echoes what it is given), and so is a secret sent
// earlier wherever it shows in a received line.
#include <cstdint>

enum class TrafficDirection : char { Sent = '>', Received = '<' };

struct TrafficLine {
    std::int64_t timeMs;  // wall clock, milliseconds since 1970
    TrafficDirection direction;
    char text[100];  // without its line end
};

constexpr int kTrafficCapacity = 2048;

// Worker side. `text` as written (a trailing line end is not kept); a secret one is
// kept masked.
void LogSent(const char* text, bool secret);
void LogReceived(const char* line);

// Reader side: takes up to `max` lines, oldest first; how many it took.
int TakeTraffic(TrafficLine* out, int max);
// Lines dropped because the reader fell behind, since the start.
std::uint64_t TrafficDropped();

// "14:05:31.123 > /Config/Current 5000" (local time); a byte below 0x20 (noise) shows
// as a dot. `out` has room for kTrafficTextSize characters.
constexpr int kTrafficTextSize = 128;
void FormatTrafficLine(const TrafficLine& line, char* out);

// The masking of a received line, for tests and the fuzzer: a copy with every secret
// sent so far, and what follows a password prompt, replaced by stars.
void MaskReceivedLine(const char* line, char* masked);
