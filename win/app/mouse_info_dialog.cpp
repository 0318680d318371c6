// Mouse operations dialog. Win32.
#include "win/app/mouse_info_dialog.h"

#include "resources/resource_ids.h"
#include "win/app/app_state.h"

namespace pelio {

namespace {

// The operation lines are drawn with one tab stop, so every effect starts in one column.
void DrawOperationLine(HWND dlg, const DRAWITEMSTRUCT& di) {
    wchar_t text[128];
    int len = GetWindowTextW(di.hwndItem, text, 128);
    RECT column{0, 0, 118, 0};  // dialog units
    MapDialogRect(dlg, &column);
    int tabStop = column.right;
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
