// Viewer window. Win32.
#include "win/viewer/viewer_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "core/commands/command_ids.h"
#include "core/view/caption.h"
#include "core/view/sizing.h"
#include "core/view/window_placement.h"
#include "core/view/zoom.h"
#include "win/base/app_state.h"
#include "win/base/class_names.h"
#include "win/base/cursors.h"
#include "win/base/frame_link.h"
#include "win/base/menus.h"
#include "win/base/monitors.h"
#include "win/base/view_paint.h"
#include "win/image/current_image.h"
#include "win/viewer/file_list.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/toolbar_strip.h"
#include "win/viewer/viewer_view.h"

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

// The private device context's stretch mode from the settings.
void SetStretchMode(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    if (App().settings.viewer.sthMode == 4) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    ReleaseDC(hwnd, dc);
}

void SetupDeviceContext(HWND hwnd) {
    HDC dc = GetDC(hwnd);  // private: the settings stay with it
    SetROP2(dc, R2_NOT);
    ReleaseDC(hwnd, dc);
    SetStretchMode(hwnd);
}

}  // namespace

void ApplyViewerStretchMode() {
    if (App().viewer) SetStretchMode(App().viewer);
}

namespace {

FrameInsets FrameOf(HWND hwnd) {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    return {-frame.left, -frame.top, frame.right, frame.bottom};
}

void SyncViewWithImage() {
    ViewState& v = View();
    const CurrentImage& image = Current();
    v.imageW = image.width;
    v.imageH = image.height;
    v.scrollShift = image.width > GetSystemMetrics(SM_CXSCREEN) || image.height > GetSystemMetrics(SM_CYSCREEN);
}

void ReadClientSize(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    View().clientW = client.right;
    View().clientH = client.bottom;
}

// The strips around the image in the background colour, then one stretch of the source.
void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const CurrentImage& image = Current();
    const Image pixels = image.AsImage();
    Viewer().copy.Paint(dc, client, BackgroundBrush(App().settings.viewer.bgColor),
                        image.Loaded() ? image.memoryDc : nullptr, &pixels, image.generation, View());
    EndPaint(hwnd, &ps);
}

// A new zoom from a command: stretch mode, window fit in the Viewer mode, repaint, caption.
void ApplyZoom(HWND hwnd, int zoom) {
    ViewState& v = View();
    v.zoom = zoom;
    ChooseStretchMode(hwnd);
    if (App().displayMode == kModeViewer) WindowFit(hwnd);
    else v.Layout();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateCaption();
}

// The caption tool tip: white, quick, for the whole window; active only over the system-menu
// icon (title bar shown) or the frame (frame only).
void CreateCaptionTip(HWND hwnd) {
    ViewerState& vs = Viewer();
    vs.captionTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                    App().instance, nullptr);
    if (!vs.captionTip) return;
    SendMessageW(vs.captionTip, TTM_SETTIPBKCOLOR, RGB(255, 255, 255), 0);
    SendMessageW(vs.captionTip, TTM_SETDELAYTIME, TTDT_INITIAL, 300);
    SendMessageW(vs.captionTip, TTM_SETMAXTIPWIDTH, 0, 1000);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
    ti.lpszText = const_cast<wchar_t*>(L"Pelio");
    SendMessageW(vs.captionTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(vs.captionTip, TTM_ACTIVATE, FALSE, 0);
}

