// Edit window. Win32.
#include "win/editor/edit_window.h"

#include <algorithm>

#include "win/app/app_state.h"
#include "win/app/handover.h"
#include "win/app/commands.h"
#include "win/app/ini_store.h"
#include "win/app/menus.h"
#include "win/app/monitors.h"
#include "win/app/window_classes.h"
#include "win/viewer/file_list.h"
#include "win/viewer/navigation_window.h"

namespace pelio {

namespace {

ScreenRect MonitorWorkArea(HWND hwnd) {
    RECT r = WorkAreaNearWindow(hwnd);
    return {r.left, r.top, r.right, r.bottom};
}

// Moves the window onto `target`'s monitor when it lies on another one: the size is clamped
// to that monitor's work area and the window centred in it.
void MoveOntoMonitorOf(HWND hwnd, HWND target) {
    if (MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) ==
        MonitorFromWindow(target, MONITOR_DEFAULTTONEAREST))
        return;
    ScreenRect work = MonitorWorkArea(target);
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = std::min<int>(r.right - r.left, work.Width());
    int h = std::min<int>(r.bottom - r.top, work.Height());
    SetWindowPos(hwnd, nullptr, work.left + (work.Width() - w) / 2, work.top + (work.Height() - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

HWND CreateEditWindow() {
    AppState& app = App();
    if (app.edit) return app.edit;
    IniStore store(app.iniPath);
    EditSettings& e = app.settings.edit;
    LoadEditPlacement(store, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      MonitorWorkArea(app.viewer), e);
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (e.max == 1 ? WS_MAXIMIZE : 0);
    app.edit = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_ACCEPTFILES, kEditClass, L"Pelio", style, e.x,
                               e.y, e.w, e.h, app.viewer, nullptr, app.instance, nullptr);
    if (app.edit) CreateFileListWindows();
    if (app.edit) CreateNavigationWindow(app.edit);
    return app.edit;
}

void ActivateEditWindow() {
    AppState& app = App();
    if (!CreateEditWindow()) return;
    app.displayMode = kModeEdit;
    MoveOntoMonitorOf(app.edit, app.viewer);
    ShowWindow(app.edit, IsZoomed(app.edit) ? SW_SHOWMAXIMIZED : SW_SHOW);
    ShowWindow(app.viewer, SW_HIDE);
    app.dialogOwner = app.edit;
    SetFocus(app.edit);
    MoveFileListTo(true);
}

void ActivateViewer() {
    AppState& app = App();
    app.displayMode = kModeViewer;
    if (app.edit) MoveOntoMonitorOf(app.viewer, app.edit);
    ShowWindow(app.viewer, SW_SHOWNORMAL);
    if (app.edit) ShowWindow(app.edit, SW_HIDE);
    app.dialogOwner = app.viewer;
    MoveFileListTo(false);
}

void StoreEditPlacement() {
    AppState& app = App();
    if (!app.edit) return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(app.edit, &wp)) return;
    EditSettings& e = app.settings.edit;
    e.max = IsZoomed(app.edit) ? 1 : 0;
    e.x = wp.rcNormalPosition.left;
    e.y = wp.rcNormalPosition.top;
    e.w = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
    e.h = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
}

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT menuResult = 0;
    if (HandleMenuMessage(msg, wp, lp, menuResult)) return menuResult;
    switch (msg) {
    case WM_COPYDATA:
        ReceiveHandover(reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return 1;
    case WM_COMMAND:
        if (lp == 0) RouteCommand(LOWORD(wp));
        return 0;
    case WM_CLOSE:
        // Closing the Edit window ends the program through the Viewer window.
        SendMessageW(App().viewer, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
