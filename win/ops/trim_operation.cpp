// Trimming. Win32.
#include "win/ops/trim_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <mutex>
#include <string>

#include "core/commands/command_ids.h"
#include "core/ops/edit_results.h"
#include "core/ops/size_slots.h"
#include "core/ops/trim.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/ops/operation_frame.h"
#include "win/ops/pair_register.h"

namespace pelio {

namespace {

// Fields X1, Y1, X2, Y2 are 1110 … 1113, their up-downs 10 above and statics 20 above.
constexpr int kFirstField = 1110, kFirstUpDown = 1120, kFirstLabel = 1130;
constexpr int kWidthLabel = 1134, kWidthValue = 1135, kHeightLabel = 1136, kHeightValue = 1137, kRatioLabel = 1138,
              kRatioList = 1114;
constexpr wchar_t kSection[] = L"ImgS";
constexpr SizeSlots kDefaultRatios = {SizeSlot{1024, 768}, SizeSlot{1280, 1024}, SizeSlot{1440, 900}};

// Where the mouse is in making the selection.
enum class DragState : int { None = 0, Pressed = 1, Band = 2, Shown = 3, Handle = 4 };

struct TrimData : OperationData {
    SizeSlots ratios{};
    int ratio = 0;  // the list's choice: 0 free, 1 … 8 a slot
    DragState state = DragState::None;
    bool selected = false;  // a selection exists
    TrimRect selection;
    POINT press{};            // pane pixels
    int pressX = 0, pressY = 0;  // image pixels
    TrimDrag drag;
    POINT band{};  // the rubber band's moving corner, pane pixels
    bool bandShown = false;
    POINT cross{};  // the crossing lines before the first press
    bool crossShown = false;
    TrimCentre centre;  // of the selection when a field got the focus
    HPEN dotted = nullptr;
};

TrimData& Data(OperationContext& ctx) { return DataOf<TrimData>(ctx); }
const TrimData& Data(const OperationContext& ctx) { return DataOf<TrimData>(ctx); }
HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }
HWND Pane() { return EditState().previewPane; }
int Width(const OperationContext& ctx) { return ctx.work.picture.Width(); }
int Height(const OperationContext& ctx) { return ctx.work.picture.Height(); }

SizeSlot ChosenRatio(const TrimData& d) { return d.ratio > 0 ? d.ratios[size_t(d.ratio - 1)] : SizeSlot{}; }

std::wstring RatioKey(int slot, wchar_t side) { return L"TrmR" + std::to_wstring(slot) + side; }

bool Prepare(OperationContext& ctx) {
    TrimData* d = NewData<TrimData>(ctx);
    if (!d) return false;
    IniStore store(App().iniPath);
    for (int i = 0; i < kSizeSlotCount; ++i) {
        SizeSlot& slot = d->ratios[size_t(i)];
        slot.width = store.ReadInt(kSection, RatioKey(i + 1, L'W').c_str(), kDefaultRatios[size_t(i)].width);
        slot.height = store.ReadInt(kSection, RatioKey(i + 1, L'H').c_str(), kDefaultRatios[size_t(i)].height);
    }
    const int chosen = store.ReadInt(kSection, L"TrmRSel", 0);
    d->ratio = chosen >= 0 && chosen <= kSizeSlotCount ? chosen : 0;
    d->dotted = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    if (!d->dotted) return false;
    EditState().viewLocked = true;
    return true;
}

void Finish(OperationContext& ctx) {
    ClosePairRegistration();
    TrimData& d = Data(ctx);
    if (GetCapture() == Pane()) ReleaseCapture();
    IniStore store(App().iniPath);
    for (int i = 0; i < kSizeSlotCount; ++i) {
        store.WriteInt(kSection, RatioKey(i + 1, L'W').c_str(), d.ratios[size_t(i)].width);
        store.WriteInt(kSection, RatioKey(i + 1, L'H').c_str(), d.ratios[size_t(i)].height);
    }
    store.WriteInt(kSection, L"TrmRSel", d.ratio);
    if (d.dotted) DeleteObject(d.dotted);
    d.dotted = nullptr;
    EditState().viewLocked = false;
}

void FillRatios(const OperationContext& ctx) {
    HWND list = Control(ctx, kRatioList);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : SlotListItems(Data(ctx).ratios, SlotKind::Ratio))
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(list, CB_SETCURSEL, Data(ctx).ratio, 0);
}

