// The Edit window's rebar and toolbars. Win32.
#include "win/editor/edit_toolbars.h"

#include <commctrl.h>
#include <imm.h>
#include <uxtheme.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/view/pane_layout.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/control_keys.h"
#include "win/base/frame_link.h"
#include "win/base/menus.h"
#include "win/base/toolbar_support.h"
#include "win/editor/colour_pick.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/save_panel.h"
#include "win/editor/save_pipeline.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

constexpr COLORREF kRebarColour = RGB(236, 237, 240);
constexpr int kZoomPlaceholderWidth = 219;

struct ButtonRow {
    int id;  // 0: separator
    int image;
    BYTE style;
    const wchar_t* tip;  // the command's name; null for text-only buttons
};

constexpr BYTE kButton = BTNS_BUTTON, kCheckGroup = BTNS_CHECKGROUP;
// In list style every button would take the widest text: each is sized to its own content.
constexpr BYTE kListButton = BTNS_BUTTON | BTNS_AUTOSIZE;
constexpr BYTE kTextDropDown = BTNS_WHOLEDROPDOWN | BTNS_SHOWTEXT | BTNS_AUTOSIZE;

constexpr ButtonRow kCommandButtons[] = {
    {cmd::kOpen, 0, kListButton, L"開く"},
    {cmd::kSaveAs, 17, kListButton, L"名前を付けて保存"},
    {0, 0, BTNS_SEP, nullptr},
    {cmd::kFileList, 15, kListButton, L"ファイルリスト表示"},
    {0, 0, BTNS_SEP, nullptr},
    {cmd::kTransformMenu, I_IMAGENONE, kTextDropDown, nullptr},
    {cmd::kCorrectionMenu, I_IMAGENONE, kTextDropDown, nullptr},
    {cmd::kToolsMenu, I_IMAGENONE, kTextDropDown, nullptr},
};
constexpr const wchar_t* kDropDownLabels[] = {L"変形", L"画質補正", L"ツール"};

constexpr ButtonRow kViewButtons[] = {
    {cmd::kScrollBars, 21, BTNS_CHECK, L"スクロールバー表示"},
    {0, 0, BTNS_SEP, nullptr},
    {cmd::kPanesSideBySide, 18, kCheckGroup, L"並べて表示"},
    {cmd::kPaneImage, 19, kCheckGroup, L"元の画像(ウィンドウ1)"},
    {cmd::kPanePreview, 20, kCheckGroup, L"プレビュー画像(ウィンドウ2)"},
    {0, 0, BTNS_SEP, nullptr},
    {cmd::kFit, 3, kButton, L"画面に合わせて表示"},
    {cmd::kZoom100, 4, kButton, L"等倍表示<100%>"},
    {kZoomPlaceholderId, I_IMAGENONE, kButton, nullptr},
    {0, 0, BTNS_SEP, nullptr},
    {cmd::kEditWindow, 16, kButton, L"メインウィンドウ"},
};
constexpr wchar_t kZoomTip[] = L"表示倍率";

// The submenus the drop-down buttons open.
constexpr int kDropDownMenus[] = {cmd::kTransformSubmenu, cmd::kCorrectionSubmenu, cmd::kToolsSubmenu};

const ButtonRow* FindButton(int id) {
    for (const ButtonRow& row : kCommandButtons)
        if (row.id == id) return &row;
    for (const ButtonRow& row : kViewButtons)
        if (row.id == id) return &row;
    return nullptr;
}

bool IsDropDown(int id) { return id >= cmd::kTransformMenu && id <= cmd::kToolsMenu; }

HWND CreateFlatToolbar(HWND parent, int id, bool list) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                        CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | (list ? TBSTYLE_LIST : 0);
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance, nullptr);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(EditState().window), 0);
    SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(LoadToolbarImages(IDB_TOOLBAR, IDB_TOOLBAR_COUNT)));
    return bar;
}

