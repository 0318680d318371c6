// Hue and saturation in the adjustment frame. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the hue / saturation operation (command 5164); null for others.
const OperationKind* HlsOperation(int command);

// The range colour box (control 1670) of the operation toolbar.
LRESULT HlsColourBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace pelio
