// The record of one print dialog: the chosen printer, the windows and the layout. Win32.
#pragma once
#include <windows.h>

#include "core/view/print_layout.h"

namespace pelio {

struct PrintJob {
    PrintJob() = default;
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    ~PrintJob() {
        if (devMode) GlobalFree(devMode);
        if (devNames) GlobalFree(devNames);
        if (handlePen) DeleteObject(handlePen);
    }

    HGLOBAL devMode = nullptr, devNames = nullptr;  // as the system print dialog returns them
    HWND dialog = nullptr, preview = nullptr;
    HPEN handlePen = nullptr;  // the corner handles
    PrintLayout layout;
    bool dragging = false;
    int hit = kHitMove;
    POINT dragPoint{};
    PrintLayout dragStart;  // the layout when the drag began
    bool writingFields = false;  // field changes made by the program itself
};

// What the device context of a printer reports.
PrinterCaps ReadPrinterCaps(HDC printer);

// The four fields and the resolution from the layout.
void WritePrintFields(PrintJob& job);
// Redraws the preview.
void RedrawPrintPreview(const PrintJob& job);

}  // namespace pelio
