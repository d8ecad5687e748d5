#pragma once
// What the main dialog's controls and the worker's display messages mean: which
// controls a session enables, what each parameter refresh shows, when an edit commits,
// which request a button or menu item raises. Each front end turns its widgets' events
// into these calls and implements the view. User interface thread only.
#include <cstdint>
#include <string>

#include "frontend/DialogView.h"

// The main dialog beyond its controls: its menu, status bar, title and windows.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void EnableMenuItem(int id, bool enable) = 0;
    // The status bar's text and the window title.
    virtual void ShowStatus(const char16_t* status, const char16_t* title) = 0;
    // The port and device in use, at the status bar's right; empty for none.
    virtual void ShowPortInUse(const char16_t* text) = 0;
    // A window of the View or Help menu (MenuTraffic, MenuTrend, MenuUserGuide),
    // beside the dialog where the screen has room.
    virtual void ShowWindow(int menuId) = 0;
    // The file's values beside the controller's.
    virtual void ShowComparison(const std::string& path) = 0;
    // The user said yes to the exit question: end the message loop.
    virtual void EndProgram() = 0;
};

class MainDialogLogic {
public:
    MainDialogLogic(DialogView& view, MainWindowView& window, Prompts& prompts, Memory& memory);

    // The lists' entries, from the string table. Once, when the dialog is made.
    void FillChoiceLists();

    void RefreshMainDialog(bool enable);
    void RefreshModeGroup();
    void RefreshFlashGroup(bool enable);
    void RefreshParameter(int index);
    void FocusParameter(int index);
    bool ControlsEnabled() const { return controlsEnabled; }

    // A message of the hidden main window meant for this dialog (MsgSessionOpen ...).
    void HandleMessage(unsigned message, std::uintptr_t wParam);

    // A button or a menu item (template ids).
    void Command(int id);
    // The focus left a value edit. `movedOn`: the user went elsewhere, not a menu or a
    // popup taking the keyboard for a moment. Only then it commits.
    void EditLeft(int control, bool movedOn);
    // The user chose an entry of a list.
    void ChoiceMade(int control);
    void AutoStartClicked();

    // The value edits whose focus loss commits (Current, Delay, Time on, Cycle time).
    static bool IsValueEdit(int control);
    // A control's tool tip: what its value means, its unit and the range the
    // controller takes (from the help text), or what a button does to the unit. Empty
    // for a control without one.
    static std::u16string ControlTip(int control);

private:
    void Enable(bool enable, std::initializer_list<int> ids);
    void ShowParameterText(int index, int control);
    void ShowParameterChoice(int index, int control);
    void ShowAutoStart();
    void ShowStatus();
    void ShowPortInUse(bool open);

    DialogView& view;
    MainWindowView& window;
    Prompts& prompts;
    Memory& memory;
    bool controlsEnabled = false;
    bool enabling = false;  // controls are being enabled or disabled
};
