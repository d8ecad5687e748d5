#pragma once
// What the main dialog's status bar and title show beyond the original window: the
// outcome of the worker's last action ("Started", "Loaded set.xml: 12 values sent,
// 1 refused") and the name of the parameter file in use. The worker writes them and
// posts MsgShowStatus; the user interface reads them. One mutex.

constexpr int kStatusTextSize = 300;

// String `id` with its printf-style conversions filled in (narrow, UTF-8 arguments).
void SetStatusText(unsigned id, ...);
// The file in use, given by its path (UTF-8); an empty path for none.
void SetCurrentFile(const char* path);
// The last part of a path, after the system's separators.
const char* FileNameOf(const char* path);

void GetStatusText(char16_t* out);   // kStatusTextSize characters
void GetCurrentFile(char16_t* out);  // kStatusTextSize characters
