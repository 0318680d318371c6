// Navigation window. Win32.
#include "win/viewer/navigation_window.h"

#include "core/view/navigation.h"
#include "win/base/app_state.h"
#include "win/base/monitors.h"
#include "win/base/class_names.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

struct NavigationState {
    HWND hwnd = nullptr;
    NavigationThumb thumb;
    HDC thumbDc = nullptr;  // the scaled image, made once per showing
    HBITMAP thumbBitmap = nullptr, oldBitmap = nullptr;
    ScreenRect frame;
    bool frameDrawn = false;
};

NavigationState& Nav() {
    static NavigationState state;
    return state;
}

void ReleaseThumbnail() {
    NavigationState& n = Nav();
    if (n.thumbDc) {
        SelectObject(n.thumbDc, n.oldBitmap);
        DeleteDC(n.thumbDc);
    }
    if (n.thumbBitmap) DeleteObject(n.thumbBitmap);
    n.thumbDc = nullptr;
    n.thumbBitmap = n.oldBitmap = nullptr;
}

// Scales the whole current image into a bitmap of the thumbnail's size (halftone).
bool MakeThumbnail() {
    NavigationState& n = Nav();
    ReleaseThumbnail();
    const CurrentImage& image = Current();
    HDC windowDc = GetDC(n.hwnd);
    n.thumbBitmap = CreateCompatibleBitmap(windowDc, n.thumb.width, n.thumb.height);
    n.thumbDc = n.thumbBitmap ? CreateCompatibleDC(windowDc) : nullptr;
    ReleaseDC(n.hwnd, windowDc);
    if (!n.thumbDc) {
        ReleaseThumbnail();
        return false;
    }
    n.oldBitmap = static_cast<HBITMAP>(SelectObject(n.thumbDc, n.thumbBitmap));
    SetStretchBltMode(n.thumbDc, HALFTONE);
    SetBrushOrgEx(n.thumbDc, 0, 0, nullptr);
    StretchBlt(n.thumbDc, 0, 0, n.thumb.width, n.thumb.height, image.memoryDc, 0, 0, image.width, image.height,
               SRCCOPY);
    return true;
}

// Where the thumbnail starts in the client area: centred in the margin.
POINT ThumbOrigin() {
    const NavigationState& n = Nav();
    RECT client;
    GetClientRect(n.hwnd, &client);
    return {(client.right - n.thumb.width) / 2, (client.bottom - n.thumb.height) / 2};
}

// Drawn with R2_NOT: drawing the same frame again erases it.
void InvertFrame(HDC dc, const ScreenRect& r) {
    const POINT o = ThumbOrigin();
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, o.x + r.left, o.y + r.top, o.x + r.right, o.y + r.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void OnPaint(HWND hwnd) {
    NavigationState& n = Nav();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const POINT o = ThumbOrigin();
    ExcludeClipRect(dc, o.x, o.y, o.x + n.thumb.width, o.y + n.thumb.height);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SelectClipRgn(dc, nullptr);
    if (n.thumbDc) {
        BitBlt(dc, o.x, o.y, n.thumb.width, n.thumb.height, n.thumbDc, 0, 0, SRCCOPY);
        if (n.frameDrawn) InvertFrame(dc, n.frame);
    }
    EndPaint(hwnd, &ps);
}

}  // namespace

HWND CreateNavigationWindow(HWND owner) {
    NavigationState& n = Nav();
    if (n.hwnd) return n.hwnd;
    n.hwnd = CreateWindowExW(WS_EX_STATICEDGE, kNavigatorClass, L"", WS_POPUP | WS_BORDER, 0, 0,
                             NavigationWindowSize(kNavigationThumbSide), NavigationWindowSize(kNavigationThumbSide),
                             owner, nullptr, App().instance, nullptr);
    return n.hwnd;
}

void ShowNavigation(HWND placeNear) {
    NavigationState& n = Nav();
    const CurrentImage& image = Current();
    if (!n.hwnd || !image.Loaded()) return;
    n.thumb = NavigationThumbnail(image.width, image.height);
    n.frameDrawn = false;
    if (!MakeThumbnail()) return;
    RECT nearRect, full, work;
    GetWindowRect(placeNear, &nearRect);
    QueryMonitor(MonitorFromWindow(placeNear, MONITOR_DEFAULTTONEAREST), full, work);
    const ScreenRect r = NavigationPlacement(nearRect.left, nearRect.top, NavigationWindowSize(n.thumb.width),
                                             NavigationWindowSize(n.thumb.height), work.right, full.top);
    SetWindowPos(n.hwnd, HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(n.hwnd, nullptr, FALSE);
    UpdateWindow(n.hwnd);
}

void MoveNavigationRect(int srcX, int srcY, int srcW, int srcH) {
    NavigationState& n = Nav();
    if (!n.hwnd || !n.thumbDc || !IsWindowVisible(n.hwnd)) return;
    const ScreenRect next = NavigationFrame(n.thumb, srcX, srcY, srcW, srcH);
    if (n.frameDrawn && next == n.frame) return;
    HDC dc = GetDC(n.hwnd);  // private: R2_NOT set at creation
    if (n.frameDrawn) InvertFrame(dc, n.frame);
    n.frame = next;
    InvertFrame(dc, n.frame);
    n.frameDrawn = true;
    ReleaseDC(n.hwnd, dc);
}

void HideNavigation() {
    NavigationState& n = Nav();
    if (n.hwnd) ShowWindow(n.hwnd, SW_HIDE);
    n.frameDrawn = false;
    ReleaseThumbnail();
}

bool NavigationShown() { return Nav().hwnd && IsWindowVisible(Nav().hwnd); }

LRESULT CALLBACK NavigationWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        HDC dc = GetDC(hwnd);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        SetROP2(dc, R2_NOT);
        ReleaseDC(hwnd, dc);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_RBUTTONUP:
        HideNavigation();
        return 0;
    case WM_DESTROY:
        ReleaseThumbnail();
        Nav().hwnd = nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
