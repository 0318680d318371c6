// The histogram correction. Win32.
#include "win/ops/levels_operation.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>

#include "core/ops/tone_operations.h"
#include "core/commands/command_ids.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/image/current_image.h"
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

enum ControlId : int {
    kRadioBlue = 1410,  // 1410..1413: B, G, R, RGB (modes 0..3)
    kRadioAll = 1413,
    kSlash = 1420,
    kMinLabel = 1421,
    kMaxLabel = 1422,
    kMinField = 1430,
    kMaxField = 1431,
    kMinUpDown = 1440,
    kMaxUpDown = 1441,
    kAuto = 1450,
    kWindowSwitch = 1460,
    kGraph = 1470,
    kStrip = 1471,
};

constexpr wchar_t kWindowClass[] = L"Pelio_hgmp_class";
constexpr wchar_t kGraphClass[] = L"Pelio_hgmc_class";
constexpr wchar_t kTitle[] = L"ヒストグラム補正";

// Modes 0..2 correct one channel (blue, green, red), mode 3 all three alike.
constexpr int kAllChannels = kLevelsAllChannels;

struct LevelsData : OperationData {
    ~LevelsData() override {
        if (window) DestroyWindow(window);
    }
    std::atomic<int> mode{kAllChannels};
    std::array<std::atomic<int>, 4> low{}, high{};  // by mode
    LevelsPlan plan;
    std::array<std::array<int, 256>, 4> tops{};
    HWND window = nullptr;
    int hover = 0;  // 0 none, 1 the low marker, 2 the high marker
    bool armed = false;
    POINT press{};
};

// The running histogram correction, kept in the window data of its window and graphs.
OperationContext* ContextOf(HWND hwnd) {
    return reinterpret_cast<OperationContext*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void KeepContext(HWND hwnd, LPARAM createParams) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(createParams)->lpCreateParams));
}

LevelsData& Data(OperationContext& ctx) { return DataOf<LevelsData>(ctx); }
const LevelsData& Data(const OperationContext& ctx) { return DataOf<LevelsData>(ctx); }
int Mode(const OperationContext& ctx) { return Data(ctx).mode; }
int Low(const OperationContext& ctx, int mode) { return Data(ctx).low[size_t(mode)]; }
int High(const OperationContext& ctx, int mode) { return Data(ctx).high[size_t(mode)]; }

// The bounds as they stand, read once.
LevelsBounds Bounds(const OperationContext& ctx) {
    LevelsBounds b;
    b.mode = Mode(ctx);
    for (int m = 0; m < 4; ++m) {
        b.low[size_t(m)] = Low(ctx, m);
        b.high[size_t(m)] = High(ctx, m);
    }
    return b;
}

// A mode's bounds after a change.
void KeepBounds(OperationContext& ctx, const LevelsBounds& b, int mode) {
    Data(ctx).low[size_t(mode)] = b.low[size_t(mode)];
    Data(ctx).high[size_t(mode)] = b.high[size_t(mode)];
}

struct Pens {
    COLORREF bar, marker, upper;
};
constexpr Pens kPens[] = {
    {RGB(144, 144, 255), RGB(255, 0, 0), RGB(255, 192, 192)},
    {RGB(104, 220, 104), RGB(255, 0, 0), RGB(255, 192, 192)},
    {RGB(255, 160, 160), RGB(0, 0, 255), RGB(184, 184, 255)},
    {RGB(144, 144, 144), RGB(255, 0, 0), RGB(255, 192, 192)},
};

void Line(HDC dc, COLORREF colour, int x, int y0, int y1) {
    SetDCPenColor(dc, colour);
    MoveToEx(dc, x, y0, nullptr);
    LineTo(dc, x, y1);
}

void PaintGraph(HWND hwnd, bool strip) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (OperationContext* running = ContextOf(hwnd)) {
        OperationContext& ctx = *running;
        const int mode = std::clamp(Mode(ctx), 0, 3);
        const Pens& pens = kPens[mode];
        const std::array<int, 256>& tops = Data(ctx).tops[size_t(mode)];
        HGDIOBJ old = SelectObject(dc, GetStockObject(DC_PEN));
        if (!strip) {
            for (int x = 0; x < 256; ++x) {
                Line(dc, pens.bar, x, 99, tops[size_t(x)]);
                Line(dc, RGB(255, 255, 255), x, tops[size_t(x)], -1);
            }
        } else {
            for (int x = 0; x < 256; ++x) {
                const COLORREF level = mode == 0 ? RGB(0, 0, x) : mode == 1 ? RGB(0, x, 0) : mode == 2 ? RGB(x, 0, 0) : RGB(x, x, x);
                Line(dc, level, x, 7, -1);
            }
        }
        for (int x : {Low(ctx, mode), High(ctx, mode)}) {
            if (strip) {
                Line(dc, pens.marker, x, 7, -1);
            } else {
                const int top = tops[size_t(std::clamp(x, 0, 255))];
                Line(dc, pens.marker, x, 99, top);
                Line(dc, pens.upper, x, top, -1);
            }
        }
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

void RepaintWindow(OperationContext& ctx) {
    HWND w = Data(ctx).window;
    if (!w) return;
    InvalidateRect(GetDlgItem(w, kGraph), nullptr, FALSE);
    InvalidateRect(GetDlgItem(w, kStrip), nullptr, FALSE);
}

HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

void SetField(const OperationContext& ctx, int id, int value) {
    SetWindowTextW(Control(ctx, id), std::to_wstring(value).c_str());
}

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = LevelsWindowProc;
    wc.hInstance = App().instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = LevelsGraphProc;
    wc.hbrBackground = nullptr;
    wc.hCursor = nullptr;
    wc.lpszClassName = kGraphClass;
    RegisterClassExW(&wc);
    registered = true;
}