void AddButtons(HWND bar, const ButtonRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        TBBUTTON b{};
        b.idCommand = rows[i].id;
        b.iBitmap = rows[i].id ? rows[i].image : 0;
        b.fsStyle = rows[i].style;
        b.fsState = TBSTATE_ENABLED;
        if (rows[i].id == kZoomPlaceholderId) b.fsState = 0;
        if (IsDropDown(rows[i].id)) b.iString = reinterpret_cast<INT_PTR>(kDropDownLabels[rows[i].id - cmd::kTransformMenu]);
        SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    }
}

void SetButtonWidth(HWND bar, int id, int width) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(width);
    SendMessageW(bar, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
}

int ToolbarWidth(HWND bar) {
    SIZE size{};
    SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size.cx;
}

RECT ButtonRect(HWND bar, int id) {
    RECT r{};
    SendMessageW(bar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&r));
    return r;
}

// Right presses on a toolbar are swallowed; the children's notifications go to the window.
LRESULT CALLBACK ToolbarSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
        return SendMessageW(EditState().window, msg, wp, lp);
    case WM_COMMAND:
        if (lp && reinterpret_cast<HWND>(lp) != hwnd) return SendMessageW(EditState().window, msg, wp, lp);
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lp)->hwndFrom != reinterpret_cast<HWND>(SendMessageW(hwnd, TB_GETTOOLTIPS, 0, 0)))
            return SendMessageW(EditState().window, msg, wp, lp);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// A right release on the slider opens the zoom menu.
LRESULT CALLBACK SliderSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_RBUTTONUP && Current().Loaded()) {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd, &p);
        TrackPopupMenuEx(ZoomMenuHandle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, EditState().window, nullptr);
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void AddControlTip(HWND bar, HWND control, const wchar_t* text) {
    HWND tips = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    if (!tips) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = bar;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

HWND BuildCommandBar(HWND rebar) {
    HWND bar = CreateFlatToolbar(rebar, kCommandBarId, true);
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    // The labels take their text extent in the UI font (the toolbar's font).
    AddButtons(bar, kCommandButtons, std::size(kCommandButtons));
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

HWND BuildViewBar(HWND rebar) {
    EditWindowState& e = EditState();
    HWND bar = CreateFlatToolbar(rebar, kViewBarId, false);
    AddButtons(bar, kViewButtons, std::size(kViewButtons));
    SetButtonWidth(bar, kZoomPlaceholderId, kZoomPlaceholderWidth);
    const RECT place = ButtonRect(bar, kZoomPlaceholderId);
    const int height = place.bottom - place.top;
    HINSTANCE instance = App().instance;
    e.slider = CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | TBS_NOTICKS | TBS_HORZ,
                               place.left + 3, place.top + (height - 21) / 2, 165, 21, bar,
                               reinterpret_cast<HMENU>(kZoomSliderId), instance, nullptr);
    SendMessageW(e.slider, TBM_SETTHUMBLENGTH, 14, 0);
    SendMessageW(e.slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderMax));
    SendMessageW(e.slider, TBM_SETPAGESIZE, 0, 10);
    e.zoomField = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"100", WS_CHILD | WS_VISIBLE | ES_NUMBER | ES_LEFT,
                                  place.left + 169, place.top + (height - 18) / 2, 50, 18, bar,
                                  reinterpret_cast<HMENU>(kZoomFieldId), instance, nullptr);
    SendMessageW(e.zoomField, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    SendMessageW(e.zoomField, EM_LIMITTEXT, 4, 0);
    e.zoomUpDown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                   WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                   0, 0, 0, 0, bar, reinterpret_cast<HMENU>(kZoomUpDownId), instance, nullptr);
    SendMessageW(e.zoomUpDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(e.zoomField), 0);
    SendMessageW(e.zoomUpDown, UDM_SETRANGE32, 10, 1000);
    SendMessageW(e.zoomUpDown, UDM_SETPOS32, 0, 100);
    SetWindowSubclass(e.slider, SliderSubclass, 1, 0);
    AddControlTip(bar, e.slider, kZoomTip);
    AddControlTip(bar, e.zoomField, kZoomTip);
    return bar;
}

