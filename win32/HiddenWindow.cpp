#include "win32/HiddenWindow.h"

#include "win32/MainWindow.h"
#include "win32/Registry.h"
#include "win32/SmallDialogs.h"
#include "win32/Resources.h"

namespace {
constexpr UINT kCollect = WM_APP + 1;
constexpr wchar_t kClassName[] = L"ZL-Config";
HiddenWindow* theWindow = nullptr;  // user interface thread only

// Centres `window` over `over`'s rectangle.
void CentreOver(HWND window, const RECT& over) {
    RECT own;
    GetWindowRect(window, &own);
    const int x = (over.left + over.right - (own.right - own.left)) / 2;
    const int y = (over.top + over.bottom - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

HiddenWindow::HiddenWindow() { theWindow = this; }

HiddenWindow::~HiddenWindow() {
    for (auto& dialog : dialogs) dialog.reset();
    retired.clear();
    if (window) DestroyWindow(window);
    theWindow = nullptr;
}

bool HiddenWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
    if (!RegisterClassExW(&windowClass)) return false;
    window = CreateWindowExW(0, kClassName, kClassName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
    return window != nullptr;
}

void HiddenWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    PostMessageW(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

HWND HiddenWindow::Dialog(DialogSlot slot) const {
    const auto& dialog = dialogs[static_cast<int>(slot)];
    return dialog ? dialog->Handle() : nullptr;
}

LRESULT CALLBACK HiddenWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (theWindow && message >= MsgCreateAbout && message <= MsgShowStatus) {
        theWindow->Handle(message, wParam, lParam);
        return 0;
    }
    if (theWindow && message == kCollect) {
        theWindow->Collect();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void HiddenWindow::Handle(UINT message, WPARAM wParam, LPARAM) {
    const DialogRoute route = RouteMessage(message);
    if (route.create) Create(*route.create);
    if (route.destroy) Destroy(*route.destroy);
    // Without a main dialog there is nobody to show these to.
    auto& main = dialogs[static_cast<int>(DialogSlot::Main)];
    if (route.toMain && main) static_cast<MainWindow*>(main.get())->HandleMessage(message, wParam);
}

void HiddenWindow::Create(DialogSlot slot) {
    auto& dialog = dialogs[static_cast<int>(slot)];
    if (dialog) return;
    switch (slot) {
        case DialogSlot::About: dialog = std::make_unique<AboutWindow>(); break;
        case DialogSlot::Login: dialog = std::make_unique<LoginWindow>(); break;
        case DialogSlot::Main: dialog = std::make_unique<MainWindow>(); break;
        case DialogSlot::Help: dialog = std::make_unique<HelpWindow>(); break;
        case DialogSlot::Password: dialog = std::make_unique<PasswordWindow>(); break;
    }
    if (!dialog->Handle()) {
        dialog.reset();  // nothing to show; the worker's later messages find no dialog
        return;
    }
    HWND created = dialog->Handle();
    const DialogTemplate* tmpl = FindDialogTemplate(TemplateOf(slot));
    std::optional<POINT> remembered = slot == DialogSlot::Main ? Registry::MainPosition() : std::nullopt;
    HWND main = Dialog(DialogSlot::Main);
    if (remembered && MonitorFromPoint(*remembered, MONITOR_DEFAULTTONULL)) {
        // Where the user left it, while that is on a screen.
        SetWindowPos(created, nullptr, remembered->x, remembered->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if ((tmpl->style & DialogCentered) && main && main != created && IsWindowVisible(main)) {
        // Over the main window where it is shown: the user looks there.
        RECT over;
        GetWindowRect(main, &over);
        CentreOver(created, over);
    }
    ShowWindow(created, SW_SHOW);
    SetForegroundWindow(created);
}

void HiddenWindow::Destroy(DialogSlot slot) {
    auto& dialog = dialogs[static_cast<int>(slot)];
    if (!dialog) return;
    dialog->Retire();
    retired.push_back(std::move(dialog));
    // Deleted once control is back in the loop: its own handler may be on the stack.
    PostMessageW(window, kCollect, 0, 0);
}

void HiddenWindow::Collect() {
    for (auto it = retired.begin(); it != retired.end();) {
        it = (*it)->Idle() ? retired.erase(it) : it + 1;
    }
}

bool HiddenWindow::Dispatch(MSG& message) {
    // The main dialog's keys, then each dialog's keyboard (Tab, Enter, Escape, letters).
    auto& main = dialogs[static_cast<int>(DialogSlot::Main)];
    if (main && static_cast<MainWindow*>(main.get())->TranslateKeys(&message)) return true;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (auto& dialog : dialogs) {
        if (dialog && root == dialog->Handle() && IsDialogMessageW(root, &message)) return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

int HiddenWindow::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return 0;
}

HWND ProgramTopWindow(HWND fallback) {
    if (!theWindow) return fallback;
    for (DialogSlot slot : {DialogSlot::Login, DialogSlot::About}) {
        HWND dialog = theWindow->Dialog(slot);
        if (dialog && IsWindowVisible(dialog)) return dialog;
    }
    return fallback;
}

void CollectRetiredDialogs() {
    if (theWindow) PostMessageW(theWindow->window, kCollect, 0, 0);
}

void PumpMessages() {
    MSG message;
    for (int i = 0; i < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            // The loop that ends the program must still see it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (theWindow) {
            theWindow->Dispatch(message);
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
