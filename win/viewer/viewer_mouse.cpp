// The Viewer window's mouse: area selection, window drag, panning, chords and the wheel. Win32.
#include "core/commands/command_ids.h"
#include "core/view/navigation.h"
#include "core/view/pan_cursor.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/menus.h"
#include "win/image/current_image.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/navigation_window.h"
#include "win/viewer/toolbar_strip.h"
#include "win/viewer/viewer_view.h"
#include "win/viewer/viewer_window.h"

#include <commctrl.h>

#include <cstdlib>

namespace pelio {

namespace {

POINT PointOf(LPARAM lp) { return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

// Zoom by ten points, or the neighbouring file, by the wheel setting and Ctrl alone.
void OnWheel(int delta, WPARAM keys) {
    const AppState& app = App();
    if (!Current().Loaded() || SlideshowRunning()) return;
    const bool fullScreen = app.displayMode == kModeFullScreen;
    const bool navigate = (fullScreen ? app.settings.viewer.fsWheel : app.settings.viewer.wheel) != (keys == MK_CONTROL);
    if (navigate) {
        Link().viewerCommand(delta > 0 ? cmd::kPreviousFile : cmd::kNextFile);
        return;
    }
    const bool away = delta > 0;
    Link().viewerCommand(away != app.settings.app.wheelRev ? cmd::kZoomMinus10 : cmd::kZoomPlus10);
}

// Left button: Ctrl starts an area selection inside the image (any press in full screen when
// FSAreaZm is on); a plain drag in the Viewer mode moves the window.
struct LeftDrag {
    bool selecting = false;
    bool pressed = false;
    POINT anchor{}, current{};
    bool drawn = false;
};

LeftDrag& Drag() {
    static LeftDrag drag;
    return drag;
}

POINT ClampToImage(POINT p) {
    const ViewState& v = View();
    p.x = std::clamp<LONG>(p.x, v.x.dest, v.x.dest + v.x.destSize - 1);
    p.y = std::clamp<LONG>(p.y, v.y.dest, v.y.dest + v.y.destSize - 1);
    return p;
}

// The inverted rectangle of the selection (drawing it twice erases it).
void InvertSelection(HWND hwnd, const LeftDrag& d) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, std::min(d.anchor.x, d.current.x), std::min(d.anchor.y, d.current.y),
              std::max(d.anchor.x, d.current.x) + 1, std::max(d.anchor.y, d.current.y) + 1);
    SelectObject(dc, oldBrush);
    ReleaseDC(hwnd, dc);
}

void OnLeftDown(HWND hwnd, POINT p, WPARAM keys) {
    const AppState& app = App();
    Viewer().altMenu = false;
    if (keys & MK_RBUTTON) {
        Viewer().chord = true;
        return;
    }
    LeftDrag& d = Drag();
    d = LeftDrag{};
    d.anchor = d.current = p;
    const ViewState& v = View();
    const bool inside = p.x >= v.x.dest && p.x < v.x.dest + v.x.destSize && p.y >= v.y.dest &&
                        p.y < v.y.dest + v.y.destSize;
    const bool wantsArea = (keys & MK_CONTROL) ||
                           (app.displayMode == kModeFullScreen && app.settings.viewer.fsAreaZm);
    if (Current().Loaded() && wantsArea && inside) {
        d.selecting = true;
        SetCapture(hwnd);
        return;
    }
    d.pressed = app.displayMode == kModeViewer;
}

void OnLeftMove(HWND hwnd, POINT p) {
    LeftDrag& d = Drag();
    if (d.selecting) {
        if (d.drawn) InvertSelection(hwnd, d);
        d.current = ClampToImage(p);
        InvertSelection(hwnd, d);
        d.drawn = true;
    } else if (d.pressed && std::abs(p.x - d.anchor.x) + std::abs(p.y - d.anchor.y) > 2) {
        d.pressed = false;
        if (App().cursors.windowMove) SetCursor(App().cursors.windowMove);
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_MOVE | 2, 0);  // the system drags the window
    }
}

void RunChordAction(HWND hwnd);