void AddBand(HWND rebar, int id, HWND child, UINT style, int minWidth, int width, const wchar_t* text) {
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_HEADERSIZE |
                 (text ? RBBIM_TEXT : 0);
    band.fStyle = style;
    band.hwndChild = child;
    band.cxMinChild = static_cast<UINT>(minWidth);
    band.cyMinChild = 24;
    band.cx = static_cast<UINT>(width);
    band.wID = static_cast<UINT>(id);
    band.cxHeader = text ? 0 : 3;
    band.lpText = const_cast<wchar_t*>(text);
    SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

void SetEnabled(HWND bar, int id, bool on) { SendMessageW(bar, TB_ENABLEBUTTON, id, MAKELPARAM(on, 0)); }
void SetChecked(HWND bar, int id, bool on) { SendMessageW(bar, TB_CHECKBUTTON, id, MAKELPARAM(on, 0)); }

// --- drop-down menus and their sliding -----------------------------------------------------

int DropDownUnder(POINT screen) {
    HWND bar = EditState().commandBar;
    POINT p = screen;
    ScreenToClient(bar, &p);
    for (int id = cmd::kTransformMenu; id <= cmd::kToolsMenu; ++id) {
        RECT r = ButtonRect(bar, id);
        if (PtInRect(&r, p)) return id;
    }
    return -1;
}

LRESULT CALLBACK MenuFilterHook(int code, WPARAM wp, LPARAM lp) {
    EditWindowState& e = EditState();
    if (code == MSGF_MENU && e.droppedButton >= 0) {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (m->message == WM_MOUSEMOVE) {
            POINT p;
            GetCursorPos(&p);
            const int under = DropDownUnder(p);
            if (under >= 0 && under != e.droppedButton) {
                EndMenu();
                PostMessageW(e.window, kPressDropDownMessage, static_cast<WPARAM>(under), 0);
            }
        }
    }
    return CallNextHookEx(e.filterHook, code, wp, lp);
}

void OpenDropDown(int id) {
    EditWindowState& e = EditState();
    HMENU menu = SubmenuHandle(kDropDownMenus[id - cmd::kTransformMenu]);
    if (!menu) return;
    e.droppedButton = id;
    RECT r = ButtonRect(e.commandBar, id);
    MapWindowPoints(e.commandBar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    SendMessageW(e.commandBar, TB_PRESSBUTTON, id, MAKELPARAM(TRUE, 0));
    TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NOANIMATION | TPM_RIGHTBUTTON, r.left, r.bottom,
                     e.window, nullptr);
    SendMessageW(e.commandBar, TB_PRESSBUTTON, id, MAKELPARAM(FALSE, 0));
    e.droppedButton = -1;
}

// Tab-bar-like enter key: validate the focused panel field, then preview; operations take
// Enter/Esc as confirm/abort; Esc ends the colour pick.
LRESULT CALLBACK KeyboardHook(int code, WPARAM wp, LPARAM lp) {
    EditWindowState& e = EditState();
    const bool pressed = (lp & 0x80000000) == 0;
    if (code == HC_ACTION && pressed && (e.editHasFocus || ColourPickActive() || e.operation) &&
        !FocusedControlOwnsKey(wp)) {
        if (wp == VK_RETURN && !ColourPickActive()) {
            if (e.operation) {
                PostMessageW(e.window, WM_COMMAND, cmd::kConfirmOperation, 0);
                return 1;
            }
            if (ValidateFocusedPanelField()) {
                PostMessageW(e.window, WM_COMMAND, cmd::kSavePreview, 0);
                return 1;
            }
        }
        if (wp == VK_ESCAPE) {
            if (ColourPickActive()) CancelColourPick();
            else if (e.operation) PostMessageW(e.window, WM_COMMAND, cmd::kAbortOperation, 0);
            else return CallNextHookEx(e.keyboardHook, code, wp, lp);
            return 1;
        }
    }
    return CallNextHookEx(e.keyboardHook, code, wp, lp);
}

}  // namespace

