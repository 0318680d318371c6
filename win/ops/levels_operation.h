// The histogram correction: a levels stretch per channel or for all three, its automatic
// setting and its histogram window. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the histogram correction (cmd::kHistogramCorrection); null for others.
const OperationKind* LevelsOperation(int command);

LRESULT CALLBACK LevelsWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK LevelsGraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace pelio