// Owned by the Edit window itself (not a child of it), so that it stays above the Edit window
// whichever control of it is clicked.
HWND CreateLevelsWindow(OperationContext& ctx) {
    RegisterClasses();
    const POINT corner = RebarBottomLeft();
    RECT rebar{};
    GetWindowRect(EditState().rebar, &rebar);
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                             rebar.right - 272, corner.y, 272, 144, EditState().window, nullptr, App().instance,
                             &ctx);
    if (!w) return nullptr;
    if (HMENU menu = GetSystemMenu(w, FALSE))
        for (UINT item : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, item, MF_BYCOMMAND);
    CreateWindowExW(WS_EX_STATICEDGE, kGraphClass, nullptr, WS_CHILD | WS_VISIBLE, 4, 4, 258, 102, w,
                    reinterpret_cast<HMENU>(kGraph), App().instance, &ctx);
    CreateWindowExW(WS_EX_STATICEDGE, kGraphClass, nullptr, WS_CHILD | WS_VISIBLE, 4, 106, 258, 10, w,
                    reinterpret_cast<HMENU>(kStrip), App().instance, &ctx);
    return w;
}

bool Prepare(OperationContext& ctx) {
    LevelsData* data = NewData<LevelsData>(ctx);
    if (!data) return false;
    PrepareLevels(ctx.work.job, data->plan);
    for (int m = 0; m < 4; ++m) data->tops[size_t(m)] = HistogramBarTops(data->plan.histograms, m);
    const LevelsBounds initial;
    for (int m = 0; m < 4; ++m) KeepBounds(ctx, initial, m);
    return true;
}

// The whole picture from every bound, whatever part the request named: requests collapsed
// into the last one must not leave a channel as an earlier mode made it.
void Compute(OperationContext& ctx, LPARAM) { ApplyLevelsBounds(ctx.work.job, Data(ctx).plan, Bounds(ctx)); }

bool Neutral(const OperationContext& ctx) { return Bounds(ctx).Neutral(); }

void Build(OperationContext& ctx, HWND bar) {
    HWND all = OperationChild(bar, WC_BUTTONW, L"RGB", BS_AUTORADIOBUTTON | WS_GROUP, kRadioAll, 58, 45, 16);
    SendMessageW(all, BM_SETCHECK, BST_CHECKED, 0);
    OperationChild(bar, WC_STATICW, L"/", 0, kSlash, 107, 12, 12);
    const wchar_t* letters[] = {L"B", L"G", L"R"};
    const int x[] = {184, 153, 122};
    for (int i = 0; i < 3; ++i) OperationChild(bar, WC_BUTTONW, letters[i], BS_AUTORADIOBUTTON, kRadioBlue + i, x[i], 30, 16);
    OperationChild(bar, WC_STATICW, L"Min", 0, kMinLabel, 226, 22, 12);
    OperationNumberField(bar, kMinField, kMinUpDown, 249, 0, 254, 0, 3);
    OperationChild(bar, WC_STATICW, L"Max", 0, kMaxLabel, 307, 24, 12);
    OperationNumberField(bar, kMaxField, kMaxUpDown, 332, 1, 255, 255, 3);
    OperationChild(bar, WC_BUTTONW, L"自動設定", BS_PUSHBUTTON, kAuto, 394, 60, 20);
    HWND window = OperationChild(bar, WC_BUTTONW, L"ウィンドウ", BS_AUTOCHECKBOX, kWindowSwitch, 494, 65, 16);
    SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
    Data(ctx).window = CreateLevelsWindow(ctx);
}

