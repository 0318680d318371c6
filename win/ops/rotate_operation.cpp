// Arbitrary-angle rotation. Win32.
#include "win/ops/rotate_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <new>
#include <string>

#include "core/commands/command_ids.h"
#include "core/ops/edit_results.h"
#include "core/ops/rotate.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/colour_box.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/image/allocators.h"
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

constexpr int kAngleLabel = 1310, kColourLabel = 1311, kSlider = 1320, kField = 1330, kUpDown = 1340, kGrid = 1350,
              kHorizontalLine = 1360, kVerticalLine = 1361, kColourBox = 1370;
constexpr wchar_t kSection[] = L"ImgS";
constexpr int kGridStep = 32;

struct RotateData : OperationData {
    std::atomic<int> angle{0};            // stored form, 0 … 3599
    std::atomic<uint32_t> background{0};  // 0x00BBGGRR
    bool grid = true;
    LineMode lineMode = LineMode::Horizontal;
    bool drawing = false;  // a line is being drawn
    POINT lineStart{}, lineEnd{};
    HPEN dotted = nullptr;
};

RotateData& Data(OperationContext& ctx) { return DataOf<RotateData>(ctx); }
const RotateData& Data(const OperationContext& ctx) { return DataOf<RotateData>(ctx); }
HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

bool Prepare(OperationContext& ctx) {
    RotateData* d = NewData<RotateData>(ctx);
    if (!d) return false;
    IniStore store(App().iniPath);
    d->grid = store.ReadInt(kSection, L"TurGrid", 1) & 1;
    d->lineMode = static_cast<LineMode>(store.ReadInt(kSection, L"TurVLine", 0) & 1);
    const int red = store.ReadInt(kSection, L"TurBgR", 255) & 255, green = store.ReadInt(kSection, L"TurBgG", 255) & 255,
              blue = store.ReadInt(kSection, L"TurBgB", 255) & 255;
    d->background = uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16;
    d->dotted = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    return d->dotted != nullptr;
}

void Finish(OperationContext& ctx) {
    RotateData& d = Data(ctx);
    if (GetCapture() == EditState().previewPane) ReleaseCapture();
    IniStore store(App().iniPath);
    store.WriteInt(kSection, L"TurGrid", d.grid);
    store.WriteInt(kSection, L"TurVLine", static_cast<int>(d.lineMode));
    const uint32_t bg = d.background;
    store.WriteInt(kSection, L"TurBgR", int(bg & 255));
    store.WriteInt(kSection, L"TurBgG", int(bg >> 8 & 255));
    store.WriteInt(kSection, L"TurBgB", int(bg >> 16 & 255));
    if (d.dotted) DeleteObject(d.dotted);
    d.dotted = nullptr;
}

void Compute(OperationContext& ctx, LPARAM) {
    const RotateData& d = Data(ctx);
    RotatePreview(ctx.work.job, d.angle, d.background);
}

bool Neutral(const OperationContext& ctx) { return Data(ctx).angle == 0; }

void Repaint() { InvalidateRect(EditState().previewPane, nullptr, FALSE); }

// The background colour box: the colour dialog on a click, then a new preview.
constexpr ColourBoxBehaviour kBackgroundBox = {
    [](const void* owner) {
        return static_cast<COLORREF>(Data(*static_cast<const OperationContext*>(owner)).background.load());
    },
    [](HWND box, void* owner) {
        RotateData& d = Data(*static_cast<OperationContext*>(owner));
        COLORREF colour = static_cast<COLORREF>(d.background.load());
        if (!ChooseColourDialog(EditState().window, colour)) return;
        d.background = static_cast<uint32_t>(colour);
        InvalidateRect(box, nullptr, TRUE);
        RequestPreview();
    },
};

void Build(OperationContext& ctx, HWND bar) {
    const RotateData& d = Data(ctx);
    OperationChild(bar, WC_STATICW, L"角度", 0, kAngleLabel, 58, 26, 12);
    OperationSliderControl(bar, kSlider, 85, 220, -kAngleLimit, kAngleLimit, 10);
    HWND field = OperationTextField(bar, kField, 306, 62, 6, L"0.0");
    // The up-down only reports: the angle's text is written by the notifications.
    HWND upDown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                                  0, 0, 0, 0, bar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUpDown)),
                                  App().instance, nullptr);
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
    SendMessageW(upDown, UDM_SETRANGE32, -kAngleLimit, kAngleLimit);
    SendMessageW(upDown, UDM_SETPOS32, 0, 0);
    HWND grid = OperationChild(bar, WC_BUTTONW, L"グリッド", BS_AUTOCHECKBOX, kGrid, 380, 52, 16);
    SendMessageW(grid, BM_SETCHECK, d.grid ? BST_CHECKED : BST_UNCHECKED, 0);
    // Each control after the previous one's fitted text.
    HWND horizontal = OperationChild(bar, WC_BUTTONW, L"水平線指定", BS_AUTORADIOBUTTON | WS_GROUP, kHorizontalLine,
                                     OperationNextX(grid, 444), 80, 16);
    HWND vertical = OperationChild(bar, WC_BUTTONW, L"垂直線指定", BS_AUTORADIOBUTTON, kVerticalLine,
                                   OperationNextX(horizontal, 525), 80, 16);
    SendMessageW(d.lineMode == LineMode::Vertical ? vertical : horizontal, BM_SETCHECK, BST_CHECKED, 0);
    HWND label = OperationChild(bar, WC_STATICW, L"背景色", 0, kColourLabel, OperationNextX(vertical, 617), 38, 12);
    AttachColourBox(OperationChild(bar, L"Pelio_cbox_class", nullptr, WS_BORDER, kColourBox,
                                   OperationNextX(label, 656) - 3, 18, 18),
                    kBackgroundBox, &ctx);
}

