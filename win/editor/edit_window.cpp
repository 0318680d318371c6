// Edit window. Win32.
#include "win/editor/edit_window.h"

#include <commctrl.h>

#include <algorithm>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "win/base/app_state.h"
#include "win/base/class_names.h"
#include "win/base/frame_link.h"
#include "win/base/ini_store.h"
#include "win/base/menus.h"
#include "win/base/monitors.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/running_operation.h"
#include "win/editor/save_panel.h"
#include "win/editor/save_pipeline.h"
#include "win/image/current_image.h"
#include "win/viewer/file_list.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/navigation_window.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

constexpr UINT kRaiseOwnedWindows = WM_APP + 40;

BOOL CALLBACK RaiseIfOwned(HWND w, LPARAM owner) {
    if (GetWindow(w, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(w))
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

// The visible windows `owner` owns (the histogram-correction window) go back above it.
void RaiseOwnedWindows(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), RaiseIfOwned, reinterpret_cast<LPARAM>(owner));
}

ScreenRect MonitorWorkArea(HWND hwnd) {
    RECT r = WorkAreaNearWindow(hwnd);
    return {r.left, r.top, r.right, r.bottom};
}

// Moves the window onto `target`'s monitor when it lies on another one: the size is clamped
// to that monitor's work area and the window centred in it.
void MoveOntoMonitorOf(HWND hwnd, HWND target) {
    if (MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) == MonitorFromWindow(target, MONITOR_DEFAULTTONEAREST))
        return;
    ScreenRect work = MonitorWorkArea(target);
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = std::min<int>(r.right - r.left, work.Width());
    int h = std::min<int>(r.bottom - r.top, work.Height());
    SetWindowPos(hwnd, nullptr, work.left + (work.Width() - w) / 2, work.top + (work.Height() - h) / 2, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnWorkArea(HWND hwnd) {
    if (IsZoomed(hwnd) || IsIconic(hwnd)) return;
    ScreenRect work = MonitorWorkArea(hwnd);
    RECT r;
    GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd, nullptr, work.left + (work.Width() - w) / 2, work.top + (work.Height() - h) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void OnCommand(HWND hwnd, WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    HWND control = reinterpret_cast<HWND>(lp);
    EditWindowState& e = EditState();
    if (control && control == e.zoomField) {
        OnZoomFieldCommand(code);
        return;
    }
    if (control && IsSavePanelControl(id) && GetParent(control) == SavePanelHandle()) {
        if (e.drag == PaneDrag::None) SavePanelControl(id, code, control);
        return;
    }
    if (control && e.operation && e.operation->Control(id, code, control)) return;
    (void)hwnd;
    RunCommand(id);
}

void OnAltRelease() {
    EditWindowState& e = EditState();
    if (e.drag != PaneDrag::None || e.areaZoom || e.operation) return;
    POINT p{0, 0};
    ClientToScreen(e.imagePane, &p);
    ShowContextMenu(p);
}

}  // namespace

EditWindowState& EditState() {
    static EditWindowState state;
    return state;
}

HWND CreateEditWindow() {
    AppState& app = App();
    if (app.edit) return app.edit;
    IniStore store(app.iniPath);
    EditSettings& e = app.settings.edit;
    LoadEditPlacement(store, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                      MonitorWorkArea(app.viewer), e);
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (e.max == 1 ? WS_MAXIMIZE : 0);
    app.edit = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_ACCEPTFILES, kEditClass, L"Pelio", style, e.x, e.y, e.w,
                               e.h, app.viewer, nullptr, app.instance, nullptr);
    if (app.edit) CreateFileListWindows();
    if (app.edit) CreateNavigationWindow(app.edit);
    return app.edit;
}

void ActivateEditWindow() {
    AppState& app = App();
    if (!CreateEditWindow()) return;
    app.displayMode = kModeEdit;
    InstallEditHooks();
    StopSlideshow();
    StopAnimation();
    MoveOntoMonitorOf(app.edit, app.viewer);
    ShowWindow(app.edit, IsZoomed(app.edit) ? SW_SHOWMAXIMIZED : SW_SHOW);
    ShowWindow(app.viewer, SW_HIDE);
    RefreshAfterNewImage(true, false);
    app.dialogOwner = app.edit;
    SetFocus(app.edit);
    SetCommandCaption(cmd::kEditWindow, kMainWindowCaption);
    MoveFileListTo(true);
}

