#pragma once
// What the program remembers between runs, under HKCU\Software\ZL-Config: the last user
// name given at login, the port of the last login that succeeded, the folder of the
// last parameter file, the main window's position. Never a password. Nothing there
// yet: everything as on a first start. User interface thread only.
#include <windows.h>

#include <optional>
#include <string>

#include "frontend/DialogView.h"

namespace Registry {
std::wstring Recall(RememberedItem item);
void Remember(RememberedItem item, const wchar_t* text);
std::optional<POINT> MainPosition();
void SetMainPosition(POINT position);
}  // namespace Registry

// The same store as the shared logic's Memory.
class RegistryMemory : public Memory {
public:
    void Recall(RememberedItem item, char16_t* text, std::size_t capacity) override;
    void Remember(RememberedItem item, const char16_t* text) override;
};
