// Hue and saturation. Win32.
#include "win/ops/hls_operation.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ops/hls.h"
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

// params: 0..2 the shifts (hue, lightness, saturation), 3 the mode, 4 range on, 5 the range
// colour (0x00BBGGRR), 6 the radius.
constexpr size_t kMode = 3, kRangeOn = 4, kColour = 5, kRadius = 6;
constexpr wchar_t kSection[] = L"ImgC";

struct HlsData {
    std::vector<uint8_t> weights;
    PaneMode paneBeforePick = PaneMode::PreviewOnly;
};

HlsData& Data(OperationContext& ctx) { return *static_cast<HlsData*>(ctx.tables); }
int Limit(int mode) { return mode == 0 ? 180 : 255; }
HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

// The weights change while the worker may read them: under the picture's lock.
void RebuildWeights(OperationContext& ctx) {
    std::lock_guard<std::mutex> lock(OperationPictureLock());
    Data(ctx).weights = RangeWeights(ctx.params[kRadius]);
}

bool Prepare(OperationContext& ctx) {
    auto* data = new (std::nothrow) HlsData;
    if (!data) return false;
    ctx.tables = data;
    ctx.freeTables = [](void* p) { delete static_cast<HlsData*>(p); };
    IniStore store(App().iniPath);
    ctx.params[kMode] = std::clamp(store.ReadInt(kSection, L"HlsMode", 2), 0, 2);
    const int r = std::clamp(store.ReadInt(kSection, L"HlsColR", 255), 0, 255);
    const int g = std::clamp(store.ReadInt(kSection, L"HlsColG", 255), 0, 255);
    const int b = std::clamp(store.ReadInt(kSection, L"HlsColB", 255), 0, 255);
    ctx.params[kColour] = static_cast<int>(RGB(r, g, b));
    ctx.params[kRadius] = std::clamp(store.ReadInt(kSection, L"HlsRange", 50), 0, 150);
    ctx.params[kRangeOn] = 0;
    data->weights = RangeWeights(ctx.params[kRadius]);
    return true;
}

void Finish(OperationContext& ctx) {
    if (ColourPickActive()) CancelColourPick();
    IniStore store(App().iniPath);
    const COLORREF c = static_cast<COLORREF>(ctx.params[kColour]);
    store.WriteInt(kSection, L"HlsMode", ctx.params[kMode]);
    store.WriteInt(kSection, L"HlsColR", GetRValue(c));
    store.WriteInt(kSection, L"HlsColG", GetGValue(c));
    store.WriteInt(kSection, L"HlsColB", GetBValue(c));
    store.WriteInt(kSection, L"HlsRange", ctx.params[kRadius]);
}

// The range colour box: the colour dialog on a click (not while a pick runs).
constexpr ColourBoxBehaviour kRangeColourBox = {
    [](const void* owner) { return static_cast<COLORREF>(static_cast<const OperationContext*>(owner)->params[kColour]); },
    [](HWND box, void* owner) {
        auto& ctx = *static_cast<OperationContext*>(owner);
        COLORREF colour = static_cast<COLORREF>(ctx.params[kColour]);
        if (ColourPickActive() || !ChooseColourDialog(EditState().window, colour)) return;
        ctx.params[kColour] = static_cast<int>(colour);
        InvalidateRect(box, nullptr, TRUE);
        RebuildWeights(ctx);
        RequestPreview();
    },
};

void ShowMode(OperationContext& ctx) {
    const int mode = ctx.params[kMode], limit = Limit(mode);
    ProgramChange quiet;
    SendMessageW(Control(ctx, kSlider), TBM_SETRANGEMIN, FALSE, -limit);
    SendMessageW(Control(ctx, kSlider), TBM_SETRANGEMAX, TRUE, limit);
    SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, ctx.params[size_t(mode)]);
    SendMessageW(Control(ctx, kUpDown), UDM_SETRANGE32, -limit, limit);
    SetWindowTextW(Control(ctx, kField), std::to_wstring(ctx.params[size_t(mode)]).c_str());
}

