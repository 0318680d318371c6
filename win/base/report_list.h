// Report-style list views of the dialogs: columns, grid lines, full-row selection, and a full
// repaint when a scroll ends. Win32.
#pragma once
#include <windows.h>

#include <span>

namespace pelio {

struct ReportColumn {
    const wchar_t* title;
    int width;  // pixels
};

// Grid lines, full-row selection and the columns, left to right.
void SetUpReportList(HWND list, std::span<const ReportColumn> columns);

// The list repaints itself whole at the end of every scroll, so the grid lines leave no
// stripes behind. Undone by StopRepaintAfterScroll or when the list is destroyed.
void RepaintAfterScroll(HWND list);
void StopRepaintAfterScroll(HWND list);

}  // namespace pelio
