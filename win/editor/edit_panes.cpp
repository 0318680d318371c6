// The Edit window's panes. Win32.
#include "win/editor/edit_panes.h"

#include <algorithm>
#include <cstdlib>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/menus.h"
#include "win/base/message_box.h"
#include "win/base/view_paint.h"
#include "win/editor/colour_pick.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/running_operation.h"
#include "win/editor/save_panel.h"
#include "win/editor/save_pipeline.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/save_prompt.h"
#include "win/shell/shortcuts.h"
#include "win/viewer/file_list.h"
#include "win/viewer/navigation_window.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

constexpr int kScrollStep = 16;  // keyboard scrolling, image pixels
constexpr int kLineStep = 20;    // scroll bar arrows, image pixels

ViewState& View() { return EditState().view; }

HBRUSH PaneBrush() { return BackgroundBrush(App().settings.edit.bgColor); }

HWND VisiblePane() {
    EditWindowState& e = EditState();
    return e.paneMode == PaneMode::PreviewOnly ? e.previewPane : e.imagePane;
}

// The visible pane less its borders: the room before any scroll bar.
void ReadPaneSize() {
    EditWindowState& e = EditState();
    RECT r;
    GetWindowRect(VisiblePane(), &r);
    e.paneW = std::max<int>(0, r.right - r.left - 2 * GetSystemMetrics(SM_CXBORDER));
    e.paneH = std::max<int>(0, r.bottom - r.top - 2 * GetSystemMetrics(SM_CYBORDER));
}

void SetBar(HWND pane, int bar, bool needed, int imageSize, const AxisLayout& axis) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (needed) {
        si.nMax = imageSize - 1;
        si.nPage = static_cast<UINT>(axis.srcSize);
        si.nPos = axis.src;
    }
    SetScrollInfo(pane, bar, &si, TRUE);
}

void UpdateScrollBars() {
    EditWindowState& e = EditState();
    if (!App().settings.edit.scrlBar) return;
    for (HWND pane : {e.imagePane, e.previewPane}) {
        SetBar(pane, SB_HORZ, e.hBar, View().imageW, View().x);
        SetBar(pane, SB_VERT, e.vBar, View().imageH, View().y);
    }
    if (e.viewLocked) EnableScrollBar(e.previewPane, SB_BOTH, ESB_DISABLE_BOTH);
}

// Source and destination rectangles from the zoom and the centre, the scroll bars first
// taking their room when they are on.
void ComputeGeometry() {
    EditWindowState& e = EditState();
    ViewState& v = View();
    e.hBar = e.vBar = false;
    v.clientW = e.paneW;
    v.clientH = e.paneH;
    if (App().settings.edit.scrlBar) {
        const ScrollBarNeed need = ScrollBarsFor(v.DisplayedW(), v.DisplayedH(), e.paneW, e.paneH,
                                                 GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
        e.hBar = need.horizontal;
        e.vBar = need.vertical;
        v.clientW = need.paneW;
        v.clientH = need.paneH;
    }
    v.Layout();
    UpdateScrollBars();
}

// The fit into the pane as it is now, less the scroll bars it shows.
void FitToPane() {
    ViewState& v = View();
    if (v.clientW <= 0 || v.clientH <= 0) {
        ReadPaneSize();
        v.clientW = EditState().paneW;
        v.clientH = EditState().paneH;
    }
    v.zoom = FitZoom(v.imageW, v.imageH, v.clientW, v.clientH);
}

// A new zoom: geometry, repaint and the zoom field.
void ApplyZoom(int zoom) {
    View().zoom = std::clamp(zoom, kZoomMin, kZoomMax);
    ReadPaneSize();
    ComputeGeometry();
    RepaintPanes();
    SetZoomField(View().zoom / 100);
}

// `pixels`: the picture in `source` when known; `generation` tells when it changed.
void PaintPane(HWND pane, HDC source, DisplayCopy& copy, const Image* pixels, uint64_t generation,
               RunningOperation* overlay = nullptr) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(pane, &ps);
    RECT client;
    GetClientRect(pane, &client);
    copy.Paint(dc, client, PaneBrush(), source, pixels, generation, View());
    if (overlay) overlay->PaneOverlay(dc);
    EndPaint(pane, &ps);
}

