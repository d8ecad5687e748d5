#pragma once
// Turns a dialog template of resources/ into a Windows dialog: an extended dialog
// template made in memory (controls at their rectangles in dialog units, the
// template's font), created modeless. User interface thread only.
#include <windows.h>

#include "resources/DialogTemplates.h"

// Creates the dialog, hidden; `param` reaches the procedure with WM_INITDIALOG.
// `extraStyle` adds window styles beyond the template's (a resizable frame).
HWND CreateTemplateDialog(const DialogTemplate& tmpl, DLGPROC procedure, LPARAM param, DWORD extraStyle = 0);

// The same as a modal dialog over `owner`, resizable; returns once it ends.
INT_PTR RunTemplateDialog(const DialogTemplate& tmpl, HWND owner, DLGPROC procedure, LPARAM param);

// Menu IDR_MENU, each item with its letter marked and its usual keys shown; `keys`
// receives their accelerator table, destroyed by the caller.
HMENU BuildMainMenu(HACCEL* keys);

// A template text as a Windows wide text (both are UTF-16).
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
