#include "platform/Threading.h"

#include <windows.h>

// SetThreadDescription came with Windows 10 (1607): looked up, so that the program
// still starts where it is missing.
void NameThisThread(const char* name) {
    using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto describe = kernel ? reinterpret_cast<Describe>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")))
                           : nullptr;
    if (!describe) return;
    wchar_t wide[32] = {};
    for (int i = 0; i < 31 && name[i]; ++i) wide[i] = static_cast<unsigned char>(name[i]);
    describe(GetCurrentThread(), wide);
}