void OnNonClientMove(HWND hwnd, WPARAM hit, LPARAM lp) {
    const ViewerSettings& v = App().settings.viewer;
    const bool over = v.capBar ? hit == HTSYSMENU : (v.frame && hit != HTCLIENT);
    SetCaptionTipActive(over);
    if (!over) return;
    // The tip's own subclassing watches the client area only.
    MSG msg{hwnd, WM_MOUSEMOVE, 0, 0, 0, {}};
    POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    ScreenToClient(hwnd, &pt);
    msg.lParam = MAKELPARAM(pt.x, pt.y);
    msg.time = GetMessageTime();
    GetCursorPos(&msg.pt);
    SendMessageW(Viewer().captionTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// Frame drags: side edges up to the size of the last fit, corners keep the aspect.
bool OnSizing(HWND hwnd, WPARAM edge, RECT& r) {
    const ViewState& v = View();
    if (!Current().Loaded() || edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return false;
    ViewerState& vs = Viewer();
    const bool caption = GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION;
    const SizingEdge e = static_cast<SizingEdge>(edge);
    const ScreenRect got = SizingRect(e, ToScreenRect(r), FrameOf(hwnd), v.imageW, v.imageH,
                                      vs.limitW > 0 ? vs.limitW : INT_MAX, vs.limitH > 0 ? vs.limitH : INT_MAX,
                                      caption ? GetSystemMetrics(SM_CXMIN) : 0);
    r = RECT{got.left, got.top, got.right, got.bottom};
    vs.sizing = IsCorner(e) ? Sizing::Corner : Sizing::Edge;
    return true;
}

void OnSize(HWND hwnd, WPARAM kind, int w) {
    ViewerState& vs = Viewer();
    ReadClientSize(hwnd);
    ResizeToolbarStrip(w);
    const Sizing sizing = vs.sizing;
    vs.sizing = Sizing::None;
    if (!Current().Loaded() || kind == SIZE_MINIMIZED) return;
    ViewState& v = View();
    if (sizing == Sizing::Corner && App().displayMode == kModeViewer) {
        v.zoom = FitZoom(v.imageW, v.imageH, v.clientW, v.clientH);
        ChooseStretchMode(hwnd);
        WindowFit(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
    } else {
        v.Layout();
    }
}

// Maximising means full screen, and so does restoring a full screen that Windows maximised.
bool OnSysCommand(HWND hwnd, WPARAM wp) {
    const WPARAM sc = wp & 0xFFF0;
    if (sc != SC_MAXIMIZE && !(sc == SC_RESTORE && App().displayMode == kModeFullScreen && IsZoomed(hwnd)))
        return false;
    Link().viewerCommand(cmd::kFullScreen);
    return true;
}

// Coming back: the list and the file's time are checked; leaving: the slideshow and the
// toolbar strip stop.
void OnActivateApp(bool active) {
    Viewer().appActive = active;
    if (active && Current().Loaded()) {
        SyncFileList();
        CheckCurrentFileChanged();
    }
    if (!active) {
        Viewer().altMenu = false;
        if (App().displayMode != kModeEdit) {
            StopSlideshow();
            SetToolbarStrip(false);
        }
    }
}

// Alt alone opens the context menu at the client's corner; the release that closes a menu
// opened this way only clears the flag.
void OnAltRelease(HWND hwnd) {
    ViewerState& vs = Viewer();
    if (vs.altMenu) {
        vs.altMenu = false;
    } else if (!ViewerGestureActive()) {
        vs.altMenu = true;
        POINT pt{0, 0};
        ClientToScreen(hwnd, &pt);
        ShowContextMenu(pt);
    }
}

void OnDropFiles(HDROP drop) {
    wchar_t path[MAX_PATH];
    UINT n = DragQueryFileW(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (n == 0 || n >= MAX_PATH) return;
    SetForegroundWindow(App().dialogOwner);
    Link().openFile(path);
}

}  // namespace

ViewerState& Viewer() {
    static ViewerState state;
    return state;
}

ViewState& View() {
    static ViewState view;
    return view;
}

void ChooseStretchMode(HWND hwnd) {
    const ViewState& v = View();
    HDC dc = GetDC(hwnd);
    const bool exact = v.DisplayedW() == v.imageW && v.DisplayedH() == v.imageH;
    if (exact || App().settings.viewer.sthMode == 3) {
        SetStretchBltMode(dc, COLORONCOLOR);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    }
    ReleaseDC(hwnd, dc);
}

void WindowFit(HWND hwnd) {
    const ViewState& v = View();
    RECT client;
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const bool caption = GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION;
    ScreenRect r = WindowFitRect(ToScreenRect(client), v.DisplayedW(), v.DisplayedH(), FrameOf(hwnd),
                                 caption, GetSystemMetrics(SM_CXMIN), ToScreenRect(ViewerUsableArea(hwnd)));
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(hwnd, &placed);
    Viewer().limitW = placed.right - placed.left;
    Viewer().limitH = placed.bottom - placed.top;
    ReadClientSize(hwnd);
    View().Layout();
}

void ViewerFitBox(HWND hwnd, int& w, int& h) {
    RECT full, work;
    QueryMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), full, work);
    const FrameInsets f = FrameOf(hwnd);
    w = (work.right - work.left) - f.left - f.right;
    h = (work.bottom - work.top) - f.top - f.bottom;
}

void SetCaptionTipActive(bool active) {
    ViewerState& vs = Viewer();
    if (!vs.captionTip || vs.tipActive == active) return;
    vs.tipActive = active;
    SendMessageW(vs.captionTip, TTM_ACTIVATE, active, 0);
}

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
    if (Current().Loaded()) {
        SyncViewWithImage();
        ViewState& v = View();
        if (resize && app.displayMode == kModeViewer) {
            if (!app.settings.viewer.nmZoom) v.zoom = kZoom100;
            int boxW, boxH;
            ViewerFitBox(app.viewer, boxW, boxH);
            PolicyFit(v, app.settings.viewer.vSmall, app.settings.viewer.nvLarge, boxW, boxH);
            v.x.centre = v.imageW / 2;
            v.y.centre = v.imageH / 2;
            ChooseStretchMode(app.viewer);
            WindowFit(app.viewer);
        } else if (resize && app.displayMode == kModeFullScreen) {
            FitFullScreen();
        } else {
            ReadClientSize(app.viewer);
            v.CentreImage();
        }
    }
    if (Current().Loaded()) SyncFileList();
    InvalidateRect(app.viewer, nullptr, FALSE);
    RefreshToolbarStrip();
    UpdateCaption();
    if (Current().Loaded() && !SlideshowRunning()) StartAnimation();
}

void FitFullScreen() {
    AppState& app = App();
    if (!app.viewer || !Current().Loaded()) return;
    ViewState& v = View();
    SyncViewWithImage();
    if (!app.settings.viewer.flZoom) v.zoom = kZoom100;
    RECT full{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, work;
    QueryMonitor(MonitorFromWindow(app.viewer, MONITOR_DEFAULTTONEAREST), full, work);
    PolicyFit(v, app.settings.viewer.fsDown, app.settings.viewer.fsUp, full.right - full.left, full.bottom - full.top);
    ReadClientSize(app.viewer);
    v.CentreImage();
    ChooseStretchMode(app.viewer);
    InvalidateRect(app.viewer, nullptr, FALSE);
}

bool ZoomCommand(int id) {
    AppState& app = App();
    if (!Current().Loaded() || !app.viewer) return false;
    const int zoom = View().zoom;
    switch (id) {
    case cmd::kZoom100: ApplyZoom(app.viewer, kZoom100); return true;
    case cmd::kZoomIn: ApplyZoom(app.viewer, ZoomInStep(zoom)); return true;
    case cmd::kZoomOut: ApplyZoom(app.viewer, ZoomOutStep(zoom)); return true;
    case cmd::kZoomPlus10: ApplyZoom(app.viewer, ZoomPlusTen(zoom)); return true;
    case cmd::kZoomMinus10: ApplyZoom(app.viewer, ZoomMinusTen(zoom)); return true;
    case cmd::kFit: {
        int boxW, boxH;
        ViewerFitBox(app.viewer, boxW, boxH);
        ApplyZoom(app.viewer, FitZoom(View().imageW, View().imageH, boxW, boxH));
        return true;
    }
    case cmd::kZoomToggle:
        return ZoomCommand(zoom != kZoom100 ? cmd::kZoom100 : cmd::kFit);
    default:
        if (id >= cmd::kZoomPreset1000 && id <= cmd::kZoomPreset10) {
            ApplyZoom(app.viewer, ZoomPreset(id - cmd::kZoomPreset1000));
            return true;
        }
        return false;
    }
}

int CurrentZoom() { return View().zoom; }

bool ScrollCommand(int id) {
    AppState& app = App();
    if (!Current().Loaded() || !app.viewer) return false;
    ViewState& v = View();
    const int step = 16 << v.scrollShift;
    int dx = 0, dy = 0;
    switch (id) {
    case cmd::kScrollLeft: dx = ScrollAxis(v.x, v.imageW, v.clientW, v.zoom, -step); break;
    case cmd::kScrollRight: dx = ScrollAxis(v.x, v.imageW, v.clientW, v.zoom, step); break;
    case cmd::kScrollUp: dy = ScrollAxis(v.y, v.imageH, v.clientH, v.zoom, -step); break;
    case cmd::kScrollDown: dy = ScrollAxis(v.y, v.imageH, v.clientH, v.zoom, step); break;
    default: return false;
    }
    if (dx || dy) ScrollWindowEx(app.viewer, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    return true;
}

// Rebuilds the style from CapBar and Frame, keeping the client area where it is.
void ApplyWindowStyle(HWND hwnd) {
    const ViewerStyle s = StyleFor(App().settings.viewer, App().settings.app.top);
    RECT client;
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const DWORD visible = GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(s.style | visible));
    SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(s.exStyle));
    RECT window = client;
    AdjustWindowRectEx(&window, s.style, FALSE, s.exStyle);
    SetWindowPos(hwnd, nullptr, window.left, window.top, window.right - window.left, window.bottom - window.top,
                 SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowCommand(int id) {
    AppState& app = App();
    HWND hwnd = app.viewer;
    ViewerSettings& v = app.settings.viewer;
    const bool viewerMode = app.displayMode == kModeViewer;
    if (id >= cmd::kBackgroundWhite && id <= cmd::kBackgroundBlack) {
        (app.displayMode == kModeEdit ? app.settings.edit.bgColor : v.bgColor) = id - cmd::kBackgroundWhite;
        InvalidateRect(app.displayMode == kModeEdit ? app.edit : hwnd, nullptr, FALSE);
        return true;
    }
    switch (id) {
    case cmd::kCentre: {
        if (!viewerMode) return true;
        RECT r, full, work;
        GetWindowRect(hwnd, &r);
        QueryMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), full, work);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const ScreenRect placed = FitWindowIntoArea(
            {work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
             work.left + (work.right - work.left - w) / 2 + w, work.top + (work.bottom - work.top - h) / 2 + h},
            ToScreenRect(work));
        SetWindowPos(hwnd, HWND_TOP, placed.left, placed.top, placed.Width(), placed.Height(), SWP_NOACTIVATE);
        SetForegroundWindow(hwnd);
        return true;
    }
    case cmd::kTitleBar:
        if (!viewerMode) return true;
        v.capBar = !v.capBar;
        ApplyWindowStyle(hwnd);
        if (Current().Loaded()) WindowFit(hwnd);
        return true;
    case cmd::kFrame:
        if (!viewerMode || v.capBar) return true;
        v.frame = !v.frame;
        ApplyWindowStyle(hwnd);
        return true;
    case cmd::kToolbarStrip:
        v.vtBar = !v.vtBar;
        if (!v.vtBar) SetToolbarStrip(false);
        return true;
    default:
        return false;
    }
}

void UpdateCaption() {
    AppState& app = App();
    if (!app.viewer) return;
    const CurrentImage& c = Current();
    std::wstring text = L"Pelio";
    if (c.Loaded()) {
        CaptionFacts facts{c.name, c.modified, c.format, c.info, c.width, c.height, c.sourceBits, c.fileSize};
        text = CaptionText(facts);
    }
    SetWindowTextW(app.viewer, text.c_str());
    if (HWND tip = Viewer().captionTip) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = app.viewer;
        ti.uId = reinterpret_cast<UINT_PTR>(app.viewer);
        ti.lpszText = text.data();
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (app.displayMode == kModeFullScreen) SetToolbarStripCaption(text);
}

void RefitView() {
    // Without an image there is nothing to fit: the window keeps its size and shows the background.
    if (App().viewer) InvalidateRect(App().viewer, nullptr, FALSE);
}

void ShowNoImage() {
    AppState& app = App();
    HWND viewer = app.viewer;
    if (!viewer) return;
    if (app.displayMode == kModeViewer && !IsZoomed(viewer)) {
        // The nominal size without an image.
        RECT r{0, 0, 400, 300}, window;
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(viewer, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(viewer, GWL_EXSTYLE)));
        GetWindowRect(viewer, &window);
        SetWindowPos(viewer, nullptr, window.left, window.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    View().imageW = View().imageH = 0;
    InvalidateRect(viewer, nullptr, FALSE);
    RefreshToolbarStrip();
    UpdateCaption();
}

void LayoutViewerForCurrentImage() {
    HWND viewer = App().viewer;
    if (!viewer) return;
    if (Current().Loaded()) {
        ViewState& v = View();
        const bool sameImage = v.imageW == Current().width && v.imageH == Current().height;
        SyncViewWithImage();
        ReadClientSize(viewer);
        if (sameImage) v.Layout();
        else v.CentreImage();
        ChooseStretchMode(viewer);
    }
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateCaption();
    if (Current().Loaded()) StartAnimation();
}

bool ViewerDragging() { return Viewer().drag != kDragNone; }

void ShowPointer() {
    AppState& app = App();
    if (!app.cursorHidden) return;
    ShowCursor(TRUE);
    app.cursorHidden = false;
}

void HidePointer() {
    AppState& app = App();
    if (app.cursorHidden || ToolbarStripShown()) return;
    POINT p{};
    GetCursorPos(&p);
    if (app.viewer) ScreenToClient(app.viewer, &p);
    Viewer().hiddenAt = p;
    ShowCursor(FALSE);
    app.cursorHidden = true;
}

LRESULT CALLBACK ViewerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT menuResult = 0;
    if (HandleMenuMessage(msg, wp, lp, menuResult)) return menuResult;
    if (OnViewerMouse(hwnd, msg, wp, lp)) return 0;
    switch (msg) {
    case WM_CREATE:
        SetupDeviceContext(hwnd);
        CreateToolbarStrip(hwnd);
        CreateCaptionTip(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZING:
        if (OnSizing(hwnd, wp, *reinterpret_cast<RECT*>(lp))) return TRUE;
        break;
    case WM_SIZE:
        OnSize(hwnd, wp, LOWORD(lp));
        return 0;
    case WM_NCMOUSEMOVE:
        OnNonClientMove(hwnd, wp, lp);
        break;
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTCAPTION) {
            Link().viewerCommand(cmd::kFullScreen);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(hwnd, wp)) return 0;
        break;
    case WM_ACTIVATEAPP:
        OnActivateApp(wp != 0);
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_COMMAND:
        // Nothing from menus or keys while the right button pans or an area is being chosen.
        if (ViewerGestureActive()) return 0;
        Viewer().altMenu = false;
        RunCommand(LOWORD(wp));
        return 0;
    case WM_HELP:  // F1 where no key of the table claims it
        PostMessageW(App().viewer, WM_COMMAND, cmd::kHelp, 0);
        return TRUE;
    case WM_COPYDATA:
        Link().handover(reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return 1;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_WININICHANGE:
        ReloadStandardCursors();
        ReloadMenuMetrics();
        RefitView();
        return 0;
    case WM_TIMER:
        if (wp == kSlideshowTimerId) SlideshowTick();
        else if (wp == kAnimationTimerId) AnimationTick();
        return 0;
    case WM_KEYDOWN:
        StopSlideshow();
        return 0;
    case WM_SYSKEYDOWN:
        if (wp == VK_MENU) {
            if (!(lp & (1 << 30))) StopSlideshow();
            return 0;
        }
        break;
    case WM_SYSKEYUP:
        if (wp == VK_MENU) {
            OnAltRelease(hwnd);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (!Link().closeProgram()) return 0;
        break;  // the default procedure destroys the window
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