// The field's text through the angle rule: a changed angle moves the slider and the up-down
// and asks for a preview.
void OnFieldChange(OperationContext& ctx, HWND field) {
    wchar_t text[8] = L"";
    GetWindowTextW(field, text, 8);
    const int tenths = ParseAngleField(text);
    RotateData& d = Data(ctx);
    if (StoredAngle(tenths) == d.angle) return;
    {
        ProgramChange quiet;
        SendMessageW(Control(ctx, kUpDown), UDM_SETPOS32, 0, tenths);
        SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, tenths);
    }
    d.angle = StoredAngle(tenths);
    RequestPreview();
}

void WriteDegrees(const OperationContext& ctx, double degrees) {
    SetWindowTextW(Control(ctx, kField), DegreesText(degrees).c_str());
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    RotateData& d = Data(ctx);
    switch (id) {
    case kField:
        if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
            RebarFieldFocus(control, code == EN_SETFOCUS);
            if (code == EN_KILLFOCUS) {
                ProgramChange quiet;
                SetWindowTextW(control, StoredAngleText(d.angle).c_str());
            }
        } else if (code == EN_CHANGE) {
            OnFieldChange(ctx, control);
        }
        return;
    case kGrid:
        if (code != BN_CLICKED) return;
        d.grid = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        Repaint();
        return;
    case kHorizontalLine:
    case kVerticalLine:
        if (code == BN_CLICKED) d.lineMode = id == kVerticalLine ? LineMode::Vertical : LineMode::Horizontal;
        return;
    }
}

void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code == TB_ENDTRACK) return;
    WriteDegrees(ctx, static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) / 10.0);
}

void OnUpDown(OperationContext& ctx, HWND upDown, int code) {
    if (code != SB_THUMBPOSITION && code != SB_ENDSCROLL) return;
    WriteDegrees(ctx, static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0)) / 10.0);
}

// The line being drawn, in the inverting mode: drawn twice it is gone.
void InvertLine(const RotateData& d) {
    HDC dc = GetDC(EditState().previewPane);
    const int mode = SetROP2(dc, R2_NOT);
    MoveToEx(dc, d.lineStart.x, d.lineStart.y, nullptr);
    LineTo(dc, d.lineEnd.x, d.lineEnd.y);
    SetROP2(dc, mode);
    ReleaseDC(EditState().previewPane, dc);
}

bool OnPaneMouse(OperationContext& ctx, UINT msg, WPARAM, POINT p) {
    RotateData& d = Data(ctx);
    HWND pane = EditState().previewPane;
    switch (msg) {
    case WM_LBUTTONDOWN:
        d.drawing = true;
        d.lineStart = d.lineEnd = p;
        SetCapture(pane);
        if (d.grid) {
            InvalidateRect(pane, nullptr, FALSE);
            UpdateWindow(pane);
        }
        return true;
    case WM_MOUSEMOVE:
        if (!d.drawing) return false;
        InvertLine(d);
        d.lineEnd = p;
        InvertLine(d);
        return true;
    case WM_LBUTTONUP: {
        if (!d.drawing) return false;
        d.drawing = false;
        d.lineEnd = p;
        ReleaseCapture();
        Repaint();
        const std::optional<double> degrees =
            LineToolAngle(d.lineMode, {d.lineStart.x, d.lineStart.y}, {d.lineEnd.x, d.lineEnd.y}, d.angle);
        if (degrees) WriteDegrees(ctx, *degrees);
        return true;
    }
    case WM_CAPTURECHANGED:
        if (d.drawing) {
            d.drawing = false;
            Repaint();
        }
        return false;
    }
    return false;
}

// The grid at every 32 pane pixels, dotted black on a transparent background.
void PaintGrid(OperationContext& ctx, HDC dc) {
    const RotateData& d = Data(ctx);
    if (!d.grid || d.drawing) return;
    RECT r{};
    GetClientRect(EditState().previewPane, &r);
    HGDIOBJ old = SelectObject(dc, d.dotted);
    const int mode = SetBkMode(dc, TRANSPARENT);
    for (int x = kGridStep; x < r.right; x += kGridStep) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, r.bottom);
    }
    for (int y = kGridStep; y < r.bottom; y += kGridStep) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, r.right, y);
    }
    SetBkMode(dc, mode);
    SelectObject(dc, old);
}

// The enlarged picture, rotated with bilinear sampling from the 24-bit source.
bool Result(OperationContext& ctx, Image& out) {
    const RotateData& d = Data(ctx);
    DibAllocator allocator;
    return RotateResult(ctx.work.source, d.angle, d.background, allocator, out);
}

const OperationKind kRotate = {.code = kOpRotate, .command = cmd::kRotate, .title = L"任意角度回転",
                               .prepare = Prepare, .build = Build, .compute = Compute, .neutral = Neutral,
                               .control = OnControl, .slider = OnSlider, .upDown = OnUpDown,
                               .paneMouse = OnPaneMouse, .paneOverlay = PaintGrid, .result = Result,
                               .finish = Finish, .needs = {.works24 = true}};

}  // namespace

const OperationKind* RotateOperation(int command) { return command == cmd::kRotate ? &kRotate : nullptr; }

}  // namespace pelio