void Build(OperationContext& ctx, HWND bar) {
    const wchar_t* names[] = {L"色相", L"輝度", L"彩度"};
    const int x[] = {58, 154, 106};
    for (int i = 0; i < 3; ++i) {
        HWND radio = OperationChild(bar, WC_BUTTONW, names[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                                    kRadioHue + i, x[i], 44, 16);
        if (i == ctx.params[kMode]) SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    }
    const int limit = Limit(ctx.params[kMode]);
    OperationSliderControl(bar, kSlider, 210, 180, -limit, limit, 10);
    OperationNumberField(bar, kField, kUpDown, 391, -limit, limit, 0, 4);
    OperationChild(bar, WC_BUTTONW, L"色域指定", BS_AUTOCHECKBOX, kRangeSwitch, 467, 70, 16);
    AttachColourBox(OperationChild(bar, L"Pelio_cbox_class", nullptr, WS_BORDER, kColourBox, 538, 18, 18),
                    kRangeColourBox, &ctx);
    OperationChild(bar, WC_BUTTONW, L"Pic", BS_PUSHBUTTON, kPic, 557, 28, 20);
    OperationNumberField(bar, kRangeField, kRangeUpDown, 586, 0, 150, ctx.params[kRadius], 4);
    ShowMode(ctx);
}

void Compute(OperationContext& ctx, LPARAM) {
    const HlsShift shift{ctx.params[0], ctx.params[1], ctx.params[2]};
    if (ctx.params[kRangeOn]) {
        const COLORREF c = static_cast<COLORREF>(ctx.params[kColour]);
        AdjustHlsInRange(ctx.job, shift, uint32_t(GetRValue(c)) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetBValue(c)) << 16,
                         Data(ctx).weights);
    } else {
        AdjustHls(ctx.job, shift);
    }
}

bool Neutral(const OperationContext& ctx) { return ctx.params[0] == 0 && ctx.params[1] == 0 && ctx.params[2] == 0; }

void PickEnd(void* owner, bool taken, COLORREF colour) {
    OperationContext& ctx = *static_cast<OperationContext*>(owner);
    SetPaneMode(Data(ctx).paneBeforePick);
    if (taken) {
        ctx.params[kColour] = static_cast<int>(colour);
        if (ctx.params[kRangeOn]) {
            RebuildWeights(ctx);
            RequestPreview();
        }
    }
    InvalidateRect(Control(ctx, kColourBox), nullptr, TRUE);
    UpdateEditTitle();
}

void OnField(OperationContext& ctx, int id, int code, HWND field) {
    if (OperationFieldFocus(code, field, id == kField ? ctx.params[size_t(ctx.params[kMode].load())].load() : ctx.params[kRadius].load())) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        if (id == kField) {
            const int mode = ctx.params[kMode], limit = Limit(mode);
            const int value = std::clamp(FieldNumber(text), -limit, limit);
            ctx.params[size_t(mode)] = value;
            ProgramChange quiet;
            SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, value);
        } else {
            ctx.params[kRadius] = std::clamp(FieldNumber(text), 0, 150);
            RebuildWeights(ctx);
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
        if (ctx.params[kMode] == id - kRadioHue) return;
        ctx.params[kMode] = id - kRadioHue;
        ShowMode(ctx);
    } else if (id == kRangeSwitch) {
        ctx.params[kRangeOn] = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
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

OperationKind MakeKind() {
    OperationKind k;
    k.code = 14;
    k.command = cmd::kHueSaturation;
    k.title = L"色相/彩度";
    k.prepare = Prepare;
    k.build = Build;
    k.compute = Compute;
    k.neutral = Neutral;
    k.control = OnControl;
    k.slider = OnSlider;
    k.finish = Finish;
    return k;
}

const OperationKind kHls = MakeKind();

}  // namespace

const OperationKind* HlsOperation(int command) { return command == cmd::kHueSaturation ? &kHls : nullptr; }

}  // namespace pelio
