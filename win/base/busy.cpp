// Feedback for work the user waits for. Win32.
#include "win/base/busy.h"

#include "win/base/app_state.h"

namespace pelio {

BusyIndicator::BusyIndicator(HWND window, const wchar_t* title, bool restoreTitle)
    : window_(window), restoreTitle_(restoreTitle) {
    if (!window_) return;
    if (restoreTitle_) {
        wchar_t old[512];
        oldTitle_.assign(old, static_cast<size_t>(GetWindowTextW(window_, old, 512)));
    }
    SetWindowTextW(window_, title);
    oldCursor_ = SetCursor(App().cursors.wait);
}

BusyIndicator::~BusyIndicator() {
    if (!window_) return;
    SetCursor(oldCursor_);
    if (restoreTitle_) SetWindowTextW(window_, oldTitle_.c_str());
}

void RefreshCursor() {
    POINT p;
    if (!GetCursorPos(&p)) return;
    HWND under = WindowFromPoint(p);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
}

}  // namespace pelio