void OnLeftUp(HWND hwnd) {
    if (Viewer().chord) {
        RunChordAction(hwnd);
        return;
    }
    const LeftDrag d = Drag();
    Drag() = LeftDrag{};
    if (!d.selecting) return;
    if (d.drawn) InvertSelection(hwnd, d);
    ReleaseCapture();
    int boxW = View().clientW, boxH = View().clientH;
    const bool viewerMode = App().displayMode == kModeViewer;
    if (viewerMode) ViewerFitBox(hwnd, boxW, boxH);
    if (!ApplyAreaZoom(View(), d.anchor.x, d.anchor.y, d.current.x, d.current.y, boxW, boxH)) return;
    ChooseStretchMode(hwnd);
    if (viewerMode) WindowFit(hwnd);
    else View().Layout();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateCaption();
}

// The cursor that shows where the view can still move.
HCURSOR PanCursor() {
    const ViewState& v = View();
    const int id = PanCursorResource(PanAxisState(v.x, v.imageW), PanAxisState(v.y, v.imageH));
    HCURSOR c = id ? App().cursors.pan[id - IDC_PAN_FIRST] : nullptr;
    return c ? c : App().cursors.arrow;
}

void MoveNavigationToView() {
    const ViewState& v = View();
    MoveNavigationRect(v.x.src, v.y.src, v.x.srcSize, v.y.srcSize);
}

// Right press: panning starts once the pointer has moved.
void OnRightDown(HWND hwnd, POINT p, WPARAM keys) {
    ViewerState& vs = Viewer();
    StopSlideshow();
    if (keys & MK_LBUTTON) {
        vs.chord = true;
        Drag().pressed = false;
    }
    vs.drag = kDragPressed;
    vs.dragPoint = p;
    App().mouseOperation = true;
    ShowPointer();
    SetCapture(hwnd);
}