void Build(OperationContext& ctx, HWND bar) {
    const wchar_t* labels[] = {L"X1", L"Y1", L"X2", L"Y2"};
    const int labelX[] = {58, 127, 202, 271}, fieldX[] = {73, 142, 217, 286};
    for (int i = 0; i < 4; ++i) {
        OperationChild(bar, WC_STATICW, labels[i], 0, kFirstLabel + i, labelX[i], 14, 12);
        HWND field = OperationNumberField(bar, kFirstField + i, kFirstUpDown + i, fieldX[i], 0, 32767, 0, 4);
        SetWindowTextW(field, L"");
        EnableWindow(field, FALSE);
        EnableWindow(Control(ctx, kFirstUpDown + i), FALSE);
    }
    OperationChild(bar, WC_STATICW, L"W:", 0, kWidthLabel, 356, 14, 12);
    OperationChild(bar, WC_STATICW, L"", 0, kWidthValue, 371, 28, 12);
    OperationChild(bar, WC_STATICW, L"H:", 0, kHeightLabel, 401, 14, 12);
    OperationChild(bar, WC_STATICW, L"", 0, kHeightValue, 416, 28, 12);
    HWND label = OperationChild(bar, WC_STATICW, L"比率（W:H）", 0, kRatioLabel, 464, 56, 12);
    HWND list = OperationChild(bar, WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | WS_VSCROLL, kRatioList,
                               OperationNextX(label, 521), 80, 400);
    SendMessageW(list, CB_SETEXTENDEDUI, TRUE, 0);
    FillRatios(ctx);
    SendMessageW(bar, TB_ENABLEBUTTON, cmd::kConfirmOperation, MAKELPARAM(FALSE, 0));
}

bool Neutral(const OperationContext& ctx) {
    const TrimData& d = Data(ctx);
    return !d.selected || !TrimChangesPicture(d.selection, Width(ctx), Height(ctx));
}

// The selection's outline on the pane: the columns and rows it is drawn on.
TrimOutline Outline(const TrimRect& r) {
    const POINT a = PanePointOf(r.x1, r.y1), b = PanePointOf(r.x2 + 1, r.y2 + 1);
    return {a.x, a.y, std::max<int32_t>(a.x, b.x - 1), std::max<int32_t>(a.y, b.y - 1)};
}

// The rubber band and the crossing lines are drawn inverting: drawn twice they are gone.
void InvertBand(HDC dc, POINT a, POINT b) {
    const int mode = SetROP2(dc, R2_NOT);
    HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
    SelectObject(dc, brush);
    SetROP2(dc, mode);
}

void InvertCross(HDC dc, POINT p) {
    RECT r{};
    GetClientRect(Pane(), &r);
    const int mode = SetROP2(dc, R2_NOT);
    MoveToEx(dc, 0, p.y, nullptr);
    LineTo(dc, r.right, p.y);
    MoveToEx(dc, p.x, 0, nullptr);
    LineTo(dc, p.x, r.bottom);
    SetROP2(dc, mode);
}

template <class Draw>
void OnPane(Draw draw) {
    HDC dc = GetDC(Pane());
    draw(dc);
    ReleaseDC(Pane(), dc);
}

void HideCross(TrimData& d) {
    if (!d.crossShown) return;
    OnPane([&](HDC dc) { InvertCross(dc, d.cross); });
    d.crossShown = false;
}

void HideBand(TrimData& d) {
    if (!d.bandShown) return;
    OnPane([&](HDC dc) { InvertBand(dc, d.press, d.band); });
    d.bandShown = false;
}

void ShowBand(TrimData& d, POINT to) {
    HideBand(d);
    d.band = to;
    OnPane([&](HDC dc) { InvertBand(dc, d.press, d.band); });
    d.bandShown = true;
}

void SetFieldNumber(HWND field, int value) {
    wchar_t text[16] = L"";
    GetWindowTextW(field, text, 16);
    if (text[0] && FieldNumber(text) == value) return;
    ProgramChange quiet;
    SetWindowTextW(field, std::to_wstring(value).c_str());
}

