#pragma once
// The login, change-password, About and Help dialogs on Windows: their templates'
// controls; what they show and what OK and closing mean is the shared logic's. User
// interface thread only.
#include <windows.h>

#include "frontend/SmallDialogsLogic.h"
#include "win32/ControlView.h"
#include "win32/DialogWindow.h"
#include "win32/Prompts.h"
#include "win32/Registry.h"

class LoginWindow : public DialogWindow {
public:
    LoginWindow();
    ~LoginWindow() override;
    // The mouse at `at` over the open port list.
    void PortListHover(HWND list, LPARAM at);

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void ShowPortTip();

    ControlView controls;
    WindowPrompts prompts;
    RegistryMemory memory;
    LoginLogic logic{controls, prompts, memory};
    HWND tips = nullptr;
    std::wstring portTip;
    HWND listTips = nullptr;
    HWND portList = nullptr;
    int hoveredEntry = -1;
    std::wstring listTip;
};

class PasswordWindow : public DialogWindow {
public:
    PasswordWindow();

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    ControlView controls;
    WindowPrompts prompts;
    PasswordLogic logic{controls, prompts};
};

class AboutWindow : public DialogWindow {
public:
    AboutWindow();
    ~AboutWindow() override;

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    HBITMAP logo = nullptr;
};

class HelpWindow : public DialogWindow {
public:
    HelpWindow();

private:
    bool OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    int margin = 0;  // around the text, as the template places it
    POINT smallest{};
};
