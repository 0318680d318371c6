// The print dialog's preview: the paper, the printable area and the image, with the mouse
// moving, sizing or cropping it. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// The window procedure of the preview class; its creation parameter is the PrintJob.
LRESULT CALLBACK PrintPreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace pelio
