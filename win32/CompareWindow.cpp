#include "win32/CompareWindow.h"

#include "win32/CommonControls.h"

#include <iterator>

#include "frontend/Comparison.h"
#include "state/TextOps.h"
#include "win32/DialogBuilder.h"
#include "win32/Prompts.h"
#include "win32/Resources.h"

namespace {
constexpr int kSummary = 100, kValues = 101;

constexpr ControlTemplate kCompareControls[] = {
    {kSummary, KindLabel, nullptr, StyleNone, 7, 7, 286, 24},
    {kValues, KindLabel, nullptr, StyleNone, 7, 34, 286, 170},  // the list takes its place
    {kIdCancel, KindDefaultPushButton, u"Close", StyleTabStop, 243, 210, 50, 14},
};
constexpr DialogTemplate kCompareDialog = {
    0, u"Compare", 300, 230, "MS Shell Dlg", 8, DialogCaption | DialogSystemMenu, 0, kCompareControls,
    std::size(kCompareControls)};

struct Shown {
    std::string path;
    Comparison comparison;
    HFONT bold = nullptr;
};

std::wstring WideOf(const std::string& utf8) {
    std::u16string text(utf8.size() + 1, u'\0');
    WidenUtf8(&text[0], text.size(), utf8.c_str());
    return std::wstring(Wide(text.c_str()));
}

void Fill(HWND dialog, Shown& shown) {
    const Comparison& c = shown.comparison;
    std::wstring file = WideOf(shown.path);
    file = file.substr(file.find_last_of(L"\\/") == std::wstring::npos ? 0 : file.find_last_of(L"\\/") + 1);
    SetWindowTextW(dialog, (file + L" - Compare - " + Caption()).c_str());
    SetDlgItemTextW(dialog, kSummary, WideOf(c.summary).c_str());
    HWND place = GetDlgItem(dialog, kValues);
    RECT rect;
    GetWindowRect(place, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    DestroyWindow(place);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kValues)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const wchar_t* headers[] = {L"Parameter", L"File", L"Controller"};
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = const_cast<wchar_t*>(headers[column]);
        info.cx = 100;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    }
    for (int row = 0; row < kFileValueCount; ++row) {
        const ComparisonRow& r = c.rows[row];
        std::wstring texts[] = {WideOf(r.caption), WideOf(r.fileValue), WideOf(r.controllerValue)};
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = &texts[0][0];
        item.lParam = r.differs;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            LVITEMW cell{};
            cell.iSubItem = column;
            cell.pszText = &texts[column][0];
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        }
    }
    for (int column = 0; column < 3; ++column) ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE_USEHEADER);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    shown.bold = CreateFontIndirectW(&font);
}

// A differing row: bold on a light amber ground.
LRESULT Marked(NMLVCUSTOMDRAW* draw, const Shown& shown) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.lItemlParam) {
        draw->clrTextBk = RGB(255, 236, 179);
        SelectObject(draw->nmcd.hdc, shown.bold);
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shown = reinterpret_cast<Shown*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SendMessageW(dialog, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource))));
            Fill(dialog, *reinterpret_cast<Shown*>(lParam));
            return TRUE;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (shown && header->idFrom == kValues && header->code == NM_CUSTOMDRAW) {
                SetWindowLongPtrW(dialog, DWLP_MSGRESULT, Marked(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), *shown));
                return TRUE;
            }
            return FALSE;
        }
        case WM_SIZE: {
            // The list takes what the window gains; Close stays at the bottom right.
            RECT button;
            HWND close = GetDlgItem(dialog, IDCANCEL);
            GetWindowRect(close, &button);
            const int w = button.right - button.left, h = button.bottom - button.top;
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            RECT list;
            GetWindowRect(GetDlgItem(dialog, kValues), &list);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&list), 2);
            const int margin = list.left;
            MoveWindow(close, width - margin - w, height - margin - h, w, h, TRUE);
            MoveWindow(GetDlgItem(dialog, kValues), margin, list.top, width - 2 * margin,
                       height - list.top - 2 * margin - h, TRUE);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
    }
}
}  // namespace

void ShowComparisonWindow(HWND owner, const std::string& path) {
    Shown shown{path, CompareWithFile(path.c_str())};
    RunTemplateDialog(kCompareDialog, owner, Procedure, reinterpret_cast<LPARAM>(&shown));
    if (shown.bold) DeleteObject(shown.bold);
}
