#pragma once
// A dialog's controls as the shared logic sees them: found by their template ids with
// GetDlgItem. User interface thread only.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "frontend/DialogView.h"

class ControlView : public DialogView {
public:
    explicit ControlView(HWND dialog = nullptr) : dialog(dialog) {}
    void Attach(HWND window) { dialog = window; }
    HWND Dialog() const { return dialog; }

    void EnableControl(int id, bool enable) override;
    void SetControlText(int id, const char16_t* text) override;
    void GetControlText(int id, char16_t* text, std::size_t capacity) override;
    void SetChoice(int id, int index) override;
    int GetChoice(int id) override;
    void SetChecked(int id, bool checked) override;
    bool GetChecked(int id) override;
    void FocusControl(int id) override;
    void AddListEntry(int id, const char16_t* text, const char16_t* tip) override;

    // A list entry's tip, as AddListEntry gave it (empty for none).
    const wchar_t* EntryTip(int id, int index) const;

private:
    HWND dialog;
    std::map<int, std::vector<std::wstring>> tips;  // per list, in entry order
};
