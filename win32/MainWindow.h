#pragma once
// The main dialog on Windows: the main template's controls, the menu and its keys, a
// status bar; what they show and what the user's doing means is MainDialogLogic's.
// User interface thread only.
#include <windows.h>

#include <map>
#include <memory>

#include "frontend/MainDialogLogic.h"
#include "win32/ControlView.h"
#include "win32/DialogWindow.h"
#include "win32/Prompts.h"
#include "win32/Registry.h"

class TrafficWindow;

class MainWindow : public DialogWindow, private MainWindowView {
public:
    MainWindow();
    ~MainWindow() override;
    // A display message of the hidden main window.
    void HandleMessage(unsigned message, std::uintptr_t wParam) { logic.HandleMessage(message, wParam); }
    // The menu's keys; true when the message was one.
    bool TranslateKeys(MSG* message);

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void ChoiceMaybeMade(int id);
    void LayOut();

    // MainWindowView
    void EnableMenuItem(int id, bool enable) override;
    void ShowStatus(const char16_t* status, const char16_t* title) override;
    void ShowPortInUse(const char16_t* text) override;
    void ShowWindow(int menuId) override;
    void ShowComparison(const std::string& path) override;
    void EndProgram() override;

    // The lists remember what they show, so that a user's choice is told from a refresh.
    class ListView : public ControlView {
    public:
        void SetChoice(int id, int index) override;
        std::map<int, int> shown;
    };

    ListView controls;
    WindowPrompts prompts;
    RegistryMemory memory;
    MainDialogLogic logic{controls, *this, prompts, memory};
    HMENU menu = nullptr;
    HACCEL keys = nullptr;
    HWND statusBar = nullptr;
    HWND tips = nullptr;
    std::unique_ptr<TrafficWindow> traffic;  // collecting from the start
};