// Moves the view by image pixels along both axes (clamped); true when it moved.
bool ScrollView(int dx, int dy) {
    ViewState& v = View();
    const int oldX = v.x.src, oldY = v.y.src;
    if (dx) ScrollAxis(v.x, v.imageW, v.clientW, v.zoom, dx);
    if (dy) ScrollAxis(v.y, v.imageH, v.clientH, v.zoom, dy);
    if (v.x.src == oldX && v.y.src == oldY) return false;
    UpdateScrollBars();
    RepaintPanes();
    return true;
}

void OnScrollBar(int bar, int code) {
    ViewState& v = View();
    AxisLayout& axis = bar == SB_HORZ ? v.x : v.y;
    const int imageSize = bar == SB_HORZ ? v.imageW : v.imageH;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(EditState().imagePane, bar, &si);
    int pos = axis.src;
    switch (code) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = imageSize; break;
    default: return;  // the final thumb position and the end of scrolling
    }
    pos = std::clamp(pos, 0, std::max(imageSize - axis.srcSize, 0));
    if (pos == axis.src) return;
    if (bar == SB_HORZ) ScrollView(pos - axis.src, 0);
    else ScrollView(0, pos - axis.src);
}

bool Busy() { return EditState().operation != nullptr; }

void RunMouseAction(int action) { PostMessageW(EditState().window, WM_COMMAND, MouseActionCommand(action), 0); }

// --- right button: hand scrolling, or the context menu on a click -------------------------

POINT ToWindow(HWND pane, LPARAM lp) {
    POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    MapWindowPoints(pane, EditState().window, &p, 1);
    return p;
}

// The hand while the view follows the pointer; the crossed hand when nothing can move.
void SetDragCursor() {
    const CursorSet& c = App().cursors;
    HCURSOR cursor = EditState().drag == PaneDrag::Scrolling ? c.tools[3] : c.toolExtra;
    SetCursor(cursor ? cursor : EditState().drag == PaneDrag::Scrolling ? c.arrow : c.no);
}

void OnRightDown(HWND pane, LPARAM lp) {
    EditWindowState& e = EditState();
    if (GetKeyState(VK_LBUTTON) < 0) e.chord = true;
    e.drag = PaneDrag::Pressed;
    e.dragStart = e.dragLast = ToWindow(pane, lp);
    SetCapture(pane);
}

void OnRightMove(HWND pane, LPARAM lp) {
    EditWindowState& e = EditState();
    const POINT p = ToWindow(pane, lp);
    const ViewState& v = View();
    if (e.drag == PaneDrag::Pressed) {
        if (std::abs(p.x - e.dragStart.x) + std::abs(p.y - e.dragStart.y) < 3) return;
        const bool fits = !Current().Loaded() || (v.DisplayedW() <= v.clientW && v.DisplayedH() <= v.clientH);
        e.drag = fits ? PaneDrag::NothingToScroll : PaneDrag::Scrolling;
        e.dragLast = p;
        SetDragCursor();
        if (!fits && v.clientW > 304 && v.clientH > 304) {
            ShowNavigation(e.window);
            MoveNavigationRect(v.x.src, v.y.src, v.x.srcSize, v.y.srcSize);
        }
        return;
    }
    if (e.drag == PaneDrag::Scrolling) {
        const int shift = v.scrollShift;
        const int dx = (e.dragLast.x - p.x) * (1 << shift), dy = (e.dragLast.y - p.y) * (1 << shift);
        e.dragLast = p;
        if (ScrollView(dx, dy) && NavigationShown()) MoveNavigationRect(v.x.src, v.y.src, v.x.srcSize, v.y.srcSize);
    }
    (void)pane;
}

