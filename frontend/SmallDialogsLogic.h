#pragma once
// What the login, change-password, About and Help dialogs show and what their OK and
// close mean. None closes itself: closing raises a ControlBlock flag (or asks "Close
// ZL-Config?") and the worker has the hidden main window destroy it. User interface
// thread only.
#include "frontend/DialogView.h"

class LoginLogic {
public:
    LoginLogic(DialogView& view, Prompts& prompts, Memory& memory);
    // The session's texts, the ports the scan found (each with its device as a tip),
    // the baud rates; where this run has nothing of its own yet, what the last run used.
    void Fill();
    // OK: hands the login over, or shows why it is refused and gives the user name the
    // keyboard. One submission per dialog.
    void Submit();
    // Closing the login dialog asks whether to end the program: true when it ends.
    bool Close();

private:
    DialogView& view;
    Prompts& prompts;
    Memory& memory;
    bool submitted = false;
};

class PasswordLogic {
public:
    PasswordLogic(DialogView& view, Prompts& prompts);
    void Fill();
    void Submit();
    void Close();

private:
    DialogView& view;
    Prompts& prompts;
    bool submitting = false;  // events flow while the hand-over waits for busy
};

// The controller's passwords have at most 8 characters: the password edits take no more.
constexpr int kPasswordLength = 8;

// The About box's lines (strings 110 to 115 on its four labels).
void FillAboutBox(DialogView& view);
void CloseAboutBox();
void CloseHelp();
