// The colour boxes of the save panel and the operations: painting, and the colour dialog
// with the session's custom colours. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// Answers WM_PAINT of a colour box with `colour`.
void PaintColourBox(HWND box, COLORREF colour);
// The system colour dialog, fully open, starting at `colour`; true (and the new colour) on OK.
bool ChooseColourDialog(HWND owner, COLORREF& colour);

}  // namespace pelio
