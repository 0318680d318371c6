// Toolbar strip. Win32.
#include "win/viewer/toolbar_strip.h"

#include <commctrl.h>

#include <iterator>

#include "core/commands/command_ids.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/class_names.h"
#include "win/base/frame_link.h"
#include "win/base/toolbar_support.h"

namespace pelio {

namespace {

constexpr int kSeparatorId = 9901;
constexpr int kWideSpacerId = 9912;
constexpr int kSpacerId = 9911;

struct StripItem {
    int id;
    int image;  // -1 for separators and spacers
    bool fullScreenOnly;
};

// The 25 items in order; images index bitmap 150.
constexpr StripItem kItems[] = {
    {cmd::kOpen, 0, false},
    {kSeparatorId, -1, false},
    {cmd::kFileList, 15, false},
    {kSeparatorId, -1, false},
    {cmd::kTurn270, 1, false},
    {cmd::kTurn90, 2, false},
    {kSeparatorId, -1, false},
    {cmd::kFit, 3, false},
    {cmd::kZoom100, 4, false},
    {cmd::kZoomIn, 5, false},
    {cmd::kZoomOut, 6, false},
    {kSeparatorId, -1, false},
    {cmd::kFirstFile, 7, false},
    {cmd::kPreviousFile, 8, false},
    {cmd::kNextFile, 9, false},
    {cmd::kLastFile, 10, false},
    {kSeparatorId, -1, false},
    {cmd::kSlideshow, 11, false},
    {kSeparatorId, -1, false},
    {cmd::kEditWindow, 22, false},
    {kWideSpacerId, -1, true},
    {kSpacerId, -1, true},
    {cmd::kMinimise, 12, true},
    {cmd::kFullScreen, 13, true},
    {cmd::kExit, 14, true},
};
static_assert(std::size(kItems) == IDB_TOOLBAR_COUNT);

struct StripState {
    HWND viewer = nullptr, strip = nullptr, toolbar = nullptr, caption = nullptr;
    WNDPROC toolbarProc = nullptr;
    HIMAGELIST images = nullptr;
    bool shown = false;
};

StripState& Strip() {
    static StripState state;
    return state;
}

RECT ItemRect(int id) {
    RECT r{};
    const LRESULT index = SendMessageW(Strip().toolbar, TB_COMMANDTOINDEX, id, 0);
    SendMessageW(Strip().toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

// Right presses on the toolbar do nothing; a right release takes the strip away like one on
// the window; a double click on the caption toggles full screen.
LRESULT CALLBACK ToolbarSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_RBUTTONUP:
        SetToolbarStrip(false);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kStripCaptionId && HIWORD(wp) == STN_DBLCLK) {
            Link().viewerCommand(cmd::kFullScreen);
            return 0;
        }
        break;
    }
    return CallWindowProcW(Strip().toolbarProc, hwnd, msg, wp, lp);
}

void AddButtons(HWND toolbar) {
    TBBUTTON buttons[std::size(kItems)]{};
    for (size_t i = 0; i < std::size(kItems); ++i) {
        const StripItem& item = kItems[i];
        TBBUTTON& b = buttons[i];
        b.idCommand = item.id;
        b.iString = -1;
        if (item.image < 0) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = 0;  // the default separator width
        } else {
            b.fsStyle = BTNS_BUTTON;
            b.iBitmap = item.image;
        }
        b.fsState = static_cast<BYTE>(item.fullScreenOnly ? TBSTATE_HIDDEN : TBSTATE_ENABLED);
        if (item.fullScreenOnly && item.image >= 0) b.fsState |= TBSTATE_ENABLED;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
}

}  // namespace

