// Monitor rectangles with the primary screen as the fallback. Win32.
#pragma once
#include <windows.h>

namespace pelio {

RECT PrimaryScreenRect();
RECT PrimaryWorkArea();
// The monitor's full and work rectangles; false (and the primary ones) when it cannot be queried.
bool QueryMonitor(HMONITOR monitor, RECT& full, RECT& work);
// The work area of the monitor nearest to a window.
RECT WorkAreaNearWindow(HWND hwnd);

}  // namespace pelio