void OnRightUp(HWND pane, LPARAM lp) {
    EditWindowState& e = EditState();
    const PaneDrag drag = e.drag;
    e.drag = PaneDrag::None;
    ReleaseCapture();
    SetCursor(App().cursors.arrow);
    HideNavigation();
    if (e.chord) {
        e.chord = false;
        RunMouseAction(App().settings.app.lrClick);
        return;
    }
    if (drag == PaneDrag::Pressed) {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(pane, &p);
        ShowContextMenu(p);
    }
}

// --- left button: area zoom on the image pane ---------------------------------------------

void InvertArea(HWND pane) {
    EditWindowState& e = EditState();
    HDC dc = GetDC(pane);
    SetROP2(dc, R2_NOT);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, std::min(e.areaAnchor.x, e.areaCurrent.x), std::min(e.areaAnchor.y, e.areaCurrent.y),
              std::max(e.areaAnchor.x, e.areaCurrent.x) + 1, std::max(e.areaAnchor.y, e.areaCurrent.y) + 1);
    SelectObject(dc, oldBrush);
    ReleaseDC(pane, dc);
}

bool InsideImage(POINT p) {
    const ViewState& v = View();
    return p.x >= v.x.dest && p.x < v.x.dest + v.x.destSize && p.y >= v.y.dest && p.y < v.y.dest + v.y.destSize;
}

void OnLeftDown(HWND pane, POINT p, WPARAM keys) {
    EditWindowState& e = EditState();
    if (keys & MK_RBUTTON) {
        e.chord = true;
        return;
    }
    const bool ctrl = (keys & MK_CONTROL) != 0;
    if (pane != e.imagePane || !Current().Loaded() || Busy()) return;
    if (!(ctrl || App().settings.edit.swAreaZm) || !InsideImage(p)) return;
    e.areaZoom = true;
    e.areaDrawn = false;
    e.areaAnchor = e.areaCurrent = p;
    SetCapture(pane);
}

void OnLeftMove(HWND pane, POINT p) {
    EditWindowState& e = EditState();
    if (!e.areaZoom) return;
    const ViewState& v = View();
    if (e.areaDrawn) InvertArea(pane);
    e.areaCurrent.x = std::clamp<LONG>(p.x, v.x.dest, v.x.dest + v.x.destSize - 1);
    e.areaCurrent.y = std::clamp<LONG>(p.y, v.y.dest, v.y.dest + v.y.destSize - 1);
    InvertArea(pane);
    e.areaDrawn = true;
}

void OnLeftUp(HWND pane) {
    EditWindowState& e = EditState();
    if (e.chord) {
        e.chord = false;
        if (e.drag != PaneDrag::None) {  // the right button is still held: its release is swallowed
            e.drag = PaneDrag::None;
            ReleaseCapture();
        }
        RunMouseAction(App().settings.app.lrClick);
        return;
    }
    if (!e.areaZoom) return;
    e.areaZoom = false;
    if (e.areaDrawn) InvertArea(pane);
    ReleaseCapture();
    ViewState& v = View();
    if (!ApplyAreaZoom(v, e.areaAnchor.x, e.areaAnchor.y, e.areaCurrent.x, e.areaCurrent.y, v.clientW, v.clientH))
        return;
    ApplyZoom(v.zoom);
}

void OnMiddleDown(POINT p) {
    if (!Current().Loaded() || EditState().drag != PaneDrag::None) return;
    ViewState& v = View();
    if (v.zoom == kZoom100) {
        EditZoomCommand(cmd::kFit);
        return;
    }
    v.x.centre = ClientToImage(p.x, v.x, v.imageW);
    v.y.centre = ClientToImage(p.y, v.y, v.imageH);
    ApplyZoom(kZoom100);
}