HWND CreateToolbarStrip(HWND viewer) {
    StripState& s = Strip();
    AppState& app = App();
    s.viewer = viewer;
    RECT client;
    GetClientRect(viewer, &client);
    s.strip = CreateWindowExW(0, kViewerBarClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME, -2,
                              -2, client.right + 4, kStripHeight, viewer, reinterpret_cast<HMENU>(kStripId),
                              app.instance, nullptr);
    if (!s.strip) return nullptr;
    s.toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                    CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, client.right, kStripHeight, s.strip,
                                reinterpret_cast<HMENU>(kStripToolbarId), app.instance, nullptr);
    if (!s.toolbar) return s.strip;
    SendMessageW(s.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    s.images = LoadToolbarImages(IDB_TOOLBAR, IDB_TOOLBAR_COUNT);
    SendMessageW(s.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(s.images));
    SendMessageW(s.toolbar, TB_SETINDENT, 1, 0);
    AddButtons(s.toolbar);
    s.toolbarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(s.toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarSubclass)));

    // The caption sits on the toolbar where the wide spacer is; shown in full screen only.
    const RECT after = ItemRect(cmd::kEditWindow);
    s.caption = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_NOTIFY | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                                after.right, 4, 1, 15, s.toolbar, reinterpret_cast<HMENU>(kStripCaptionId),
                                app.instance, nullptr);
    if (s.caption) SendMessageW(s.caption, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
    RefreshToolbarStrip();
    return s.strip;
}

void ReleaseToolbarStrip() {
    StripState& s = Strip();
    if (s.toolbar && s.toolbarProc)
        SetWindowLongPtrW(s.toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.toolbarProc));
    s.toolbarProc = nullptr;
}

void SetToolbarStrip(bool shown) {
    StripState& s = Strip();
    if (!s.strip) return;
    if (shown) {
        RefreshToolbarStrip();
        SetWindowPos(s.strip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    } else if (s.shown) {
        ShowWindow(s.strip, SW_HIDE);
        if (GetActiveWindow() == s.viewer) SetFocus(s.viewer);
    }
    s.shown = shown;
}

bool ToolbarStripShown() { return Strip().shown; }

void ResizeToolbarStrip(int clientW) {
    StripState& s = Strip();
    if (!s.strip) return;
    SetWindowPos(s.strip, nullptr, -2, -2, clientW + 4, kStripHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RefreshToolbarStrip() {
    StripState& s = Strip();
    if (!s.toolbar) return;
    const CommandContext context = Link().commandContext();
    for (const StripItem& item : kItems)
        if (item.image >= 0)
            SendMessageW(s.toolbar, TB_ENABLEBUTTON, item.id, MAKELPARAM(CommandEnabled(item.id, context), 0));
}

void SetToolbarStripFullScreen(bool on, int monitorWidth) {
    StripState& s = Strip();
    if (!s.toolbar) return;
    for (const StripItem& item : kItems)
        if (item.fullScreenOnly) SendMessageW(s.toolbar, TB_HIDEBUTTON, item.id, MAKELPARAM(!on, 0));
    if (!on) {
        if (s.caption) ShowWindow(s.caption, SW_HIDE);
        return;
    }
    const RECT spacer = ItemRect(kSpacerId), edit = ItemRect(cmd::kEditWindow);
    const int spacerW = spacer.right - spacer.left, editW = edit.right - edit.left;
    const int wide = monitorWidth - 4 - spacerW - edit.right - 3 * editW + 1;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(wide > 0 ? wide : 0);
    SendMessageW(s.toolbar, TB_SETBUTTONINFOW, kWideSpacerId, reinterpret_cast<LPARAM>(&info));
    if (s.caption) {
        const RECT start = ItemRect(kWideSpacerId);
        SetWindowPos(s.caption, HWND_TOP, start.left, 4, wide - 1 - spacerW > 0 ? wide - 1 - spacerW : 0, 15,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void SetToolbarStripCaption(const std::wstring& text) {
    if (Strip().caption) SetWindowTextW(Strip().caption, text.c_str());
}

LRESULT CALLBACK ToolbarStripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lp) == Strip().toolbar) Link().viewerCommand(LOWORD(wp));
        return 0;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (FillToolbarTip(lp)) return 0;
        if (hdr->hwndFrom != Strip().toolbar) break;
        if (hdr->code == NM_CUSTOMDRAW) return ToolbarCustomDraw(lp);
        if (hdr->code == NM_LDOWN || hdr->code == NM_RDOWN) SetFocus(Strip().viewer);
        return 0;
    }
    case WM_SIZE:
        if (Strip().toolbar) SetWindowPos(Strip().toolbar, nullptr, 0, 0, LOWORD(lp), HIWORD(lp), SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    case WM_DESTROY: {
        StripState& s = Strip();
        ReleaseToolbarStrip();
        if (s.images) ImageList_Destroy(s.images);
        s = StripState{};
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
