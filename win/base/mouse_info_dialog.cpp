// Mouse operations dialog. Win32.
#include "win/base/mouse_info_dialog.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

constexpr int kLineCount = 6;
constexpr int kColumnGap = 6;  // pixels between the longest gesture and the effects

struct LineParts {
    int gesture = 0, effect = 0;  // widths in pixels
};

LineParts MeasureLine(HDC dc, HWND line) {
    wchar_t text[128];
    const int len = GetWindowTextW(line, text, 128);
    int tab = 0;
    while (tab < len && text[tab] != L'\t') ++tab;
    SIZE gesture{}, effect{};
    GetTextExtentPoint32W(dc, text, tab, &gesture);
    if (tab < len) GetTextExtentPoint32W(dc, text + tab + 1, len - tab - 1, &effect);
    return {static_cast<int>(gesture.cx), static_cast<int>(effect.cx)};
}

// Every effect starts in one column right of the longest gesture; the lines, and the dialog
// with them, grow when the texts need more room than the template gives.
void FitOperationLines(HWND dlg) {
    RECT column{0, 0, 118, 0};  // dialog units
    MapDialogRect(dlg, &column);
    HDC dc = GetDC(dlg);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0)));
    int gesture = 0, effect = 0;
    for (int i = 0; i < kLineCount; ++i) {
        const LineParts parts = MeasureLine(dc, GetDlgItem(dlg, IDC_MOUSE_INFO_LINE1 + i));
        gesture = std::max(gesture, parts.gesture);
        effect = std::max(effect, parts.effect);
    }
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);
    // The tab stop, kept in the dialog's data for the drawing: the set column, or further
    // right when a gesture in the dialog's font is longer.
    const int tabStop = std::max(static_cast<int>(column.right), gesture + kColumnGap);
    SetWindowLongPtrW(dlg, DWLP_USER, tabStop);

    RECT line{};
    HWND first = GetDlgItem(dlg, IDC_MOUSE_INFO_LINE1);
    GetWindowRect(first, &line);
    const int grow = tabStop + effect - static_cast<int>(line.right - line.left);
    if (grow <= 0) return;
    for (int i = 0; i < kLineCount; ++i) {
        HWND item = GetDlgItem(dlg, IDC_MOUSE_INFO_LINE1 + i);
        GetWindowRect(item, &line);
        SetWindowPos(item, nullptr, 0, 0, line.right - line.left + grow, line.bottom - line.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT ok{};
    HWND button = GetDlgItem(dlg, IDOK);
    GetWindowRect(button, &ok);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&ok), 2);
    SetWindowPos(button, nullptr, ok.left + grow, ok.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame{};
    GetWindowRect(dlg, &frame);
    SetWindowPos(dlg, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawOperationLine(HWND dlg, const DRAWITEMSTRUCT& di) {
    wchar_t text[128];
    int len = GetWindowTextW(di.hwndItem, text, 128);
    int tabStop = static_cast<int>(GetWindowLongPtrW(dlg, DWLP_USER));
    FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(di.hDC, reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0)));
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, GetSysColor(COLOR_BTNTEXT));
    TabbedTextOutW(di.hDC, di.rcItem.left, di.rcItem.top, text, len, 1, &tabStop, di.rcItem.left);
    SelectObject(di.hDC, old);
}

INT_PTR CALLBACK MouseInfoProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DRAWITEM:
        DrawOperationLine(dlg, *reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_INITDIALOG:
        FitOperationLines(dlg);
        CheckDlgButton(dlg, IDC_MOUSE_INFO_HIDE,
                       App().settings.app.mouseInfo ? BST_UNCHECKED : BST_CHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            App().settings.app.mouseInfo = IsDlgButtonChecked(dlg, IDC_MOUSE_INFO_HIDE) != BST_CHECKED;
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void ShowMouseInfoDialog(HWND owner) {
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_MOUSE_INFO), owner, MouseInfoProc, 0);
}

}  // namespace pelio
