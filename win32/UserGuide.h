#pragma once
// Help > User guide on Windows: the guide the program carries, opened in the user's
// browser. User interface thread only.
#include <windows.h>

class Prompts;

void ShowUserGuide(HWND owner, Prompts& prompts);
