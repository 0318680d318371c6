// Hue and saturation. Win32.
#include "win/ops/hls_operation.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "core/ops/hls_operation.h"
#include "core/commands/command_ids.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/colour_pick.h"
#include "win/editor/edit_panes.h"
#include "win/editor/colour_box.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/save_pipeline.h"
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

enum ControlId : int {
    kRadioHue = 1610,  // 1610 hue, 1611 lightness, 1612 saturation (modes 0, 1, 2)
    kSlider = 1630,
    kField = 1640,
    kRangeField = 1641,
    kUpDown = 1650,
    kRangeUpDown = 1651,
    kRangeSwitch = 1660,
    kColourBox = 1670,
    kPic = 1680,
};

constexpr wchar_t kSection[] = L"ImgC";

struct HlsData : OperationData {
    std::array<std::atomic<int>, 3> shift{};  // by mode: hue, lightness, saturation
    std::atomic<int> mode{2};                 // the shift the slider shows
    std::atomic<int> rangeOn{0};
    // Written under the picture's lock, which the worker holds while it computes; the main
    // thread, the only writer, reads it freely.
    ColourRange range;
    PaneMode paneBeforePick = PaneMode::PreviewOnly;
};

HlsData& Data(OperationContext& ctx) { return DataOf<HlsData>(ctx); }
const HlsData& Data(const OperationContext& ctx) { return DataOf<HlsData>(ctx); }
int Limit(int mode) { return HlsShiftLimit(mode); }
HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

// A new range colour or radius, with the weights of the radius.
void SetRange(OperationContext& ctx, COLORREF colour, int radius) {
    ColourRange range = MakeColourRange(static_cast<uint32_t>(colour), radius);  // 0x00BBGGRR as a COLORREF
    std::lock_guard<std::mutex> lock(OperationPictureLock());
    Data(ctx).range = std::move(range);
}

COLORREF RangeColour(const OperationContext& ctx) { return static_cast<COLORREF>(Data(ctx).range.colour); }

bool Prepare(OperationContext& ctx) {
    HlsData* data = NewData<HlsData>(ctx);
    if (!data) return false;
    IniStore store(App().iniPath);
    Data(ctx).mode = std::clamp(store.ReadInt(kSection, L"HlsMode", 2), 0, 2);
    const int r = std::clamp(store.ReadInt(kSection, L"HlsColR", 255), 0, 255);
    const int g = std::clamp(store.ReadInt(kSection, L"HlsColG", 255), 0, 255);
    const int b = std::clamp(store.ReadInt(kSection, L"HlsColB", 255), 0, 255);
    Data(ctx).rangeOn = 0;
    data->range = MakeColourRange(RGB(r, g, b), store.ReadInt(kSection, L"HlsRange", 50));
    return true;
}

void Finish(OperationContext& ctx) {
    if (ColourPickActive()) CancelColourPick();
    IniStore store(App().iniPath);
    const COLORREF c = RangeColour(ctx);
    store.WriteInt(kSection, L"HlsMode", Data(ctx).mode);
    store.WriteInt(kSection, L"HlsColR", GetRValue(c));
    store.WriteInt(kSection, L"HlsColG", GetGValue(c));
    store.WriteInt(kSection, L"HlsColB", GetBValue(c));
    store.WriteInt(kSection, L"HlsRange", Data(ctx).range.radius);
}

// The range colour box: the colour dialog on a click (not while a pick runs).
constexpr ColourBoxBehaviour kRangeColourBox = {
    [](const void* owner) { return RangeColour(*static_cast<const OperationContext*>(owner)); },
    [](HWND box, void* owner) {
        auto& ctx = *static_cast<OperationContext*>(owner);
        COLORREF colour = RangeColour(ctx);
        if (ColourPickActive() || !ChooseColourDialog(EditState().window, colour)) return;
        SetRange(ctx, colour, Data(ctx).range.radius);
        InvalidateRect(box, nullptr, TRUE);
        RequestPreview();
    },
};

void ShowMode(OperationContext& ctx) {
    const int mode = Data(ctx).mode, limit = Limit(mode);
    ProgramChange quiet;
    SendMessageW(Control(ctx, kSlider), TBM_SETRANGEMIN, FALSE, -limit);
    SendMessageW(Control(ctx, kSlider), TBM_SETRANGEMAX, TRUE, limit);
    SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, Data(ctx).shift[size_t(mode)]);
    SendMessageW(Control(ctx, kUpDown), UDM_SETRANGE32, -limit, limit);
    SetWindowTextW(Control(ctx, kField), std::to_wstring(Data(ctx).shift[size_t(mode)]).c_str());
}

