// Adding margins in the adjustment frame. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the margins operation (command 5122); null for others.
const OperationKind* MarginsOperation(int command);

// The margin colour box (control 2741) of the operation toolbar.
LRESULT MarginColourBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace pelio
