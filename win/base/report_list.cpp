// Report-style list views. Win32.
#include "win/base/report_list.h"

#include <commctrl.h>

namespace pelio {

namespace {

constexpr UINT_PTR kRepaintSubclassId = 1;

LRESULT CALLBACK RepaintSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        if (LOWORD(wp) == SB_ENDSCROLL) InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, RepaintSubclass, kRepaintSubclassId);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void SetUpReportList(HWND list, std::span<const ReportColumn> columns) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(columns[i].title);
        column.cx = columns[i].width;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void RepaintAfterScroll(HWND list) { SetWindowSubclass(list, RepaintSubclass, kRepaintSubclassId, 0); }

void StopRepaintAfterScroll(HWND list) { RemoveWindowSubclass(list, RepaintSubclass, kRepaintSubclassId); }

}  // namespace pelio
