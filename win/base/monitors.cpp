// Monitor queries. Win32.
#include "win/base/monitors.h"

namespace pelio {

RECT PrimaryScreenRect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT PrimaryWorkArea() {
    RECT r = PrimaryScreenRect();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

bool QueryMonitor(HMONITOR monitor, RECT& full, RECT& work) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (monitor && GetMonitorInfoW(monitor, &mi)) {
        full = mi.rcMonitor;
        work = mi.rcWork;
        return true;
    }
    full = PrimaryScreenRect();
    work = PrimaryWorkArea();
    return false;
}

RECT WorkAreaNearWindow(HWND hwnd) {
    RECT full, work;
    QueryMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), full, work);
    return work;
}

}  // namespace pelio
