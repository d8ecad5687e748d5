#pragma once
// One modeless dialog made from a template, and the C++ object behind it. The hidden
// main window creates it on the worker's request and retires it on the worker's
// request; it is deleted once none of its own handlers is running any more (a
// hand-over that waits for busy keeps messages flowing, so the request to destroy a
// dialog can arrive while its own OK handler waits). User interface thread only.
#include <windows.h>

#include "resources/DialogTemplates.h"

class DialogWindow {
public:
    virtual ~DialogWindow();
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the window from template `id`, hidden.
    bool Create(int templateId, DWORD extraStyle = 0);
    HWND Handle() const { return window; }
    // None of its handlers is on the stack: it may be deleted.
    bool Idle() const { return depth == 0; }
    // Hidden and waiting to be deleted.
    void Retire();
    bool Retired() const { return retired; }

protected:
    // WM_INITDIALOG; true lets the dialog manager give the first control the focus.
    virtual bool OnInit() { return true; }
    // A command: a button, a menu item, an accelerator, a control's notification.
    virtual void OnCommand(int id, int code, HWND control) = 0;
    // Any other message; true when handled, with the procedure's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    HWND window = nullptr;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int depth = 0;
    bool retired = false;
};
