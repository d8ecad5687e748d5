#include "win32/Prompts.h"

#include <commdlg.h>

#include <string>

#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "win32/DialogBuilder.h"
#include "win32/HiddenWindow.h"
#include "win32/Registry.h"

const wchar_t* Caption() {
    static char16_t caption[64];  // user interface thread only
    if (!caption[0]) LoadString(135, caption, 64);
    return Wide(caption);
}

void WindowPrompts::ShowWarning(const char16_t* text) {
    // Owned by the top-most dialog (the login dialog, the About box) while one shows:
    // owned by a window below it, the box would open behind it and the program would
    // look frozen. Closing it gives the owner its keyboard back.
    MessageBoxW(ProgramTopWindow(owner), Wide(text), Caption(), MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
}

bool WindowPrompts::AskYesNo(unsigned textId, bool yesByDefault) {
    char16_t text[1000];
    LoadString(textId, text, 1000);
    const UINT type = MB_YESNO | MB_ICONQUESTION | (yesByDefault ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return MessageBoxW(ProgramTopWindow(owner), Wide(text), Caption(), type) == IDYES;
}

namespace {
std::wstring WideOfCodePage(const char* text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

// "ZL-Config XML\0*.xml\0All\0*.*\0\0" from the shared chooser record.
std::wstring FilterOf(const FileChooserRecord& record) {
    std::wstring filter;
    for (int i = 0; i < 2; ++i) {
        filter += WideOfCodePage(record.filterNames[i]) + L'\0';
        filter += WideOfCodePage(record.filterPatterns[i]) + L'\0';
    }
    return filter + L'\0';
}
}  // namespace

bool WindowPrompts::ChooseFile(bool save, const char16_t* title, std::string* path) {
    std::wstring file(32768, L'\0');  // the longest path Windows has
    std::wstring folder;
    if (fileChooser.path[0] != 0) {
        const std::wstring current = WideOfCodePage(fileChooser.path);
        file.replace(0, current.size(), current);
    } else {
        folder = Registry::Recall(RememberedItem::Folder);
    }
    const std::wstring filter = FilterOf(fileChooser);
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = ProgramTopWindow(owner);
    chooser.lpstrFilter = filter.c_str();
    chooser.nFilterIndex = static_cast<DWORD>(fileChooser.filterIndex);
    chooser.lpstrFile = &file[0];
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    chooser.lpstrTitle = title ? Wide(title) : nullptr;
    chooser.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (save) {
        chooser.Flags |= OFN_OVERWRITEPROMPT;
        chooser.lpstrDefExt = L"xml";
    } else {
        chooser.Flags |= OFN_FILEMUSTEXIST;
    }
    if (!(save ? GetSaveFileNameW(&chooser) : GetOpenFileNameW(&chooser))) return false;
    const std::wstring chosen = chooser.lpstrFile;
    // The core names files in the system's code page: a name it cannot spell would be
    // another file's. Refused, and said so.
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, chosen.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) {
        char16_t text[1000];
        LoadString(save ? 143 : 147, text, 1000);
        std::wstring message = Wide(text);
        message += L"\nThe file name has characters this system's code page cannot hold.";
        MessageBoxW(ProgramTopWindow(owner), message.c_str(), Caption(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
        return false;
    }
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, chosen.c_str(), -1, &narrow[0], n, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(n - 1));
    *path = narrow;
    Registry::Remember(RememberedItem::Folder, chosen.substr(0, chooser.nFileOffset).c_str());
    return true;
}