// Moves the view against the pointer's movement (doubled for pictures larger than the screen).
void PanBy(HWND hwnd, int mx, int my) {
    ViewState& v = View();
    const int factor = 1 << v.scrollShift;
    const int dx = ScrollAxis(v.x, v.imageW, v.clientW, v.zoom, mx * factor);
    const int dy = ScrollAxis(v.y, v.imageH, v.clientH, v.zoom, my * factor);
    if (dx || dy) ScrollWindowEx(hwnd, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    SetCursor(PanCursor());
    MoveNavigationToView();
}

void OnRightMove(HWND hwnd, POINT p) {
    ViewerState& vs = Viewer();
    const ViewState& v = View();
    if (vs.drag == kDragPressed) {
        if (std::abs(p.x - vs.dragPoint.x) + std::abs(p.y - vs.dragPoint.y) < 3) return;
        const bool fits = !Current().Loaded() || (v.DisplayedW() <= v.clientW && v.DisplayedH() <= v.clientH);
        if (fits) {
            vs.drag = kDragNothing;
            SetCursor(App().cursors.no);
            return;
        }
        vs.drag = kDragPanning;
        if (App().settings.viewer.sthMode == 4) {
            HDC dc = GetDC(hwnd);
            SetStretchBltMode(dc, COLORONCOLOR);  // fast while the picture moves
            ReleaseDC(hwnd, dc);
        }
        if (ViewWantsNavigation(v.clientW, v.clientH)) {
            ShowNavigation(hwnd);
            MoveNavigationToView();
        }
    }
    if (vs.drag != kDragPanning) return;
    PanBy(hwnd, vs.dragPoint.x - p.x, vs.dragPoint.y - p.y);
    vs.dragPoint = p;
}

// Halftone again, a full repaint, no navigation window.
void EndPan(HWND hwnd) {
    ChooseStretchMode(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
    HideNavigation();
}

void OnRightUp(HWND hwnd, POINT p) {
    ViewerState& vs = Viewer();
    if (vs.chord) {
        RunChordAction(hwnd);
        SetToolbarStrip(false);
        return;
    }
    const int state = vs.drag;
    vs.drag = kDragNone;
    App().mouseOperation = false;
    if (GetCapture() == hwnd && !Drag().selecting) ReleaseCapture();
    SetToolbarStrip(false);
    switch (state) {
    case kDragPressed: {
        POINT screen = p;
        ClientToScreen(hwnd, &screen);
        ShowContextMenu(screen);
        break;
    }
    case kDragPanning:
        EndPan(hwnd);
        SetCursor(App().cursors.arrow);
        break;
    case kDragNothing:
        SetCursor(App().cursors.arrow);
        break;
    }
}

// Another window took the mouse: the drag ends where it is.
void OnCaptureLost(HWND hwnd) {
    ViewerState& vs = Viewer();
    if (vs.drag == kDragPanning) EndPan(hwnd);
    vs.drag = kDragNone;
    App().mouseOperation = false;
    LeftDrag& d = Drag();
    if (d.selecting && d.drawn) InvertSelection(hwnd, d);
    d = LeftDrag{};
}

// Both buttons: the LRClick action instead of either button's own effect.
void RunChordAction(HWND hwnd) {
    ViewerState& vs = Viewer();
    vs.chord = false;
    LeftDrag& d = Drag();
    if (d.selecting && d.drawn) InvertSelection(hwnd, d);
    d = LeftDrag{};
    if (vs.drag == kDragPanning) EndPan(hwnd);
    vs.drag = kDragNone;
    App().mouseOperation = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    Link().viewerCommand(MouseActionCommand(App().settings.app.lrClick));
}

// A move with no button: the toolbar strip drops in at the top edge and goes away once the
// pointer leaves it; a cursor hidden by full screen comes back after a real move.
void OnPlainMove(POINT p) {
    ViewerState& vs = Viewer();
    if (!vs.appActive) return;
    if (ToolbarStripShown()) {
        SetToolbarStrip(false);
        return;
    }
    if (App().settings.viewer.vtBar && p.y < 10 && View().clientH > 48) {
        SetToolbarStrip(true);
        ShowPointer();
        return;
    }
    if (App().cursorHidden && (std::abs(p.x - vs.hiddenAt.x) > 16 || std::abs(p.y - vs.hiddenAt.y) > 16))
        ShowPointer();
}

// Middle button: at 100 % the fit; otherwise the point under the pointer becomes the centre
// at 100 %.
void OnMiddleButton(int x, int y) {
    if (!Current().Loaded()) return;
    ViewState& v = View();
    if (v.zoom == kZoom100) {
        ZoomCommand(cmd::kFit);
        return;
    }
    v.x.centre = ClientToImage(x, v.x, v.imageW);
    v.y.centre = ClientToImage(y, v.y, v.imageH);
    ZoomCommand(cmd::kZoom100);
}

}  // namespace

bool ViewerGestureActive() { return Viewer().drag != kDragNone || Drag().selecting; }

bool OnViewerMouse(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        // A press during the slideshow only stops it; in full screen a hidden cursor only
        // comes back.
        if (SlideshowRunning()) {
            StopSlideshow();
            return true;
        }
        if (App().displayMode == kModeFullScreen && App().cursorHidden) {
            ShowPointer();
            return true;
        }
        OnLeftDown(hwnd, PointOf(lp), wp);
        return true;
    case WM_MOUSEMOVE:
        SetCaptionTipActive(false);
        if (wp & MK_RBUTTON) OnRightMove(hwnd, PointOf(lp));
        else if (wp & MK_LBUTTON) OnLeftMove(hwnd, PointOf(lp));
        else if (!(wp & MK_MBUTTON)) OnPlainMove(PointOf(lp));
        return true;
    case WM_LBUTTONUP:
        OnLeftUp(hwnd);
        return true;
    case WM_LBUTTONDBLCLK:
        Link().viewerCommand(MouseActionCommand(App().settings.app.dClick));
        return true;
    case WM_RBUTTONDOWN:
        OnRightDown(hwnd, PointOf(lp), wp);
        return true;
    case WM_RBUTTONUP:
        OnRightUp(hwnd, PointOf(lp));
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd) OnCaptureLost(hwnd);
        return true;
    case WM_MBUTTONDOWN:
        if (SlideshowRunning()) {
            StopSlideshow();
            return true;
        }
        if (!ViewerGestureActive()) OnMiddleButton(PointOf(lp).x, PointOf(lp).y);
        return true;
    case WM_MOUSEWHEEL:
        if (!ViewerGestureActive()) OnWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp));
        return true;
    }
    return false;
}

}  // namespace pelio
