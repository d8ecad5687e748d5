#include "win32/DialogWindow.h"

#include "win32/DialogBuilder.h"
#include "win32/HiddenWindow.h"
#include "win32/Resources.h"

DialogWindow::~DialogWindow() {
    if (window) DestroyWindow(window);
}

bool DialogWindow::Create(int templateId, DWORD extraStyle) {
    const DialogTemplate* tmpl = FindDialogTemplate(templateId);
    return tmpl && CreateTemplateDialog(*tmpl, Procedure, reinterpret_cast<LPARAM>(this), extraStyle) != nullptr;
}

void DialogWindow::Retire() {
    retired = true;
    ShowWindow(window, SW_HIDE);
}

bool DialogWindow::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogWindow*>(lParam);
        self->window = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        // The program's icon on every dialog's caption and task bar button.
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    } else {
        self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window = nullptr;
        return FALSE;
    }
    ++self->depth;
    INT_PTR result = FALSE;
    switch (message) {
        case WM_INITDIALOG:
            result = self->OnInit() ? TRUE : FALSE;
            break;
        case WM_COMMAND:
            self->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            result = TRUE;
            break;
        default:
            if (!self->OnMessage(message, wParam, lParam, &result)) result = FALSE;
            break;
    }
    if (--self->depth == 0 && self->retired) CollectRetiredDialogs();
    return result;
}
