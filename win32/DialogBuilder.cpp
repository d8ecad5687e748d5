#include "win32/DialogBuilder.h"

#include <string>
#include <vector>

namespace {
// An extended dialog template is a sequence of 16-bit words, each item aligned to
// 32 bits; texts are UTF-16 with a terminator, classes may be ordinals.
class TemplateWriter {
public:
    void Word(WORD w) { words.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char16_t* text) {
        for (; text && *text; ++text) Word(static_cast<WORD>(*text));
        Word(0);
    }
    void Text(const char* text) {
        for (; text && *text; ++text) Word(static_cast<unsigned char>(*text));
        Word(0);
    }
    void Ordinal(WORD ordinal) {
        Word(0xFFFF);
        Word(ordinal);
    }
    void Align() {
        if (words.size() % 2) Word(0);
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    std::vector<WORD> words;
};

constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082, kComboClass = 0x0085;

struct ControlClass {
    WORD windowClass;
    DWORD style;
};

ControlClass ClassOf(const ControlTemplate& c) {
    switch (c.kind) {
        case KindLabel: return {kStaticClass, SS_LEFT};
        case KindCenteredText: return {kStaticClass, SS_CENTER};
        case KindEdit: {
            DWORD style = ES_LEFT;
            if (c.style & StyleReadOnly) style |= ES_READONLY;
            if (c.style & StyleNumber) style |= ES_NUMBER;
            if (c.style & StylePassword) style |= ES_PASSWORD;
            if (c.style & StyleAutoHScroll) style |= ES_AUTOHSCROLL;
            return {kEditClass, style};
        }
        case KindMultiLineEdit: {
            DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
            if (c.style & StyleReadOnly) style |= ES_READONLY;
            return {kEditClass, style};
        }
        case KindPushButton: return {kButtonClass, BS_PUSHBUTTON};
        case KindDefaultPushButton: return {kButtonClass, BS_DEFPUSHBUTTON};
        case KindGroupBox: return {kButtonClass, BS_GROUPBOX};
        case KindDropDownList: return {kComboClass, CBS_DROPDOWNLIST};
        case KindDropDownCombo: return {kComboClass, CBS_DROPDOWN | CBS_AUTOHSCROLL};
        case KindCheckBox: return {kButtonClass, BS_AUTOCHECKBOX};
        case KindPicture: return {kStaticClass, SS_BITMAP | SS_CENTERIMAGE | SS_REALSIZECONTROL};
    }
    return {kStaticClass, SS_LEFT};
}

DWORD StyleOf(const ControlTemplate& c) {
    DWORD style = WS_CHILD | ClassOf(c).style;
    if (!(c.style & StyleHidden)) style |= WS_VISIBLE;
    if (c.style & StyleTabStop) style |= WS_TABSTOP;
    if (c.style & StyleDisabled) style |= WS_DISABLED;
    if (c.style & StyleBorder) style |= WS_BORDER;
    if (c.style & StyleVScroll) style |= WS_VSCROLL;
    if (c.style & StyleHScroll) style |= WS_HSCROLL;
    return style;
}
}  // namespace

namespace {
void WriteTemplate(const DialogTemplate& tmpl, DWORD extraStyle, TemplateWriter& t) {
    DWORD style = WS_POPUP | DS_SETFONT | DS_MODALFRAME | extraStyle;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (tmpl.title) {
        style |= WS_CAPTION;
    } else {
        style |= WS_BORDER;  // a splash: a frame, no caption
    }
    // The shell font follows the system's dialog font.
    if (std::string(tmpl.fontFamily) == "MS Shell Dlg") style |= DS_SHELLFONT;
    if (tmpl.style & DialogSystemMenu) style |= WS_SYSMENU;
    if (tmpl.style & DialogMinimizeBox) style |= WS_MINIMIZEBOX;
    if (tmpl.style & DialogCentered) style |= DS_CENTER;
    if (tmpl.style & DialogSystemModal) style |= DS_SYSMODAL;
    if (tmpl.style & DialogTopMost) exStyle |= WS_EX_TOPMOST;
    if (tmpl.style & DialogAppWindow) exStyle |= WS_EX_APPWINDOW;

    t.Word(1);       // version
    t.Word(0xFFFF);  // extended
    t.Dword(0);      // help id
    t.Dword(exStyle);
    t.Dword(style);
    t.Word(static_cast<WORD>(tmpl.controlCount));
    t.Word(0);
    t.Word(0);
    t.Word(static_cast<WORD>(tmpl.cx));
    t.Word(static_cast<WORD>(tmpl.cy));
    t.Word(0);  // no menu: the main dialog sets its own
    t.Word(0);  // the dialog class
    t.Text(tmpl.title ? tmpl.title : u"");
    t.Word(static_cast<WORD>(tmpl.pointSize));
    t.Word(FW_NORMAL);
    t.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    t.Text(tmpl.fontFamily);
    for (std::size_t i = 0; i < tmpl.controlCount; ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        t.Align();
        t.Dword(0);  // help id
        t.Dword(0);  // extended style
        t.Dword(StyleOf(c));
        t.Word(static_cast<WORD>(c.x));
        t.Word(static_cast<WORD>(c.y));
        t.Word(static_cast<WORD>(c.cx));
        t.Word(static_cast<WORD>(c.cy));
        t.Dword(static_cast<DWORD>(c.id == kNoId ? -1 : c.id));
        t.Ordinal(ClassOf(c).windowClass);
        t.Text(c.text ? c.text : u"");
        t.Word(0);  // no creation data
    }
}
}  // namespace

HWND CreateTemplateDialog(const DialogTemplate& tmpl, DLGPROC procedure, LPARAM param, DWORD extraStyle) {
    TemplateWriter t;
    WriteTemplate(tmpl, extraStyle, t);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Data(), nullptr, procedure, param);
}

