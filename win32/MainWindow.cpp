#include "win32/MainWindow.h"

#include "win32/CommonControls.h"
#include <shellapi.h>

#include <string>

#include "frontend/UserRequests.h"
#include "resources/ParameterDisplay.h"
#include "win32/CompareWindow.h"
#include "win32/DialogBuilder.h"
#include "win32/ToolTips.h"
#include "win32/TrafficWindow.h"
#include "win32/UserGuide.h"

namespace {
// A list reacts to the wheel only while it has the focus: scrolling over the window
// must never change a value (and so send it to the controller).
LRESULT CALLBACK WheelOnlyWhenFocused(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_MOUSEWHEEL && GetFocus() != window) return 0;
    return DefSubclassProc(window, message, wParam, lParam);
}

bool IsList(int id) {
    for (const ParameterList& list : kParameterLists) {
        if (list.control == id) return true;
    }
    return false;
}
}  // namespace

void MainWindow::ListView::SetChoice(int id, int index) {
    ControlView::SetChoice(id, index);
    shown[id] = GetChoice(id);
}

MainWindow::MainWindow() { Create(DialogMain); }

MainWindow::~MainWindow() {
    if (window) {
        RECT place;
        if (GetWindowRect(window, &place)) Registry::SetMainPosition({place.left, place.top});
    }
    traffic.reset();
    if (keys) DestroyAcceleratorTable(keys);
}

bool MainWindow::OnInit() {
    controls.Attach(window);
    prompts.Attach(window);
    menu = BuildMainMenu(&keys);
    SetMenu(window, menu);
    statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    LayOut();
    logic.FillChoiceLists();
    tips = CreateToolTips(window);
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(control);
        if (IsList(id)) SetWindowSubclass(control, WheelOnlyWhenFocused, 1, 0);
        const std::u16string tip = MainDialogLogic::ControlTip(id);
        if (tip.empty()) continue;
        AddToolTip(tips, window, control, reinterpret_cast<const wchar_t*>(tip.c_str()));
    }
    traffic = std::make_unique<TrafficWindow>(window);
    logic.RefreshMainDialog(false);
    return true;
}

void MainWindow::LayOut() {
    // The window grows by the status bar below the template's controls, which keep
    // their places.
    const DialogTemplate* tmpl = FindDialogTemplate(DialogMain);
    RECT client{0, 0, tmpl->cx, tmpl->cy};
    MapDialogRect(window, &client);
    RECT bar;
    GetWindowRect(statusBar, &bar);
    const int barHeight = bar.bottom - bar.top;
    RECT wanted{0, 0, client.right, client.bottom + barHeight};
    AdjustWindowRectEx(&wanted, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(statusBar, WM_SIZE, 0, 0);
}

bool MainWindow::TranslateKeys(MSG* message) {
    if (!window || !keys || !IsWindowVisible(window)) return false;
    // Only while the main dialog, or one of its controls, has the keyboard.
    if (GetAncestor(message->hwnd, GA_ROOT) != window) return false;
    return TranslateAcceleratorW(window, keys, message) != 0;
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (id == IDOK && code == BN_CLICKED) {
        // Enter away from a button moves on, so the edit being typed in commits.
        SendMessageW(window, WM_NEXTDLGCTL, 0, FALSE);
        return;
    }
    if (!control && id != IDCANCEL) {
        // A menu item (code 0) or its key (code 1); a key of a greyed item does nothing.
        const UINT state = GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED))) logic.Command(id);
        return;
    }
    switch (code) {
        case BN_CLICKED:
            if (id == IdAutoStart) {
                logic.AutoStartClicked();
            } else {
                logic.Command(id);
            }
            break;
        case EN_KILLFOCUS:
            // Menus never take the focus on Windows: a focus loss is a move elsewhere.
            logic.EditLeft(id, true);
            break;
        case CBN_SELCHANGE:
        case CBN_SELENDOK:
        case CBN_CLOSEUP: ChoiceMaybeMade(id); break;
        case CBN_SELENDCANCEL: controls.SetChoice(id, controls.shown[id]); break;
        default: break;
    }
}

void MainWindow::ChoiceMaybeMade(int id) {
    // Moving through the open list is browsing; the choice is what stays when it closes.
    if (!IsList(id) || SendDlgItemMessageW(window, id, CB_GETDROPPEDSTATE, 0, 0)) return;
    const int chosen = controls.GetChoice(id);
    if (chosen < 0 || chosen == controls.shown[id]) return;
    controls.shown[id] = chosen;
    logic.ChoiceMade(id);
}

bool MainWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message == WM_CLOSE) {
        logic.Command(IDCANCEL);  // only the exit question ends the program
        *result = TRUE;
        return true;
    }
    return false;
}

void MainWindow::EnableMenuItem(int id, bool enable) {
    ::EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ShowStatus(const char16_t* status, const char16_t* title) {
    SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(status)));
    SetWindowTextW(window, Wide(title));
}

void MainWindow::ShowPortInUse(const char16_t* text) {
    // Two parts: the outcome, and the port at the right as wide as its text.
    RECT client;
    GetClientRect(statusBar, &client);
    HDC dc = GetDC(statusBar);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(statusBar, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), lstrlenW(Wide(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(statusBar, dc);
    int parts[2] = {text[0] ? client.right - size.cx - 24 : client.right, -1};
    SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(Wide(text)));
}

void MainWindow::ShowWindow(int menuId) {
    if (menuId == MenuTraffic) traffic->Show();
    if (menuId == MenuUserGuide) ShowUserGuide(window, prompts);
}

void MainWindow::ShowComparison(const std::string& path) { ShowComparisonWindow(window, path); }

void MainWindow::EndProgram() { PostQuitMessage(0); }
