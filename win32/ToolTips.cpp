#include "win32/ToolTips.h"

#include "win32/CommonControls.h"

namespace {
void Send(HWND tips, UINT message, HWND dialog, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tips, message, 0, reinterpret_cast<LPARAM>(&tool));
}
}  // namespace

HWND CreateToolTips(HWND dialog) {
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, dialog,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);  // long texts wrap
    return tips;
}

void AddToolTip(HWND tips, HWND dialog, HWND control, const wchar_t* text) {
    Send(tips, TTM_ADDTOOLW, dialog, control, text);
}

void SetToolTip(HWND tips, HWND dialog, HWND control, const wchar_t* text) {
    Send(tips, TTM_UPDATETIPTEXTW, dialog, control, text);
}
