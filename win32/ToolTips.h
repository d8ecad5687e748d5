#pragma once
// Tool tips over a dialog's controls: one tips window per dialog, a tool per control,
// whose text may change while it shows. User interface thread only.
#include <windows.h>

HWND CreateToolTips(HWND dialog);
// Adds `control` as a tool of `tips`, or gives it a new text (the tips keep a copy).
void AddToolTip(HWND tips, HWND dialog, HWND control, const wchar_t* text);
void SetToolTip(HWND tips, HWND dialog, HWND control, const wchar_t* text);
