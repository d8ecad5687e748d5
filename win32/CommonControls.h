#pragma once
// The common controls' header, with its MenuHelp function renamed: the menu template's
// command of that name would clash with it.
#include <windows.h>
#define MenuHelp CommonControlsMenuHelp
#include <commctrl.h>
#undef MenuHelp
