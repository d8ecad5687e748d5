#include "win32/SmallDialogs.h"

#include "win32/CommonControls.h"

#include "resources/StringTable.h"
#include "win32/DialogBuilder.h"
#include "win32/Resources.h"
#include "win32/ToolTips.h"

namespace {
// The open port list tells each entry's device as the mouse moves over it.
LRESULT CALLBACK PortListTips(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_MOUSEMOVE) reinterpret_cast<LoginWindow*>(data)->PortListHover(list, lParam);
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

LoginWindow::LoginWindow() { Create(DialogLogin); }

LoginWindow::~LoginWindow() {
    // The list is destroyed with the window, after this object: it must not call back.
    if (portList) RemoveWindowSubclass(portList, PortListTips, 1);
}

bool LoginWindow::OnInit() {
    controls.Attach(window);
    prompts.Attach(window);
    logic.Fill();
    // Which device the port is, for the port typed or chosen.
    HWND ports = GetDlgItem(window, IdComPort);
    tips = CreateToolTips(window);
    AddToolTip(tips, window, ports, L"");
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(ports, &parts) && parts.hwndItem) AddToolTip(tips, window, parts.hwndItem, L"");
    if (parts.hwndList) {
        listTips = CreateToolTips(window);
        AddToolTip(listTips, window, parts.hwndList, L"");
        portList = parts.hwndList;
        SetWindowSubclass(portList, PortListTips, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ShowPortTip();
    return false;  // the logic gave the user name the keyboard
}

void LoginWindow::PortListHover(HWND list, LPARAM at) {
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, at);
    const int entry = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));  // outside: none
    if (entry == hoveredEntry) return;
    hoveredEntry = entry;
    listTip = entry >= 0 ? controls.EntryTip(IdComPort, entry) : L"";
    SetToolTip(listTips, window, list, listTip.c_str());
}

void LoginWindow::ShowPortTip() {
    char16_t typed[100];
    controls.GetControlText(IdComPort, typed, 100);
    const int at = static_cast<int>(
        SendDlgItemMessageW(window, IdComPort, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed)));
    portTip = at >= 0 ? controls.EntryTip(IdComPort, at) : L"";
    HWND ports = GetDlgItem(window, IdComPort);
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    GetComboBoxInfo(ports, &parts);
    for (HWND tool : {ports, parts.hwndItem}) {
        if (tool) SetToolTip(tips, window, tool, portTip.c_str());
    }
}

void LoginWindow::OnCommand(int id, int code, HWND) {
    if (id == IdComPort) {
        if (code == CBN_SELCHANGE) {
            // The chosen entry becomes the text only after this notification.
            const LRESULT at = SendDlgItemMessageW(window, IdComPort, CB_GETCURSEL, 0, 0);
            wchar_t name[100] = {};
            if (at >= 0 && SendDlgItemMessageW(window, IdComPort, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) < 100) {
                SendDlgItemMessageW(window, IdComPort, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name));
                SetDlgItemTextW(window, IdComPort, name);
            }
            ShowPortTip();
        } else if (code == CBN_EDITCHANGE) {
            ShowPortTip();
        }
        return;
    }
    if (id == IDOK) {
        logic.Submit();
    } else if (id == IDCANCEL) {
        if (logic.Close()) PostQuitMessage(0);
    }
}

bool LoginWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_CLOSE) return false;
    if (logic.Close()) PostQuitMessage(0);
    *result = TRUE;
    return true;
}

PasswordWindow::PasswordWindow() { Create(DialogPassword); }

bool PasswordWindow::OnInit() {
    controls.Attach(window);
    prompts.Attach(window);
    logic.Fill();
    // A longer password is not typed only to be cut without a word.
    for (int id : {IdCurrentPassword, IdNewPassword, IdNewPasswordAgain}) {
        SendDlgItemMessageW(window, id, EM_LIMITTEXT, kPasswordLength, 0);
    }
    return true;
}

void PasswordWindow::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return;
    if (id == IDOK) logic.Submit();
    if (id == IDCANCEL) logic.Close();
}

bool PasswordWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_CLOSE) return false;
    logic.Close();
    *result = TRUE;
    return true;
}

AboutWindow::AboutWindow() { Create(DialogAbout); }

AboutWindow::~AboutWindow() {
    if (logo) DeleteObject(logo);
}

bool AboutWindow::OnInit() {
    ControlView view(window);
    FillAboutBox(view);
    // The logo, fitted into the picture's rectangle with its proportions kept.
    HWND picture = GetDlgItem(window, -1);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongPtrW(child, GWL_STYLE) & SS_BITMAP) picture = child;
    }
    HBITMAP original = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kLogoResource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (picture && original) {
        BITMAP size{};
        GetObjectW(original, sizeof size, &size);
        RECT room;
        GetClientRect(picture, &room);
        const double scale = std::min(static_cast<double>(room.right) / size.bmWidth,
                                      static_cast<double>(room.bottom) / size.bmHeight);
        logo = static_cast<HBITMAP>(CopyImage(original, IMAGE_BITMAP, static_cast<int>(size.bmWidth * scale),
                                              static_cast<int>(size.bmHeight * scale), LR_CREATEDIBSECTION));
        SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
    }
    if (original) DeleteObject(original);
    return true;
}

void AboutWindow::OnCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) CloseAboutBox();
}

bool AboutWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_CLOSE) return false;
    CloseAboutBox();
    *result = TRUE;
    return true;
}

// The text is long: the window may be made larger (or smaller), the text follows.
HelpWindow::HelpWindow() { Create(DialogHelp, WS_THICKFRAME | WS_MAXIMIZEBOX); }

bool HelpWindow::OnInit() {
    HWND text = GetDlgItem(window, IdHelpText);
    SetWindowTextW(text, Wide(StringText(116)));  // the edit control wants its CR LF
    RECT place;
    GetWindowRect(text, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    margin = place.left;
    RECT whole;
    GetWindowRect(window, &whole);
    smallest = {(whole.right - whole.left) / 2, (whole.bottom - whole.top) / 2};
    // The reader starts at the top, nothing selected.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(text), TRUE);
    SendMessageW(text, EM_SETSEL, 0, 0);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    return false;
}

void HelpWindow::OnCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) CloseHelp();
}

bool HelpWindow::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_CLOSE:
            CloseHelp();
            *result = TRUE;
            return true;
        case WM_SIZE:
            MoveWindow(GetDlgItem(window, IdHelpText), margin, margin, LOWORD(lParam) - 2 * margin,
                       HIWORD(lParam) - 2 * margin, TRUE);
            return true;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = smallest;
            return true;
        default: return false;
    }
}