INT_PTR RunTemplateDialog(const DialogTemplate& tmpl, HWND owner, DLGPROC procedure, LPARAM param) {
    TemplateWriter t;
    WriteTemplate(tmpl, WS_THICKFRAME, t);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Data(), owner, procedure, param);
}

namespace {
// "Ctrl+Shift+S" as an accelerator entry.
ACCEL AcceleratorOf(const char* keys, int id) {
    ACCEL accel{FVIRTKEY, 0, static_cast<WORD>(id)};
    const std::string text = keys;
    if (text.find("Ctrl+") != std::string::npos) accel.fVirt |= FCONTROL;
    if (text.find("Shift+") != std::string::npos) accel.fVirt |= FSHIFT;
    const std::string key = text.substr(text.rfind('+') == std::string::npos ? 0 : text.rfind('+') + 1);
    if (key.size() > 1 && key[0] == 'F') {
        accel.key = static_cast<WORD>(VK_F1 + std::stoi(key.substr(1)) - 1);
    } else {
        accel.key = static_cast<WORD>(key[0]);
    }
    return accel;
}
}  // namespace

HMENU BuildMainMenu(HACCEL* keys) {
    std::vector<ACCEL> shortcuts;
    HMENU bar = CreateMenu();
    HMENU current = nullptr;
    const char16_t* currentTitle = nullptr;
    for (std::size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuItemTemplate& item = kMainMenu[i];
        if (item.menu != currentTitle) {
            current = CreatePopupMenu();
            std::wstring title = L"&" + std::wstring(Wide(item.menu));
            AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current), title.c_str());
            currentTitle = item.menu;
        }
        if (item.id == MenuTrend) continue;  // the trend is drawn by the Qt program only
        if (!item.text) {
            AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = Wide(item.text);
        const int at = MenuMnemonicAt(item.id);
        if (at >= 0 && at < static_cast<int>(text.size())) text.insert(static_cast<std::size_t>(at), 1, L'&');
        if (const char* keys = MenuShortcutKeys(item.id)) {
            text += L'\t';
            for (; *keys; ++keys) text += static_cast<wchar_t>(*keys);
            shortcuts.push_back(AcceleratorOf(MenuShortcutKeys(item.id), item.id));
        }
        AppendMenuW(current, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(item.id),
                    text.c_str());
    }
    *keys = CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
    return bar;
}
