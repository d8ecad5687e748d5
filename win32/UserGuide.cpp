#include "win32/UserGuide.h"

#include <shellapi.h>

#include <string>

#include "frontend/DialogView.h"
#include "win32/Resources.h"

void ShowUserGuide(HWND owner, Prompts& prompts) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kUserGuideResource), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* guide = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    bool shown = false;
    if (guide && length > 0 && length < MAX_PATH) {
        // A copy in the user's temporary folder: the browser opens files, not resources.
        const std::wstring path = std::wstring(folder) + L"ZL-Config user guide.html";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool saved = file != INVALID_HANDLE_VALUE && WriteFile(file, guide, size, &written, nullptr) && written == size;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        shown = saved && reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr,
                                                                 SW_SHOWNORMAL)) > 32;
    }
    if (!shown) prompts.ShowWarning(u"The user guide could not be opened: no program here shows HTML files.");
}
