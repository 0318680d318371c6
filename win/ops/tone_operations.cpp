// Gamma, brightness and contrast: one slider, three channel fields and the sync switch. Win32.
#include "win/ops/tone_operations.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/ops/tone_tables.h"
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

// params: 0 red, 1 green, 2 blue; the channel of field 1530 + i is 2 − i.
constexpr int ChannelOfField(int id) { return 2 - (id - kFieldBlue); }

int Range(const OperationContext& ctx) { return ctx.kind->code == 12 ? 255 : 100; }

void ComputeGamma(OperationContext& ctx, LPARAM) {
    ApplyGamma(ctx.job, ctx.params[0], ctx.params[1], ctx.params[2]);
}
void ComputeBrightness(OperationContext& ctx, LPARAM) {
    ApplyBrightness(ctx.job, ctx.params[0], ctx.params[1], ctx.params[2]);
}
void ComputeContrast(OperationContext& ctx, LPARAM) {
    ApplyContrast(ctx.job, *static_cast<const ValueTables*>(ctx.tables), ctx.params[0], ctx.params[1], ctx.params[2]);
}

bool PrepareContrast(OperationContext& ctx) {
    ctx.mean = MeanLuma(ctx.job);
    ctx.tables = new (std::nothrow) ValueTables(ContrastTables(ctx.mean));
    ctx.freeTables = [](void* p) { delete static_cast<ValueTables*>(p); };
    return ctx.tables != nullptr;
}

bool Neutral(const OperationContext& ctx) { return ctx.params[0] == 0 && ctx.params[1] == 0 && ctx.params[2] == 0; }

HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

void SetField(const OperationContext& ctx, int id, int value) {
    SetWindowTextW(Control(ctx, id), std::to_wstring(value).c_str());
}

// With sync on only the slider and the red field are live.
void ApplySyncEnabling(const OperationContext& ctx) {
    const bool free = !ctx.sync;
    for (int id : {int(kStaticBlue), kStaticBlue + 1, kStaticBlue + 2, int(kFieldBlue), kFieldBlue + 1, int(kUpDownBlue), kUpDownBlue + 1})
        EnableWindow(Control(ctx, id), free);
    EnableWindow(Control(ctx, kSlider), ctx.sync);
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
    ctx.sync = true;
    ApplySyncEnabling(ctx);
}

void OnField(OperationContext& ctx, int id, int code, HWND field) {
    if (OperationFieldFocus(code, field, ctx.params[size_t(ChannelOfField(id))])) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        const int range = Range(ctx);
        const int value = std::clamp(FieldNumber(text), -range, range);
        if (ctx.sync) {
            for (int c = 0; c < 3; ++c) ctx.params[size_t(c)] = value;
        } else {
            ctx.params[size_t(ChannelOfField(id))] = value;
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
    ctx.sync = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ProgramChange quiet;
    if (!ctx.sync) {
        SetField(ctx, kFieldBlue + 1, ctx.params[1]);
        SetField(ctx, kFieldBlue, ctx.params[2]);
        ApplySyncEnabling(ctx);
        return;
    }
    const int red = ctx.params[0];
    ctx.params[1] = ctx.params[2] = red;
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
    {11, cmd::kGamma, L"ガンマ補正", nullptr, Build, ComputeGamma, Neutral, OnControl, OnSlider},
    {12, cmd::kBrightness, L"明るさ補正", nullptr, Build, ComputeBrightness, Neutral, OnControl, OnSlider},
    {13, cmd::kContrast, L"コントラスト", PrepareContrast, Build, ComputeContrast, Neutral, OnControl, OnSlider},
};

}  // namespace

const OperationKind* ToneOperation(int command) {
    for (const OperationKind& k : kOperations)
        if (k.command == command) return &k;
    return nullptr;
}

}  // namespace pelio