// The running operation's own use of the preview pane's mouse and cursor (outside a scroll
// drag); true when it took the message.
bool OperationPaneMessage(HWND pane, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    EditWindowState& e = EditState();
    if (!e.operation || e.drag != PaneDrag::None) return false;
    const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        result = 0;
        return e.operation->PaneMouse(msg, wp, p);
    case WM_CAPTURECHANGED:
        e.operation->PaneMouse(msg, wp, p);
        return false;
    case WM_SETCURSOR: {
        if (LOWORD(lp) != HTCLIENT) return false;
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(pane, &at);
        result = TRUE;
        return e.operation->PaneCursor(at);
    }
    }
    return false;
}

LRESULT PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool preview) {
    EditWindowState& e = EditState();
    const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    LRESULT taken = 0;
    if (preview && OperationPaneMessage(hwnd, msg, wp, lp, taken)) return taken;
    switch (msg) {
    case WM_PAINT:
        if (preview && e.operation) {
            std::lock_guard<std::mutex> lock(e.operation->PictureLock());
            PaintPane(hwnd, e.previewMemoryDc, e.previewCopy, &e.operation->Picture(), e.previewGeneration, e.operation);
            return 0;
        }
        if (preview) {
            PaintPane(hwnd, PreviewShown() ? e.previewMemoryDc : nullptr, e.previewCopy, nullptr, e.previewGeneration);
        } else {
            const Image pixels = Current().AsImage();
            PaintPane(hwnd, Current().Loaded() ? Current().memoryDc : nullptr, e.imageCopy, &pixels, Current().generation);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_HSCROLL:
        if (Current().Loaded()) OnScrollBar(SB_HORZ, LOWORD(wp));
        return 0;
    case WM_VSCROLL:
        if (Current().Loaded()) OnScrollBar(SB_VERT, LOWORD(wp));
        return 0;
    case WM_RBUTTONDOWN:
        OnRightDown(hwnd, lp);
        return 0;
    case WM_RBUTTONUP:
        if (e.drag != PaneDrag::None || e.chord) OnRightUp(hwnd, lp);
        return 0;
    case WM_MOUSEMOVE:
        if (e.drag != PaneDrag::None) OnRightMove(hwnd, lp);
        else if (ColourPickMove(hwnd, p)) return 0;
        else OnLeftMove(hwnd, p);
        return 0;
    case WM_LBUTTONDOWN:
        if (ColourPickClick(hwnd, p)) return 0;
        OnLeftDown(hwnd, p, wp);
        return 0;
    case WM_LBUTTONUP:
        OnLeftUp(hwnd);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (!preview && Current().Loaded()) RunMouseAction(App().settings.app.dClick);
        return 0;
    case WM_MBUTTONDOWN:
        OnMiddleDown(p);
        return 0;
    case WM_SETCURSOR:
        if (e.drag == PaneDrag::Scrolling || e.drag == PaneDrag::NothingToScroll) {
            SetDragCursor();
            return TRUE;
        }
        if (ColourPickActive()) return TRUE;
        break;
    case WM_DROPFILES:
        OnEditDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd && e.drag != PaneDrag::None) e.drag = PaneDrag::None;
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK ImagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return PaneProc(hwnd, msg, wp, lp, false);
}

LRESULT CALLBACK PreviewPaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return PaneProc(hwnd, msg, wp, lp, true);
}