void SelectMode(OperationContext& ctx, int mode) {
    const int old = Mode(ctx);
    if (mode == old) return;
    Data(ctx).mode = mode;
    {
        ProgramChange quiet;
        SetField(ctx, kMinField, Low(ctx, mode));
        SetField(ctx, kMaxField, High(ctx, mode));
    }
    RepaintWindow(ctx);
    RequestPreview(old == kAllChannels ? 0 : 1);
}

void StoreLow(OperationContext& ctx, int value) {
    LevelsBounds b = Bounds(ctx);
    b.SetLow(b.mode, value);
    KeepBounds(ctx, b, b.mode);
}

void StoreHigh(OperationContext& ctx, int value) {
    LevelsBounds b = Bounds(ctx);
    b.SetHigh(b.mode, value);
    KeepBounds(ctx, b, b.mode);
}

void AutoSetting(OperationContext& ctx) {
    const int mode = Mode(ctx);
    LevelsBounds b = Bounds(ctx);
    SetAutoLevels(Data(ctx).plan, mode, b);
    KeepBounds(ctx, b, mode);
    {
        ProgramChange quiet;
        SetField(ctx, kMinField, Low(ctx, mode));
        SetField(ctx, kMaxField, High(ctx, mode));
    }
    RepaintWindow(ctx);
    RequestPreview(1);
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    if (id >= kRadioBlue && id <= kRadioAll) {
        if (code == BN_CLICKED) SelectMode(ctx, id - kRadioBlue);
        return;
    }
    if (id == kAuto && code == BN_CLICKED) {
        AutoSetting(ctx);
        return;
    }
    if (id == kWindowSwitch && code == BN_CLICKED) {
        const bool shown = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (Data(ctx).window) ShowWindow(Data(ctx).window, shown ? SW_SHOWNA : SW_HIDE);
        return;
    }
    if (id != kMinField && id != kMaxField) return;
    if (OperationFieldFocus(code, control, id == kMinField ? Low(ctx, Mode(ctx)) : High(ctx, Mode(ctx)))) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(control, text, 16);
        if (id == kMinField) StoreLow(ctx, FieldNumber(text));
        else StoreHigh(ctx, FieldNumber(text));
        RepaintWindow(ctx);
        RequestPreview(1);
        return;
    }
    }
}

// The graph: markers hovered, dragged, or a click that sets a bound.
void OnGraphMouse(HWND hwnd, UINT msg, POINT p) {
    OperationContext* running = ContextOf(hwnd);
    if (!running) return;
    OperationContext& ctx = *running;
    LevelsData& d = Data(ctx);
    const int mode = Mode(ctx);
    const int low = Low(ctx, mode), high = High(ctx, mode);
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!d.armed) {
            d.hover = (low - 3 < p.x && p.x < low + 3) ? 1 : (high - 3 < p.x && p.x < high + 3) ? 2 : 0;
            return;
        }
        if (d.hover == 1) {
            SetField(ctx, kMinField, p.x < 0 ? 0 : std::min<int>(p.x, high - 1));
        } else if (d.hover == 2) {
            SetField(ctx, kMaxField, p.x <= low ? low + 1 : p.x >= 256 ? 255 : p.x);
        } else if (std::abs(p.x - d.press.x) + std::abs(p.y - d.press.y) >= 4) {
            d.armed = false;
            ReleaseCapture();
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        d.armed = true;
        d.press = p;
        SetCapture(hwnd);
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (d.armed) {
            d.armed = false;
            if (d.hover) RequestPreview(1);
            else SetField(ctx, msg == WM_LBUTTONUP ? kMinField : kMaxField, p.x);
        }
        ReleaseCapture();
        return;
    }
}

const OperationKind kLevels = {.code = kOpLevels, .command = cmd::kHistogramCorrection, .title = kTitle,
                               .prepare = Prepare, .build = Build, .compute = Compute, .neutral = Neutral,
                               .control = OnControl};

}  // namespace

const OperationKind* LevelsOperation(int command) { return command == cmd::kHistogramCorrection ? &kLevels : nullptr; }

LRESULT CALLBACK LevelsWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) KeepContext(hwnd, lp);
    if (msg == WM_CLOSE) {
        if (OperationContext* ctx = ContextOf(hwnd))
            SendMessageW(GetDlgItem(ctx->toolbar, kWindowSwitch), BM_SETCHECK, BST_UNCHECKED, 0);
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK LevelsGraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const bool graph = GetDlgCtrlID(hwnd) == kGraph;
    switch (msg) {
    case WM_NCCREATE:
        KeepContext(hwnd, lp);
        break;
    case WM_PAINT:
        PaintGraph(hwnd, !graph);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (graph && ContextOf(hwnd) && Data(*ContextOf(hwnd)).hover && App().cursors.levelsMarker) {
            SetCursor(App().cursors.levelsMarker);
            return TRUE;
        }
        SetCursor(App().cursors.arrow);
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (graph) OnGraphMouse(hwnd, msg, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