void BuildRebar(HWND window) {
    EditWindowState& e = EditState();
    e.rebar = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                  RBS_BANDBORDERS | RBS_FIXEDORDER | RBS_DBLCLKTOGGLE | RBS_VARHEIGHT | CCS_NODIVIDER,
                              0, 0, 0, 0, window, reinterpret_cast<HMENU>(kRebarId), App().instance, nullptr);
    SetWindowTheme(e.rebar, L"", L"");
    SendMessageW(e.rebar, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    SendMessageW(e.rebar, RB_SETBKCOLOR, 0, kRebarColour);
    REBARINFO info{};
    info.cbSize = sizeof info;
    SendMessageW(e.rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    e.commandBar = BuildCommandBar(e.rebar);
    e.viewBar = BuildViewBar(e.rebar);
    HWND panel = BuildSavePanel(e.rebar);
    for (HWND bar : {e.commandBar, e.viewBar, panel}) ForwardToolbarChildren(bar);

    const int commandWidth = ToolbarWidth(e.commandBar), viewWidth = ToolbarWidth(e.viewBar);
    AddBand(e.rebar, kCommandBarId, e.commandBar, RBBS_NOGRIPPER | RBBS_CHILDEDGE, commandWidth, commandWidth + 7, nullptr);
    AddBand(e.rebar, kViewBarId, e.viewBar, RBBS_NOGRIPPER | RBBS_CHILDEDGE, viewWidth + 4, viewWidth + 11, nullptr);
    const UINT breakStyle = App().settings.edit.rebarRow == 2 ? RBBS_BREAK : 0;
    AddBand(e.rebar, kSavePanelBandId, panel, RBBS_CHILDEDGE | breakStyle, 780, 780, kSavePanelBandText);
}

int RebarRows() { return EditState().rebar ? static_cast<int>(SendMessageW(EditState().rebar, RB_GETROWCOUNT, 0, 0)) : 0; }

int ArrangeRebar(int width, int height) {
    HWND rebar = EditState().rebar;
    if (!rebar) return 0;
    SendMessageW(rebar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    const int rows = RebarRows();
    if (rows == 1) SendMessageW(rebar, RB_MAXIMIZEBAND, 2, TRUE);
    else if (rows == 2) SendMessageW(rebar, RB_MAXIMIZEBAND, 1, TRUE);
    RECT r;
    GetWindowRect(rebar, &r);
    return r.bottom - r.top;
}

POINT RebarBottomLeft() {
    RECT r{};
    if (EditState().rebar) GetWindowRect(EditState().rebar, &r);
    return {r.left, r.bottom};
}

void SetZoomField(int percent) {
    EditWindowState& e = EditState();
    if (!e.zoomField) return;
    e.settingZoomField = true;
    SetWindowTextW(e.zoomField, std::to_wstring(percent).c_str());
    SendMessageW(e.slider, TBM_SETPOS, TRUE, ZoomPercentToSlider(percent));
    e.settingZoomField = false;
}

void RefreshToolbarStates() {
    EditWindowState& e = EditState();
    if (!e.commandBar) return;
    const CommandContext context = Link().commandContext();
    for (int id : {cmd::kSaveAs, cmd::kFileList, cmd::kTransformMenu, cmd::kCorrectionMenu})
        SetEnabled(e.commandBar, id, CommandEnabled(id, context));
    for (int id : {cmd::kFit, cmd::kZoom100, cmd::kEditWindow}) SetEnabled(e.viewBar, id, CommandEnabled(id, context));
    SetChecked(e.viewBar, cmd::kScrollBars, App().settings.edit.scrlBar);
    for (int i = 0; i < 3; ++i) SetChecked(e.viewBar, cmd::kPanesSideBySide + i, static_cast<int>(e.paneMode) == i);
    EnableWindow(e.viewBar, !e.viewLocked);
    for (HWND control : {e.slider, e.zoomField, e.zoomUpDown}) EnableWindow(control, context.imageLoaded && !e.viewLocked);
    if (e.previewPane) EnableScrollBar(e.previewPane, SB_BOTH, e.viewLocked ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
}

bool OnRebarNotify(const NMHDR* h, LRESULT& result) {
    EditWindowState& e = EditState();
    switch (h->code) {
    case RBN_HEIGHTCHANGE:
        if (h->hwndFrom == e.rebar) RelayoutPanes();
        result = 0;
        return true;
    case TBN_DROPDOWN: {
        const auto* tb = reinterpret_cast<const NMTOOLBARW*>(h);
        if (h->hwndFrom != e.commandBar || !IsDropDown(tb->iItem)) return false;
        PostMessageW(e.window, WM_COMMAND, static_cast<WPARAM>(tb->iItem), 0);
        result = TBDDRET_DEFAULT;
        return true;
    }
    case TTN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(h));
        if (info->uFlags & TTF_IDISHWND) return false;
        static std::wstring text;
        text = EditToolbarTip(static_cast<int>(h->idFrom));
        info->lpszText = text.empty() ? nullptr : text.data();
        result = 0;
        return !text.empty();
    }
    case NM_CUSTOMDRAW:
        if (h->hwndFrom != e.commandBar && h->hwndFrom != e.viewBar && h->hwndFrom != SavePanelHandle()) return false;
        result = ToolbarCustomDraw(reinterpret_cast<LPARAM>(h));
        return true;
    }
    return false;
}

std::wstring EditToolbarTip(int id) {
    if (const ButtonRow* row = FindButton(id); row && row->tip) return TipWithShortcut(row->tip, id, App().accelTable);
    return SavePanelTipText(id);
}

void OnZoomSlider() {
    EditWindowState& e = EditState();
    if (e.settingZoomField || !Current().Loaded()) return;
    const int position = static_cast<int>(SendMessageW(e.slider, TBM_GETPOS, 0, 0));
    const int percent = SliderToZoomPercent(position);
    if (percent != EditZoomPercent()) SetWindowTextW(e.zoomField, std::to_wstring(percent).c_str());
}

void OnZoomFieldCommand(int code) {
    EditWindowState& e = EditState();
    switch (code) {
    case EN_SETFOCUS:
        RebarFieldFocus(e.zoomField, true);
        return;
    case EN_KILLFOCUS:
        RebarFieldFocus(e.zoomField, false);
        SetZoomField(EditZoomPercent());
        return;
    case EN_CHANGE: {
        if (e.settingZoomField || !Current().Loaded()) return;
        wchar_t text[16] = L"";
        GetWindowTextW(e.zoomField, text, 16);
        const int percent = ClampZoomPercent(_wtoi(text));
        e.settingZoomField = true;
        SendMessageW(e.slider, TBM_SETPOS, TRUE, ZoomPercentToSlider(percent));
        e.settingZoomField = false;
        if (percent != EditZoomPercent()) SetEditZoomPercent(percent);
        return;
    }
    }
}

void PressDropDownButton(int id) {
    EditWindowState& e = EditState();
    if (!IsDropDown(id)) return;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(e.commandBar, &p);
    PostMessageW(e.commandBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(e.commandBar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

void OpenDropDownMenu(int id) {
    if (IsDropDown(id)) OpenDropDown(id);
}

void ForwardToolbarChildren(HWND toolbar) { SetWindowSubclass(toolbar, ToolbarSubclass, 1, 0); }

void RebarFieldFocus(HWND field, bool gained) {
    EditState().editHasFocus = gained;
    App().acceleratorsSuspended = gained;
    if (!gained) return;
    if (HIMC context = ImmGetContext(field)) {
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(field, context);
    }
}

void OnMenuLoopEnd() { EditState().droppedButton = -1; }

void InstallEditHooks() {
    EditWindowState& e = EditState();
    const DWORD thread = GetCurrentThreadId();
    if (!e.keyboardHook) e.keyboardHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, thread);
    if (!e.filterHook) e.filterHook = SetWindowsHookExW(WH_MSGFILTER, MenuFilterHook, nullptr, thread);
}

void RemoveEditHooks() {
    EditWindowState& e = EditState();
    if (e.keyboardHook) UnhookWindowsHookEx(e.keyboardHook);
    if (e.filterHook) UnhookWindowsHookEx(e.filterHook);
    e.keyboardHook = e.filterHook = nullptr;
}

}  // namespace pelio