void CreatePanes(HWND window) {
    EditWindowState& e = EditState();
    HINSTANCE instance = App().instance;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL;
    e.imagePane = CreateWindowExW(WS_EX_STATICEDGE | WS_EX_ACCEPTFILES, L"Pelio_sch1_class", nullptr, style,
                                  0, 0, 0, 0, window, reinterpret_cast<HMENU>(kImagePaneId), instance, nullptr);
    e.previewPane = CreateWindowExW(WS_EX_STATICEDGE | WS_EX_ACCEPTFILES, L"Pelio_sch2_class", nullptr, style,
                                    0, 0, 0, 0, window, reinterpret_cast<HMENU>(kPreviewPaneId), instance, nullptr);
    if (!App().settings.edit.scrlBar)
        for (HWND pane : {e.imagePane, e.previewPane}) ShowScrollBar(pane, SB_BOTH, FALSE);
    e.imageDc = GetDC(e.imagePane);  // private: kept for the window's life
    SetROP2(e.imageDc, R2_NOT);
    SetStretchBltMode(e.imageDc, COLORONCOLOR);
    e.previewDc = GetDC(e.previewPane);
    SetROP2(e.previewDc, R2_NOT);
    SetBkColor(e.previewDc, RGB(255, 255, 255));
    SetStretchBltMode(e.previewDc, COLORONCOLOR);
    e.previewMemoryDc = CreateCompatibleDC(e.previewDc);
}

void RelayoutPanes(int width, int height, bool recompute) {
    EditWindowState& e = EditState();
    if (!e.imagePane) return;
    const int top = ArrangeRebar(width, height);
    const int paneH = std::max(0, height - top);
    const PaneSplit split = SplitPanes(e.paneMode, width);
    if (split.imageW > 0) MoveWindow(e.imagePane, split.imageX, top, split.imageW, paneH, TRUE);
    if (split.previewW > 0) MoveWindow(e.previewPane, split.previewX, top, split.previewW, paneH, TRUE);
    ShowWindow(e.imagePane, split.imageW > 0 ? SW_SHOWNA : SW_HIDE);
    ShowWindow(e.previewPane, split.previewW > 0 ? SW_SHOWNA : SW_HIDE);
    ReadPaneSize();
    if (Current().Loaded() && recompute) {
        ComputeGeometry();
        RepaintPanes();
    }
}

void RelayoutPanes() {
    RECT r;
    GetClientRect(EditState().window, &r);
    RelayoutPanes(r.right, r.bottom, true);
}

void SetPaneMode(PaneMode mode) {
    EditState().paneMode = mode;
    RelayoutPanes();
    RefreshToolbarStates();
}

void RepaintPanes() {
    EditWindowState& e = EditState();
    for (HWND pane : {e.imagePane, e.previewPane})
        if (pane) InvalidateRect(pane, nullptr, FALSE);
}

void RefreshAfterNewImage(bool refit, bool discardPreview) {
    EditWindowState& e = EditState();
    const AppState& app = App();
    ViewState& v = View();
    e.paneMode = PaneMode::ImageOnly;
    RelayoutPanes();
    const CurrentImage& image = Current();
    if (image.Loaded()) {
        v.imageW = image.width;
        v.imageH = image.height;
        if (refit) {
            if (!app.settings.edit.swZoom) v.zoom = kZoom100;
            v.clientW = e.paneW;
            v.clientH = e.paneH;
            PolicyFit(v, app.settings.edit.swSmall, app.settings.edit.swLarge, e.paneW, e.paneH);
            v.scrollShift = image.width > GetSystemMetrics(SM_CXSCREEN) && image.height > GetSystemMetrics(SM_CYSCREEN);
            v.x.centre = v.imageW / 2;
            v.y.centre = v.imageH / 2;
        }
        ComputeGeometry();
    } else {
        v.imageW = v.imageH = 0;
    }
    InvalidateRect(e.imagePane, nullptr, FALSE);
    if (discardPreview) DiscardPreview();
    SetZoomField(v.zoom / 100);
    RefreshSavePanel();
    RefreshToolbarStates();
    UpdateEditTitle();
    SyncFileList();
}

