// Gamma, brightness and contrast: one slider, three channel fields and the sync switch. Win32.
#include "win/ops/tone_operations.h"

#include <windows.h>
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
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

enum ControlId : int {
    kSlider = 1510,
    kStaticBlue = 1520,  // 1520..1522: B, G, R
    kFieldBlue = 1530,   // 1530..1532: blue, green, red
    kFieldRed = 1532,
    kUpDownBlue = 1540,  // 1540..1542
    kSync = 1550,
};

struct ToneData : OperationData {
    std::array<std::atomic<int>, 3> channel{};  // red, green, blue
    bool sync = true;
    TonePlan plan;
};

ToneData& Data(OperationContext& ctx) { return DataOf<ToneData>(ctx); }
const ToneData& Data(const OperationContext& ctx) { return DataOf<ToneData>(ctx); }

// The channel of field 1530 + i is 2 − i.
constexpr int ChannelOfField(int id) { return 2 - (id - kFieldBlue); }

ToneKind KindOf(const OperationContext& ctx) {
    switch (ctx.kind->code) {
    case kOpBrightness: return ToneKind::Brightness;
    case kOpContrast: return ToneKind::Contrast;
    default: return ToneKind::Gamma;
    }
}

int Range(const OperationContext& ctx) { return ToneLimit(KindOf(ctx)); }

ToneValues Values(const OperationContext& ctx) {
    const auto& c = Data(ctx).channel;
    return {c[0], c[1], c[2]};
}

bool Prepare(OperationContext& ctx) {
    ToneData* d = NewData<ToneData>(ctx);
    if (!d) return false;
    PrepareTone(ctx.work.job, KindOf(ctx), d->plan);
    return true;
}

void Compute(OperationContext& ctx, LPARAM) { ApplyTone(ctx.work.job, Data(ctx).plan, Values(ctx)); }

bool Neutral(const OperationContext& ctx) { return Values(ctx).Neutral(); }

HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

void SetField(const OperationContext& ctx, int id, int value) {
    SetWindowTextW(Control(ctx, id), std::to_wstring(value).c_str());
}

// With sync on only the slider and the red field are live.
void ApplySyncEnabling(const OperationContext& ctx) {
    const bool sync = Data(ctx).sync;
    const bool free = !sync;
    for (int id : {int(kStaticBlue), kStaticBlue + 1, kStaticBlue + 2, int(kFieldBlue), kFieldBlue + 1, int(kUpDownBlue), kUpDownBlue + 1})
        EnableWindow(Control(ctx, id), free);
    EnableWindow(Control(ctx, kSlider), sync);
}

void Build(OperationContext& ctx, HWND bar) {
    const int range = Range(ctx);
    OperationSliderControl(bar, kSlider, 58, 220, -range, range, 10);
    const wchar_t* letters[] = {L"B", L"G", L"R"};
    const int staticX[] = {428, 357, 286}, fieldX[] = {441, 370, 299};
    for (int i = 0; i < 3; ++i) {
        OperationChild(bar, WC_STATICW, letters[i], 0, kStaticBlue + i, staticX[i], 12, 12);
        OperationNumberField(bar, kFieldBlue + i, kUpDownBlue + i, fieldX[i], -range, range, 0, 4);
    }
    HWND sync = OperationChild(bar, WC_BUTTONW, L"同期", BS_AUTOCHECKBOX, kSync, 503, 45, 16);
    SendMessageW(sync, BM_SETCHECK, BST_CHECKED, 0);
    Data(ctx).sync = true;
    ApplySyncEnabling(ctx);
}

void OnField(OperationContext& ctx, int id, int code, HWND field) {
    ToneData& d = Data(ctx);
    if (OperationFieldFocus(code, field, d.channel[size_t(ChannelOfField(id))])) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        const int value = ClampToneValue(KindOf(ctx), FieldNumber(text));
        if (d.sync) {
            for (auto& c : d.channel) c = value;
        } else {
            d.channel[size_t(ChannelOfField(id))] = value;
        }
        if (id == kFieldRed) {
            ProgramChange quiet;
            SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, value);
        }
        RequestPreview();
        return;
    }
    }
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    if (id >= kFieldBlue && id <= kFieldRed) {
        OnField(ctx, id, code, control);
        return;
    }
    if (id != kSync || code != BN_CLICKED) return;
    ToneData& d = Data(ctx);
    d.sync = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ProgramChange quiet;
    if (!d.sync) {
        SetField(ctx, kFieldBlue + 1, d.channel[1]);
        SetField(ctx, kFieldBlue, d.channel[2]);
        ApplySyncEnabling(ctx);
        return;
    }
    const int red = d.channel[0];
    d.channel[1] = red;
    d.channel[2] = red;
    SetField(ctx, kFieldBlue + 1, red);
    SetField(ctx, kFieldBlue, red);
    SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, red);
    ApplySyncEnabling(ctx);
    RequestPreview();
}

void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code == TB_ENDTRACK) return;
    SetField(ctx, kFieldRed, static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
}

const OperationKind kOperations[] = {
    {.code = kOpGamma, .command = cmd::kGamma, .title = L"ガンマ補正", .prepare = Prepare, .build = Build,
     .compute = Compute, .neutral = Neutral, .control = OnControl, .slider = OnSlider},
    {.code = kOpBrightness, .command = cmd::kBrightness, .title = L"明るさ補正", .prepare = Prepare, .build = Build,
     .compute = Compute, .neutral = Neutral, .control = OnControl, .slider = OnSlider},
    {.code = kOpContrast, .command = cmd::kContrast, .title = L"コントラスト", .prepare = Prepare, .build = Build,
     .compute = Compute, .neutral = Neutral, .control = OnControl, .slider = OnSlider},
};

}  // namespace

const OperationKind* ToneOperation(int command) {
    for (const OperationKind& k : kOperations)
        if (k.command == command) return &k;
    return nullptr;
}

}  // namespace pelio
