#pragma once
// The shared logic's questions and notices as Windows message boxes and the common
// file dialogs. User interface thread only.
#include <windows.h>

#include "frontend/DialogView.h"

class WindowPrompts : public Prompts {
public:
    explicit WindowPrompts(HWND owner = nullptr) : owner(owner) {}
    void Attach(HWND window) { owner = window; }
    void ShowWarning(const char16_t* text) override;
    bool AskYesNo(unsigned textId, bool yesByDefault) override;
    bool ChooseFile(bool save, const char16_t* title, std::string* path) override;

private:
    HWND owner;
};

// The program's own caption, string 135.
const wchar_t* Caption();