bool EditZoomCommand(int id) {
    if (!Current().Loaded()) return false;
    ViewState& v = View();
    switch (id) {
    case cmd::kFit:
        FitToPane();
        break;
    case cmd::kZoom100: v.zoom = kZoom100; break;
    case cmd::kZoomIn: v.zoom = ZoomInStep(v.zoom); break;
    case cmd::kZoomOut: v.zoom = ZoomOutStep(v.zoom); break;
    case cmd::kZoomPlus10: v.zoom = ZoomPlusTen(v.zoom); break;
    case cmd::kZoomMinus10: v.zoom = ZoomMinusTen(v.zoom); break;
    case cmd::kZoomToggle:
        if (v.zoom == kZoom100) FitToPane();
        else v.zoom = kZoom100;
        break;
    default:
        if (id < cmd::kZoomPreset1000 || id > cmd::kZoomPreset10) return false;
        v.zoom = ZoomPreset(id - cmd::kZoomPreset1000);
    }
    ApplyZoom(v.zoom);
    return true;
}

bool EditScrollCommand(int id) {
    if (!Current().Loaded()) return false;
    const int step = kScrollStep << View().scrollShift;
    switch (id) {
    case cmd::kScrollLeft: ScrollView(-step, 0); break;
    case cmd::kScrollRight: ScrollView(step, 0); break;
    case cmd::kScrollUp: ScrollView(0, -step); break;
    case cmd::kScrollDown: ScrollView(0, step); break;
    default: return false;
    }
    return true;
}

void SetEditZoomPercent(int percent) {
    if (!Current().Loaded()) return;
    View().zoom = ClampZoomPercent(percent) * 100;
    ReadPaneSize();
    ComputeGeometry();
    RepaintPanes();
}

int EditZoomPercent() { return View().zoom / 100; }

void ToggleScrollBars() {
    EditWindowState& e = EditState();
    bool& on = App().settings.edit.scrlBar;
    on = !on;
    for (HWND pane : {e.imagePane, e.previewPane}) {
        if (!on) ShowScrollBar(pane, SB_BOTH, FALSE);
    }
    RelayoutPanes();
    if (!Current().Loaded())
        for (HWND pane : {e.imagePane, e.previewPane}) ShowScrollBar(pane, SB_BOTH, FALSE);
    RefreshToolbarStates();
}

void OnEditWheel(int delta, WPARAM keys) {
    const EditWindowState& e = EditState();
    const AppState& app = App();
    if (!Current().Loaded() || e.drag != PaneDrag::None || e.editHasFocus) return;
    const bool ctrlOnly = (keys & (MK_CONTROL | MK_SHIFT | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == MK_CONTROL;
    const bool browse = ctrlOnly != app.settings.edit.swWheel;
    if (browse) {
        if (!Busy()) RunCommand(delta > 0 ? cmd::kPreviousFile : cmd::kNextFile);
        return;
    }
    const bool towards = delta < 0;
    RunCommand(towards != app.settings.app.wheelRev ? cmd::kZoomPlus10 : cmd::kZoomMinus10);
}

void OnEditDropFiles(HDROP drop) {
    wchar_t path[MAX_PATH];
    const UINT n = DragQueryFileW(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (Busy() || n == 0 || n >= MAX_PATH) return;
    if (!ReadyToReplaceImage()) return;
    if (App().fileList && IsWindowVisible(App().fileList)) ShowWindow(App().fileList, SW_HIDE);
    const std::wstring target = ResolveShortcut(path);
    if (LoadImageFile(target)) {
        RefreshAfterNewImage(true);
    } else {
        ShowGeneralError(kErrShowImage);
        UpdateEditTitle();
    }
}

POINT PanePointOf(int x, int y) {
    const ViewState& v = View();
    return {ImageToClient(x, v.x), ImageToClient(y, v.y)};
}

void ImagePixelAt(POINT p, int& x, int& y) {
    const ViewState& v = View();
    x = ClientToImage(p.x, v.x, v.imageW);
    y = ClientToImage(p.y, v.y, v.imageH);
}

bool ImagePointAt(POINT p, int& x, int& y) {
    if (!Current().Loaded() || !InsideImage(p)) return false;
    const ViewState& v = View();
    x = ClientToImage(p.x, v.x, v.imageW);
    y = ClientToImage(p.y, v.y, v.imageH);
    return true;
}

}  // namespace pelio
