#pragma once
// The global stores for tests: a reset to the program's start-up state, and readable
// copies of the notice, a session slot and a parameter value.
#include <string>

void ResetSharedState();

// The pending notice as UTF-8 (lines joined by '\n').
std::string PendingNoticeText();
std::string SessionTextUtf8(int slot);
std::string ParameterValue(int index);
std::string StatusText();   // the status bar's text
std::string CurrentFile();  // the file the title names
