#pragma once
// The last line taken from the controller's console (at most 99 characters and a
// NUL). Filled by the console reader on the worker thread; read there too, by the
// notice and session-text helpers. It lives here so state/ needs no console code.
constexpr int kConsoleLineSize = 100;
extern char ConsoleLine[kConsoleLineSize];
