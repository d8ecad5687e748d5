#include "win32/Registry.h"

#include "state/TextOps.h"

namespace {
constexpr wchar_t kKey[] = L"Software\\ZL-Config";

const wchar_t* NameOf(RememberedItem item) {
    switch (item) {
        case RememberedItem::Port: return L"Port";
        case RememberedItem::UserName: return L"UserName";
        case RememberedItem::Folder: return L"Folder";
    }
    return L"";
}

bool ReadValue(const wchar_t* name, DWORD type, void* data, DWORD* size) {
    return RegGetValueW(HKEY_CURRENT_USER, kKey, name, type == REG_SZ ? RRF_RT_REG_SZ : RRF_RT_REG_DWORD, nullptr,
                        data, size) == ERROR_SUCCESS;
}

void WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;  // nothing remembered this time: the program works as on a first start
    }
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
}  // namespace

namespace Registry {
std::wstring Recall(RememberedItem item) {
    wchar_t text[1024];
    DWORD size = sizeof text;
    return ReadValue(NameOf(item), REG_SZ, text, &size) ? std::wstring(text) : std::wstring();
}

void Remember(RememberedItem item, const wchar_t* text) {
    WriteValue(NameOf(item), REG_SZ, text, static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
}

std::optional<POINT> MainPosition() {
    DWORD x = 0, y = 0, size = sizeof x;
    if (!ReadValue(L"WindowX", REG_DWORD, &x, &size)) return std::nullopt;
    size = sizeof y;
    if (!ReadValue(L"WindowY", REG_DWORD, &y, &size)) return std::nullopt;
    return POINT{static_cast<LONG>(static_cast<int>(x)), static_cast<LONG>(static_cast<int>(y))};
}

void SetMainPosition(POINT position) {
    const DWORD x = static_cast<DWORD>(position.x), y = static_cast<DWORD>(position.y);
    WriteValue(L"WindowX", REG_DWORD, &x, sizeof x);
    WriteValue(L"WindowY", REG_DWORD, &y, sizeof y);
}
}  // namespace Registry

void RegistryMemory::Recall(RememberedItem item, char16_t* text, std::size_t capacity) {
    const std::wstring value = Registry::Recall(item);
    CopyText(text, capacity, reinterpret_cast<const char16_t*>(value.c_str()), value.size());
}

void RegistryMemory::Remember(RememberedItem item, const char16_t* text) {
    Registry::Remember(item, reinterpret_cast<const wchar_t*>(text));
}