void Build(OperationContext& ctx, HWND bar) {
    const wchar_t* names[] = {L"色相", L"輝度", L"彩度"};
    const int x[] = {58, 154, 106};
    for (int i = 0; i < 3; ++i) {
        HWND radio = OperationChild(bar, WC_BUTTONW, names[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                                    kRadioHue + i, x[i], 44, 16);
        if (i == Data(ctx).mode) SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    }
    const int limit = Limit(Data(ctx).mode);
    OperationSliderControl(bar, kSlider, 210, 180, -limit, limit, 10);
    OperationNumberField(bar, kField, kUpDown, 391, -limit, limit, 0, 4);
    OperationChild(bar, WC_BUTTONW, L"色域指定", BS_AUTOCHECKBOX, kRangeSwitch, 467, 70, 16);
    AttachColourBox(OperationChild(bar, L"Pelio_cbox_class", nullptr, WS_BORDER, kColourBox, 538, 18, 18),
                    kRangeColourBox, &ctx);
    OperationChild(bar, WC_BUTTONW, L"Pic", BS_PUSHBUTTON, kPic, 557, 28, 20);
    OperationNumberField(bar, kRangeField, kRangeUpDown, 586, 0, kMaxRangeRadius, Data(ctx).range.radius, 4);
    ShowMode(ctx);
}

HlsShift Shift(const OperationContext& ctx) {
    const HlsData& d = Data(ctx);
    return {d.shift[0], d.shift[1], d.shift[2]};
}

// Runs under the picture's lock (the frame takes it), so the range stays as it is.
void Compute(OperationContext& ctx, LPARAM) {
    const HlsData& d = Data(ctx);
    ApplyHueSaturation(ctx.work.job, Shift(ctx), d.rangeOn ? &d.range : nullptr);
}

bool Neutral(const OperationContext& ctx) { return Shift(ctx).Neutral(); }

void PickEnd(void* owner, bool taken, COLORREF colour) {
    OperationContext& ctx = *static_cast<OperationContext*>(owner);
    SetPaneMode(Data(ctx).paneBeforePick);
    if (taken) {
        SetRange(ctx, colour, Data(ctx).range.radius);
        if (Data(ctx).rangeOn) RequestPreview();
    }
    InvalidateRect(Control(ctx, kColourBox), nullptr, TRUE);
    UpdateEditTitle();
}

void OnField(OperationContext& ctx, int id, int code, HWND field) {
    const HlsData& d = Data(ctx);
    const int stored = id == kField ? d.shift[size_t(d.mode.load())].load() : d.range.radius;
    if (OperationFieldFocus(code, field, stored)) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        if (id == kField) {
            const int mode = Data(ctx).mode, limit = Limit(mode);
            const int value = std::clamp(FieldNumber(text), -limit, limit);
            Data(ctx).shift[size_t(mode)] = value;
            ProgramChange quiet;
            SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, value);
        } else {
            SetRange(ctx, RangeColour(ctx), FieldNumber(text));
        }
        RequestPreview();
        return;
    }
    }
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    if (id == kField || id == kRangeField) {
        OnField(ctx, id, code, control);
        return;
    }
    if (code != BN_CLICKED) return;
    if (id >= kRadioHue && id <= kRadioHue + 2) {
        if (Data(ctx).mode == id - kRadioHue) return;
        Data(ctx).mode = id - kRadioHue;
        ShowMode(ctx);
    } else if (id == kRangeSwitch) {
        Data(ctx).rangeOn = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        RequestPreview();
    } else if (id == kPic && !ColourPickActive()) {
        EditWindowState& e = EditState();
        Data(ctx).paneBeforePick = e.paneMode;
        if (e.paneMode != PaneMode::ImageOnly) SetPaneMode(PaneMode::ImageOnly);
        StartColourPick({nullptr, PickEnd, &ctx});
    }
}

void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code == TB_ENDTRACK) return;
    SetWindowTextW(Control(ctx, kField), std::to_wstring(SendMessageW(slider, TBM_GETPOS, 0, 0)).c_str());
}

const OperationKind kHls = {.code = kOpHueSaturation, .command = cmd::kHueSaturation, .title = L"色相/彩度",
                            .prepare = Prepare, .build = Build, .compute = Compute, .neutral = Neutral,
                            .control = OnControl, .slider = OnSlider, .finish = Finish};

}  // namespace

const OperationKind* HlsOperation(int command) { return command == cmd::kHueSaturation ? &kHls : nullptr; }

}  // namespace pelio