void ActivateViewer() {
    AppState& app = App();
    app.displayMode = kModeViewer;
    RemoveEditHooks();
    DiscardPreview();
    if (app.edit) MoveOntoMonitorOf(app.viewer, app.edit);
    ShowWindow(app.viewer, SW_SHOWNORMAL);
    if (app.edit) ShowWindow(app.edit, SW_HIDE);
    app.dialogOwner = app.viewer;
    LayoutViewerForCurrentImage();
    SetCommandCaption(cmd::kEditWindow, FindCommand(cmd::kEditWindow)->caption);
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
    const int rows = RebarRows();
    if (rows > 0) e.rebarRow = rows;
}

bool EditWindowCommand(int id) {
    EditWindowState& e = EditState();
    AppState& app = App();
    switch (id) {
    case cmd::kCentre:
        CentreOnWorkArea(e.window);
        return true;
    case cmd::kScrollBars:
        ToggleScrollBars();
        return true;
    case cmd::kPanesSideBySide:
    case cmd::kPaneImage:
    case cmd::kPanePreview: {
        // Not while an operation drags on the preview pane.
        if (e.operation && GetCapture() == e.previewPane) return true;
        const PaneMode mode = static_cast<PaneMode>(id - cmd::kPanesSideBySide);
        if (mode != e.paneMode) SetPaneMode(mode);
        else RefreshToolbarStates();
        return true;
    }
    case cmd::kTransformMenu:
    case cmd::kCorrectionMenu:
    case cmd::kToolsMenu:
        OpenDropDownMenu(id);
        return true;
    }
    if (id >= cmd::kBackgroundWhite && id <= cmd::kBackgroundBlack) {
        app.settings.edit.bgColor = id - cmd::kBackgroundWhite;
        RepaintPanes();
        return true;
    }
    return false;
}

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    EditWindowState& e = EditState();
    LRESULT menuResult = 0;
    if (HandleMenuMessage(msg, wp, lp, menuResult)) return menuResult;
    switch (msg) {
    case WM_CREATE:
        e.window = hwnd;
        CreatePanes(hwnd);
        BuildRebar(hwnd);
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) RelayoutPanes(LOWORD(lp), HIWORD(lp), true);
        return 0;
    case WM_HELP:  // F1 where no key of the table claims it
        PostMessageW(App().viewer, WM_COMMAND, cmd::kHelp, 0);
        return TRUE;
    case WM_COPYDATA:
        Link().handover(reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return 1;
    case WM_COMMAND:
        OnCommand(hwnd, wp, lp);
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnRebarNotify(reinterpret_cast<const NMHDR*>(lp), result)) return result;
        break;
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == e.slider) OnZoomSlider();
        else if (lp && e.operation) e.operation->Slider(reinterpret_cast<HWND>(lp), LOWORD(wp));
        return 0;
    case WM_VSCROLL:
        if (lp && !(e.operation && e.operation->UpDown(reinterpret_cast<HWND>(lp), LOWORD(wp))))
            OnPanelUpDown(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, RGB(236, 237, 240));
        SetBkMode(dc, OPAQUE);
        static HBRUSH rebarBrush = CreateSolidBrush(RGB(236, 237, 240));
        return reinterpret_cast<LRESULT>(rebarBrush);
    }
    case WM_MOUSEWHEEL:
        OnEditWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp));
        return 0;
    case WM_DROPFILES:
        OnEditDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case kPressDropDownMessage:
        PressDropDownButton(static_cast<int>(wp));
        return 0;
    case WM_EXITMENULOOP:
        OnMenuLoopEnd();
        break;
    case WM_SYSKEYUP:
        if (wp == VK_MENU) {
            OnAltRelease();
            return 0;
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        SetFocus(hwnd);
        break;
    case WM_SETFOCUS:
        if (e.imagePane && GetFocus() == hwnd) return 0;
        break;
    case WM_ACTIVATE:
        // Some window managers raise the activated window above the windows it owns; they are
        // put back on top once the activation is done.
        if (LOWORD(wp) != WA_INACTIVE) PostMessageW(hwnd, kRaiseOwnedWindows, 0, 0);
        break;
    case kRaiseOwnedWindows:
        RaiseOwnedWindows(hwnd);
        return 0;
    case WM_SETCURSOR:
        // Children ask here first: a long preview shows the wait cursor all over the window.
        if (EditState().operation && EditState().operation->PreviewBusy()) {
            SetCursor(App().cursors.wait);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Closing the Edit window ends the program through the Viewer window.
        if (EditState().operation) EditState().operation->Abort();
        RemoveEditHooks();
        SendMessageW(App().viewer, WM_CLOSE, 0, 0);
        if (IsWindow(hwnd) && App().displayMode == kModeEdit) InstallEditHooks();  // close was cancelled
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