// After a completed change: the fields, their ranges, the sizes, the darkened picture.
void SelectionChanged(OperationContext& ctx, HWND typing = nullptr) {
    TrimData& d = Data(ctx);
    for (int i = 0; i < 4; ++i) {
        const TrimField field = static_cast<TrimField>(i);
        const TrimFieldRange range = TrimFieldRangeOf(d.selection, field, Width(ctx), Height(ctx));
        SendMessageW(Control(ctx, kFirstUpDown + i), UDM_SETRANGE32, range.low, range.high);
        HWND edit = Control(ctx, kFirstField + i);
        if (edit != typing) SetFieldNumber(edit, TrimCoordinate(d.selection, field));
    }
    SetWindowTextW(Control(ctx, kWidthValue), std::to_wstring(d.selection.x2 - d.selection.x1 + 1).c_str());
    SetWindowTextW(Control(ctx, kHeightValue), std::to_wstring(d.selection.y2 - d.selection.y1 + 1).c_str());
    {
        std::lock_guard<std::mutex> lock(OperationPictureLock());
        RebuildTrimPreview(ctx.work.job, d.selection);
    }
    InvalidateRect(Pane(), nullptr, FALSE);
    UpdateWindow(Pane());
}

// The first selection frees the view and the fields and allows Confirm.
void FirstSelection(OperationContext& ctx) {
    for (int i = 0; i < 4; ++i) {
        EnableWindow(Control(ctx, kFirstField + i), TRUE);
        EnableWindow(Control(ctx, kFirstUpDown + i), TRUE);
    }
    SendMessageW(ctx.toolbar, TB_ENABLEBUTTON, cmd::kConfirmOperation, MAKELPARAM(TRUE, 0));
    EditState().viewLocked = false;
    RefreshToolbarStates();
}

// Ends a press, band or handle drag.
void EndDrag(TrimData& d) {
    HideBand(d);
    d.state = d.selected ? DragState::Shown : DragState::None;
}

bool OnPaneMouse(OperationContext& ctx, UINT msg, WPARAM, POINT p) {
    TrimData& d = Data(ctx);
    int x = 0, y = 0;
    switch (msg) {
    case WM_MOUSEMOVE:
        switch (d.state) {
        case DragState::None:
            HideCross(d);
            d.cross = p;
            OnPane([&](HDC dc) { InvertCross(dc, p); });
            d.crossShown = true;
            return true;
        case DragState::Pressed:
            if (TrimBandStarted(p.x - d.press.x, p.y - d.press.y)) {
                d.state = DragState::Band;
                ShowBand(d, p);
            }
            return true;
        case DragState::Band:
            ShowBand(d, p);
            return true;
        case DragState::Handle:
            ImagePixelAt(p, x, y);
            if (DragTrimHandle(d.selection, d.drag, x, y, ChosenRatio(d), Width(ctx), Height(ctx))) SelectionChanged(ctx);
            return true;
        case DragState::Shown:
            return true;
        }
        return true;
    case WM_LBUTTONDOWN:
        ImagePixelAt(p, x, y);
        if (d.state == DragState::Shown) {
            const TrimHandle handle = FindTrimHandle(p.x, p.y, Outline(d.selection));
            if (handle != TrimHandle::None) {
                d.state = DragState::Handle;
                d.drag = TrimDrag{handle, d.selection, x, y};
                SetCapture(Pane());
                return true;
            }
        }
        HideCross(d);
        d.state = DragState::Pressed;
        d.press = p;
        d.pressX = x;
        d.pressY = y;
        SetCapture(Pane());
        return true;
    case WM_LBUTTONUP: {
        const DragState was = d.state;
        if (was == DragState::Band) {
            HideBand(d);
            ImagePixelAt(p, x, y);
            d.selection = TrimFromCorners(d.pressX, d.pressY, x, y, Width(ctx), Height(ctx));
            const bool first = !d.selected;
            d.selected = true;
            if (first) FirstSelection(ctx);
        }
        EndDrag(d);
        if (GetCapture() == Pane()) ReleaseCapture();
        if (was == DragState::Band) SelectionChanged(ctx);
        return true;
    }
    case WM_CAPTURECHANGED:
        if (d.state == DragState::Pressed || d.state == DragState::Band || d.state == DragState::Handle) EndDrag(d);
        return false;
    }
    return false;
}

HCURSOR HandleCursor(TrimHandle handle) {
    switch (TrimCursorFor(handle)) {
    case TrimCursor::LeftRight: return LoadCursorW(nullptr, IDC_SIZEWE);
    case TrimCursor::UpDown: return LoadCursorW(nullptr, IDC_SIZENS);
    case TrimCursor::TopLeftBottomRight: return LoadCursorW(nullptr, IDC_SIZENWSE);
    case TrimCursor::TopRightBottomLeft: return LoadCursorW(nullptr, IDC_SIZENESW);
    case TrimCursor::Move: return LoadCursorW(nullptr, IDC_SIZEALL);
    case TrimCursor::Normal: break;
    }
    return nullptr;
}

