#include "win32/ControlView.h"

#include <string>

#include "state/TextOps.h"
#include "win32/DialogBuilder.h"

namespace {
bool IsComboBox(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0;
}
}  // namespace

void ControlView::EnableControl(int id, bool enable) {
    if (HWND control = GetDlgItem(dialog, id)) EnableWindow(control, enable);
}

void ControlView::SetControlText(int id, const char16_t* text) { SetDlgItemTextW(dialog, id, Wide(text)); }

void ControlView::GetControlText(int id, char16_t* text, std::size_t capacity) {
    if (capacity == 0) return;
    text[0] = 0;
    HWND control = GetDlgItem(dialog, id);
    if (!control) return;
    std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, &value[0], static_cast<int>(value.size()));
    CopyText(text, capacity, reinterpret_cast<const char16_t*>(value.c_str()), value.size());
}

void ControlView::SetChoice(int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ControlView::GetChoice(int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

void ControlView::SetChecked(int id, bool checked) { CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED); }

bool ControlView::GetChecked(int id) { return IsDlgButtonChecked(dialog, id) != BST_UNCHECKED; }

void ControlView::FocusControl(int id) {
    // WM_NEXTDLGCTL moves the default button along, as a user's Tab would.
    if (HWND control = GetDlgItem(dialog, id)) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void ControlView::AddListEntry(int id, const char16_t* text, const char16_t* tip) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !IsComboBox(control)) return;
    // The lists are not sorted: entries keep their order, and so do their tips.
    if (SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text))) >= 0) tips[id].push_back(Wide(tip));
}

const wchar_t* ControlView::EntryTip(int id, int index) const {
    auto list = tips.find(id);
    if (list == tips.end() || index < 0 || index >= static_cast<int>(list->second.size())) return L"";
    return list->second[static_cast<std::size_t>(index)].c_str();
}
