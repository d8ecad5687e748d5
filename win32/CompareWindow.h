#pragma once
// File > Compare with file... on Windows: the file's values beside the controller's,
// differences marked, nothing sent (modal over the main dialog). User interface thread
// only.
#include <windows.h>

#include <string>

// `path` in the core's file name encoding.
void ShowComparisonWindow(HWND owner, const std::string& path);
