#include "win32/TrafficWindow.h"

#include <commdlg.h>

#include <string>

#include "console/TrafficLog.h"
#include "resources/StringTable.h"
#include "win32/Prompts.h"
#include "win32/Resources.h"

namespace {
constexpr wchar_t kClassName[] = L"ZL-Config traffic";
constexpr int kClear = 101, kSave = 102;
// The worker logs at most a line per 10 ms look: 2 s bring 200 lines, the log holds 2048.
constexpr UINT kShownIntervalMs = 100, kHiddenIntervalMs = 2000;
constexpr int kKeptCharacters = 1 << 20;  // older lines make way
constexpr UINT_PTR kTimer = 1;

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return child;
}
}  // namespace

TrafficWindow::TrafficWindow(HWND owner) : owner(owner) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
    RegisterClassExW(&windowClass);  // the second main dialog finds it registered
    const std::wstring title = std::wstring(L"Console traffic - ") + Caption();
    window = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 420,
                             owner, nullptr, windowClass.hInstance, this);
    if (!window) return;
    lines = Child(window, L"EDIT", L"",
                  WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0);
    SendMessageW(lines, EM_SETLIMITTEXT, kKeptCharacters * 2, 0);
    fixed = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(lines, WM_SETFONT, reinterpret_cast<WPARAM>(fixed), TRUE);
    Child(window, L"STATIC", L"> sent    < received", SS_LEFT, 0);
    dropped = Child(window, L"STATIC", L"", SS_LEFT, 0);
    Child(window, L"BUTTON", L"Clear", BS_PUSHBUTTON | WS_TABSTOP, kClear);
    Child(window, L"BUTTON", L"Save...", BS_PUSHBUTTON | WS_TABSTOP, kSave);
    RECT client;
    GetClientRect(window, &client);
    LayOut(client.right, client.bottom);
    SetTimer(window, kTimer, kHiddenIntervalMs, nullptr);
}

TrafficWindow::~TrafficWindow() {
    if (window) DestroyWindow(window);
    if (fixed) DeleteObject(fixed);
}

void TrafficWindow::Show() {
    if (!IsWindowVisible(window)) {
        // Beside the main dialog where the screen has room, else where the system puts it.
        RECT main, self;
        GetWindowRect(owner, &main);
        GetWindowRect(window, &self);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
        if (monitor.rcWork.right - main.right - 8 >= self.right - self.left) {
            SetWindowPos(window, nullptr, main.right + 8, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
    }
    TakeLines();
    SetTimer(window, kTimer, kShownIntervalMs, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

void TrafficWindow::LayOut(int width, int height) {
    const int line = 24, margin = 8, button = 80;
    MoveWindow(lines, margin, margin, width - 2 * margin, height - 3 * margin - line, TRUE);
    HWND child = GetWindow(lines, GW_HWNDNEXT);  // the legend, the lost lines, Clear, Save
    const int y = height - margin - line;
    MoveWindow(child, margin, y + 4, 140, line - 4, TRUE);
    MoveWindow(dropped, margin + 150, y + 4, width - 2 * margin - 150 - 2 * (button + margin), line - 4, TRUE);
    MoveWindow(GetDlgItem(window, kClear), width - 2 * (button + margin), y, button, line, TRUE);
    MoveWindow(GetDlgItem(window, kSave), width - button - margin, y, button, line, TRUE);
}

void TrafficWindow::TakeLines() {
    TrafficLine taken[256];
    std::wstring text;
    for (int n; (n = TakeTraffic(taken, 256)) > 0;) {
        for (int i = 0; i < n; ++i) {
            char line[kTrafficTextSize];
            FormatTrafficLine(taken[i], line);
            for (const char* c = line; *c; ++c) text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
            text += L"\r\n";
        }
    }
    if (!text.empty()) {
        const int length = GetWindowTextLengthW(lines);
        if (length + static_cast<int>(text.size()) > kKeptCharacters) {
            // The oldest half goes, cut at a line end.
            const LRESULT line = SendMessageW(lines, EM_LINEFROMCHAR, static_cast<WPARAM>(length / 2), 0);
            const LRESULT start = SendMessageW(lines, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
            SendMessageW(lines, EM_SETSEL, 0, start);
            SendMessageW(lines, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
        const int end = GetWindowTextLengthW(lines);
        SendMessageW(lines, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageW(lines, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // The worker never waits for this view: what it could not keep is counted.
    if (std::uint64_t lost = TrafficDropped()) {
        const std::wstring note = std::to_wstring(lost) + L" lines lost while the view was behind";
        SetWindowTextW(dropped, note.c_str());
    }
}

void TrafficWindow::AskAndSave() {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = window;
    chooser.lpstrFilter = L"Text (*.txt)\0*.txt\0All\0*.*\0";
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrDefExt = L"txt";
    chooser.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&chooser)) return;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(lines)) + 1, L'\0');
    GetWindowTextW(lines, &text[0], static_cast<int>(text.size()));
    text.resize(text.size() - 1);
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool saved = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
                       written == utf8.size() && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!saved) {
        WindowPrompts prompts(window);
        char16_t notice[200];
        LoadString(143, notice, 200);
        prompts.ShowWarning(notice);
    }
}

LRESULT CALLBACK TrafficWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrafficWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->lines) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_TIMER: self->TakeLines(); return 0;
        case WM_SIZE: self->LayOut(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_CLOSE:
            // It keeps collecting; the menu shows it again.
            ShowWindow(window, SW_HIDE);
            SetTimer(window, kTimer, kHiddenIntervalMs, nullptr);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kClear) SetWindowTextW(self->lines, L"");
            if (LOWORD(wParam) == kSave) self->AskAndSave();
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