bool OnPaneCursor(OperationContext& ctx, POINT p) {
    const TrimData& d = Data(ctx);
    TrimHandle handle = TrimHandle::None;
    if (d.state == DragState::Shown) handle = FindTrimHandle(p.x, p.y, Outline(d.selection));
    else if (d.state == DragState::Handle) handle = d.drag.handle;
    HCURSOR cursor = HandleCursor(handle);
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

// Over the picture: the selection's dotted outline, and what the mouse is drawing.
void PaintOverlay(OperationContext& ctx, HDC dc) {
    const TrimData& d = Data(ctx);
    if (d.selected) {
        const TrimOutline o = Outline(d.selection);
        HGDIOBJ pen = SelectObject(dc, d.dotted);
        HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const int mode = SetBkMode(dc, OPAQUE);
        const COLORREF bk = SetBkColor(dc, RGB(255, 255, 255));
        Rectangle(dc, o.left, o.top, o.right + 1, o.bottom + 1);
        SetBkColor(dc, bk);
        SetBkMode(dc, mode);
        SelectObject(dc, brush);
        SelectObject(dc, pen);
    }
    if (d.bandShown) InvertBand(dc, d.press, d.band);
    if (d.crossShown) InvertCross(dc, d.cross);
}

void OnField(OperationContext& ctx, int index, int code, HWND field) {
    TrimData& d = Data(ctx);
    const TrimField which = static_cast<TrimField>(index);
    switch (code) {
    case EN_SETFOCUS:
        RebarFieldFocus(field, true);
        d.centre = CentreOf(d.selection);
        return;
    case EN_KILLFOCUS:
        RebarFieldFocus(field, false);
        if (d.selected) {
            ProgramChange quiet;
            SetWindowTextW(field, std::to_wstring(TrimCoordinate(d.selection, which)).c_str());
        }
        return;
    case EN_CHANGE: {
        if (!d.selected) return;
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        TrimRect next = d.selection;
        if (!SetTrimCoordinate(next, which, FieldNumber(text), ChosenRatio(d), d.centre, Width(ctx), Height(ctx))) {
            ProgramChange quiet;
            SetWindowTextW(field, std::to_wstring(TrimCoordinate(d.selection, which)).c_str());
            return;
        }
        if (next == d.selection) return;
        d.selection = next;
        SelectionChanged(ctx, field);
        return;
    }
    }
}

void Register(OperationContext& ctx, HWND list) {
    RECT r{};
    GetWindowRect(list, &r);
    SizeSlots typed = Data(ctx).ratios;
    // A cancel also comes when the operation ends under the dialog: the record is gone then.
    if (!RegisterPairs(EditState().window, L"縦横比登録", POINT{r.left, r.bottom}, typed)) return;
    TrimData& d = Data(ctx);
    for (int i = 0; i < kSizeSlotCount; ++i) d.ratios[size_t(i)] = RegisteredSlot(typed[size_t(i)], SlotKind::Ratio);
    FillRatios(ctx);
}

void OnRatioChosen(OperationContext& ctx, HWND list) {
    TrimData& d = Data(ctx);
    const int item = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    if (item == kSlotRegisterItem || item == CB_ERR) {
        SendMessageW(list, CB_SETCURSEL, d.ratio, 0);
        Register(ctx, list);
        return;
    }
    d.ratio = item;
    if (d.selected && ApplyTrimRatio(d.selection, ChosenRatio(d), Width(ctx), Height(ctx))) SelectionChanged(ctx);
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    if (id >= kFirstField && id < kFirstField + 4) {
        OnField(ctx, id - kFirstField, code, control);
        return;
    }
    if (id != kRatioList) return;
    if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) RebarFieldFocus(control, code == CBN_SETFOCUS);
    else if (code == CBN_SELENDOK) OnRatioChosen(ctx, control);
}

// The selection cut from the current image at its own depth (palette and all).
bool Result(OperationContext& ctx, Image& out) {
    DibAllocator allocator;
    return TrimResult(Current().AsImage(), Data(ctx).selection, allocator, out);
}

const OperationKind kTrim = {.code = kOpTrim, .command = cmd::kTrim, .title = L"トリミング", .prepare = Prepare,
                             .build = Build, .neutral = Neutral, .control = OnControl, .paneMouse = OnPaneMouse,
                             .paneCursor = OnPaneCursor, .paneOverlay = PaintOverlay, .result = Result,
                             .finish = Finish, .needs = {.works24 = true}};

}  // namespace

const OperationKind* TrimOperation(int command) { return command == cmd::kTrim ? &kTrim : nullptr; }

}  // namespace pelio
