// Viewer window. Win32.
#include "win/viewer/viewer_window.h"

#include <shellapi.h>

#include <algorithm>

#include "core/view/caption.h"
#include "core/view/window_placement.h"
#include "win/app/app_state.h"
#include "win/app/commands.h"
#include "win/app/cursors.h"
#include "win/app/handover.h"
#include "win/app/menus.h"
#include "win/app/monitors.h"
#include "win/app/open_file.h"
#include "win/app/shutdown.h"
#include "win/app/window_classes.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

struct ViewerStyle {
    DWORD style, exStyle;
};

ViewerStyle StyleFor(const ViewerSettings& v, bool top) {
    DWORD base = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    DWORD ex = WS_EX_APPWINDOW | WS_EX_ACCEPTFILES | (top ? WS_EX_TOPMOST : 0);
    if (v.capBar) return {base | WS_CAPTION | WS_THICKFRAME, ex};
    if (v.frame) return {base | WS_THICKFRAME, ex | WS_EX_DLGMODALFRAME};
    return {base, ex};
}

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT UsableArea(HMONITOR monitor) {
    const ViewerSettings& v = App().settings.viewer;
    if (v.posCtrl) return RECT{v.posL, v.posT, v.posR, v.posB};
    RECT full, work;
    QueryMonitor(monitor, full, work);
    return work;
}

void SetupDeviceContext(HWND hwnd) {
    HDC dc = GetDC(hwnd);  // private: the settings stay with it
    if (App().settings.viewer.sthMode == 4) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    SetROP2(dc, R2_NOT);
    ReleaseDC(hwnd, dc);
}

// The image at 100 %, centred; the strips around it in the background colour.
void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH background = BackgroundBrush(App().settings.viewer.bgColor);
    const CurrentImage& image = Current();
    if (!image.Loaded()) {
        FillRect(dc, &client, background);
    } else {
        const int cw = client.right, ch = client.bottom;
        const int w = std::min(image.width, cw), h = std::min(image.height, ch);
        const int x = (cw - w) / 2, y = (ch - h) / 2;
        const RECT strips[] = {{0, 0, x, ch}, {x + w, 0, cw, ch}, {x, 0, x + w, y}, {x, y + h, x + w, ch}};
        for (const RECT& r : strips)
            if (r.right > r.left && r.bottom > r.top) FillRect(dc, &r, background);
        BitBlt(dc, x, y, w, h, image.memoryDc, (image.width - w) / 2, (image.height - h) / 2, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

// Sizes the window around the image at 100 %, within the usable area, keeping its centre.
void FitWindowToImage(HWND hwnd) {
    const CurrentImage& image = Current();
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT frame{0, 0, image.width, image.height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int cx = (window.left + window.right) / 2, cy = (window.top + window.bottom) / 2;
    ScreenRect r = FitWindowIntoArea({cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h},
                                     ToScreenRect(ViewerUsableArea(hwnd)));
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnDropFiles(HDROP drop) {
    wchar_t path[MAX_PATH];
    UINT n = DragQueryFileW(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (n > 0 && n < MAX_PATH) OpenFileFromShell(path);
}

}  // namespace

HBRUSH BackgroundBrush(int index) {
    static constexpr int kStock[] = {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH};
    return static_cast<HBRUSH>(GetStockObject(kStock[index >= 0 && index <= 4 ? index : 1]));
}

RECT ViewerUsableArea(HWND hwnd) {
    return UsableArea(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

HWND CreateViewerWindow() {
    AppState& app = App();
    ViewerStyle s = StyleFor(app.settings.viewer, app.settings.app.top);

    POINT pt{};
    GetCursorPos(&pt);
    HMONITOR monitor = MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
    RECT monitorRect, work;
    if (!QueryMonitor(monitor, monitorRect, work)) monitor = nullptr;

    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, s.style, FALSE, s.exStyle);
    ScreenRect r = InitialViewerRect(ToScreenRect(monitorRect),
                                     FrameInsets{-frame.left, -frame.top, frame.right, frame.bottom},
                                     ToScreenRect(UsableArea(monitor)));
    return CreateWindowExW(s.exStyle, kViewerClass, L"Pelio", s.style, r.left, r.top, r.Width(),
                           r.Height(), nullptr, nullptr, app.instance, nullptr);
}

void ShowLoadedImage(bool resize) {
    AppState& app = App();
    if (!app.viewer) return;
    if (resize && Current().Loaded() && app.displayMode == kModeViewer) FitWindowToImage(app.viewer);
    InvalidateRect(app.viewer, nullptr, FALSE);
    UpdateCaption();
}

void UpdateCaption() {
    AppState& app = App();
    if (!app.viewer) return;
    const CurrentImage& c = Current();
    if (!c.Loaded()) {
        SetWindowTextW(app.viewer, L"Pelio");
        return;
    }
    CaptionFacts facts{c.name, c.modified, c.format, c.info, c.width, c.height, c.sourceBits, c.fileSize};
    SetWindowTextW(app.viewer, CaptionText(facts).c_str());
}

void RefitView() {
    // Without an image there is nothing to fit: the window keeps its size and shows the background.
    if (App().viewer) InvalidateRect(App().viewer, nullptr, FALSE);
}

LRESULT CALLBACK ViewerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        SetupDeviceContext(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_COMMAND:
        RouteCommand(LOWORD(wp));
        return 0;
    case WM_COPYDATA:
        ReceiveHandover(reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return 1;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_WININICHANGE:
        ReloadStandardCursors();
        ReloadMenuMetrics();
        RefitView();
        return 0;
    case WM_MEASUREITEM:
        if (OnMeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (OnDrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_RBUTTONUP: {
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd, &pt);
        ShowContextMenu(pt);
        return 0;
    }
    case WM_SYSKEYUP:
        if (wp == VK_MENU) {
            POINT pt{0, 0};
            ClientToScreen(hwnd, &pt);
            ShowContextMenu(pt);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (!RunCloseSequence()) return 0;
        break;  // the default procedure destroys the window
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
