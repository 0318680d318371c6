// Unsharp mask, blur and soft focus: sliders paired with number fields. Win32.
#include "win/ops/filter_operations.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "core/ops/filter_operations.h"
#include "core/commands/command_ids.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

constexpr wchar_t kSection[] = L"ImgF";

// The blur's controls: three kind radios, the level slider and its field (up-down at +10).
constexpr int kBlurKindRadio = 1910, kBlurSlider = 1920, kBlurField = 1930;

// A slider and its number field, bound to one parameter.
struct Pairing {
    int slider, field;
    std::atomic<int>* value;
};

// Every filter's sliders with their fields.
struct FilterData : OperationData {
    std::vector<Pairing> pairs;
};

struct UnsharpData : FilterData {
    std::atomic<int> strength{0}, range{0};
    UnsharpPlan plan;
};

struct BlurData : FilterData {
    std::atomic<int> kind{static_cast<int>(BlurKind::Box3x3)}, level{0};
    BlurPlan plan;
};

struct SoftFocusData : FilterData {
    std::atomic<int> level{0};
    SoftFocusPlan plan;
};

template <class Data>
Data& Filter(OperationContext& ctx) { return DataOf<Data>(ctx); }
template <class Data>
const Data& Filter(const OperationContext& ctx) { return DataOf<Data>(ctx); }

int ReadSetting(const wchar_t* key, int def, int low, int high) {
    IniStore store(App().iniPath);
    return std::clamp(store.ReadInt(kSection, key, def), low, high);
}

void WriteSetting(const wchar_t* key, int value) {
    IniStore store(App().iniPath);
    store.WriteInt(kSection, key, value);
}

int BlurHigh(int kind) { return BlurLevelLimit(static_cast<BlurKind>(kind)); }

HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

int RangeHigh(const OperationContext& ctx, const Pairing& p) {
    int low = 0, high = 0;
    SendMessageW(Control(ctx, p.field + 10), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    return high;
}

void AddPair(OperationContext& ctx, HWND bar, Pairing p, int sliderX, int sliderW, int fieldX, int high, int page,
             int chars) {
    HWND slider = OperationSliderControl(bar, p.slider, sliderX, sliderW, 0, high, page);
    SendMessageW(slider, TBM_SETPOS, TRUE, p.value->load());
    HWND field = OperationNumberField(bar, p.field, p.field + 10, fieldX, 0, high, p.value->load(), chars);
    SetWindowLongW(field, GWL_STYLE, GetWindowLongW(field, GWL_STYLE) | ES_NUMBER);
    Filter<FilterData>(ctx).pairs.push_back(p);
}

// The blur's preview request carries its kind.
LPARAM RequestParam(const OperationContext& ctx) {
    return ctx.kind->code == kOpBlur ? Filter<BlurData>(ctx).kind.load() : 0;
}

void OnField(OperationContext& ctx, const Pairing& p, int code, HWND field) {
    if (OperationFieldFocus(code, field, p.value->load())) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        const int value = std::clamp(FieldNumber(text), 0, RangeHigh(ctx, p));
        *p.value = value;
        {
            ProgramChange quiet;
            SendMessageW(Control(ctx, p.slider), TBM_SETPOS, TRUE, value);
        }
        RequestPreview(RequestParam(ctx));
        return;
    }
    }
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    for (const Pairing& p : Filter<FilterData>(ctx).pairs)
        if (p.field == id) OnField(ctx, p, code, control);
    if (ctx.kind->code != kOpBlur || id < kBlurKindRadio || id > kBlurKindRadio + 2 || code != BN_CLICKED) return;
    // The blur's kind: the box kinds go to 10, the Gaussian to 20.
    BlurData& d = Filter<BlurData>(ctx);
    const int kind = id - kBlurKindRadio;
    if (kind == d.kind) return;
    d.kind = kind;
    const int high = BlurHigh(kind);
    d.level = ClampBlurLevel(static_cast<BlurKind>(kind), d.level);
    ProgramChange quiet;
    SendMessageW(Control(ctx, kBlurSlider), TBM_SETRANGEMAX, TRUE, high);
    SendMessageW(Control(ctx, kBlurSlider), TBM_SETPOS, TRUE, d.level.load());
    SendMessageW(Control(ctx, kBlurField + 10), UDM_SETRANGE32, 0, high);
    SetWindowTextW(Control(ctx, kBlurField), std::to_wstring(d.level.load()).c_str());
    if (d.level != 0) RequestPreview(kind);
}

void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code == TB_ENDTRACK) return;
    for (const Pairing& p : Filter<FilterData>(ctx).pairs)
        if (Control(ctx, p.slider) == slider)
            SetWindowTextW(Control(ctx, p.field), std::to_wstring(SendMessageW(slider, TBM_GETPOS, 0, 0)).c_str());
}

// --- unsharp mask ---------------------------------------------------------------------------

UnsharpSetting Setting(const UnsharpData& d) { return {d.strength, d.range}; }

bool PrepareUnsharpData(OperationContext& ctx) {
    UnsharpData* d = NewData<UnsharpData>(ctx);
    if (!d) return false;
    d->strength = ReadSetting(L"UsmLevel", 3, 0, kMaxUnsharp);
    d->range = ReadSetting(L"UsmRange", 20, 0, kMaxUnsharp);
    if (!PrepareUnsharpMask(ctx.work.job, d->plan)) return false;
    ApplyUnsharpMask(ctx.work.job, d->plan, Setting(*d));  // the first preview at once
    return true;
}
void BuildUnsharpMask(OperationContext& ctx, HWND bar) {
    UnsharpData& d = Filter<UnsharpData>(ctx);
    OperationChild(bar, WC_STATICW, L"強度", 0, 1810, 58, 28, 12);
    AddPair(ctx, bar, {1820, 1830, &d.strength}, 87, 160, 248, 100, 5, 3);
    OperationChild(bar, WC_STATICW, L"範囲", 0, 1811, 308, 28, 12);
    AddPair(ctx, bar, {1821, 1831, &d.range}, 337, 160, 498, 100, 10, 3);
}
void ComputeUnsharpMask(OperationContext& ctx, LPARAM) {
    const UnsharpData& d = Filter<UnsharpData>(ctx);
    ApplyUnsharpMask(ctx.work.job, d.plan, Setting(d));
}
bool NeutralUnsharpMask(const OperationContext& ctx) { return Setting(Filter<UnsharpData>(ctx)).Neutral(); }
void FinishUnsharpMask(OperationContext& ctx) {
    const UnsharpData& d = Filter<UnsharpData>(ctx);
    WriteSetting(L"UsmLevel", d.strength);
    WriteSetting(L"UsmRange", d.range);
}

// --- blur -------------------------------------------------------------------------------------

bool PrepareBlur(OperationContext& ctx) {
    BlurData* d = NewData<BlurData>(ctx);
    if (!d) return false;
    d->kind = ReadSetting(L"SftMode", static_cast<int>(BlurKind::Box5x5), static_cast<int>(BlurKind::Box3x3),
                          static_cast<int>(BlurKind::Gaussian));
    d->level = ReadSetting(L"SftLevel", 0, 0, BlurHigh(d->kind));
    return true;
}
void BuildBlur(OperationContext& ctx, HWND bar) {
    const wchar_t* names[] = {L"3x3", L"5x5", L"ガウスぼかし"};
    const int w[] = {38, 38, 78};
    // The buttons follow each other at their fitted widths; the slider moves right only when
    // they need more room than it leaves.
    BlurData& d = Filter<BlurData>(ctx);
    int x = 58;
    for (int i = 0; i < 3; ++i) {
        HWND radio = OperationChild(bar, WC_BUTTONW, names[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                                    kBlurKindRadio + i, x, w[i], 16);
        if (i == d.kind) SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
        RECT r{};
        GetWindowRect(radio, &r);
        x += static_cast<int>(r.right - r.left) + 4;
    }
    const int sliderX = std::max(232, x + 8);
    AddPair(ctx, bar, {kBlurSlider, kBlurField, &d.level}, sliderX, 140, sliderX + 141, BlurHigh(d.kind), 2, 2);
    RequestPreview(d.kind);
}
// The request carries the kind it was made for.
void ComputeBlur(OperationContext& ctx, LPARAM kind) {
    BlurData& d = Filter<BlurData>(ctx);
    ApplyBlur(ctx.work.job, d.plan, {static_cast<BlurKind>(kind), d.level});
}
bool NeutralBlur(const OperationContext& ctx) {
    const BlurData& d = Filter<BlurData>(ctx);
    return BlurSetting{static_cast<BlurKind>(d.kind.load()), d.level}.Neutral();
}
void FinishBlur(OperationContext& ctx) {
    const BlurData& d = Filter<BlurData>(ctx);
    WriteSetting(L"SftMode", d.kind);
    WriteSetting(L"SftLevel", d.level);
}

// --- soft focus -------------------------------------------------------------------------------

bool PrepareSoftFocusData(OperationContext& ctx) {
    SoftFocusData* d = NewData<SoftFocusData>(ctx);
    if (!d) return false;
    d->level = ReadSetting(L"FcsLevel", 100, 0, kMaxSoftFocus);
    // The expensive part once: the blur of the source.
    return PrepareSoftFocus(ctx.work.job, d->plan);
}
void BuildSoftFocus(OperationContext& ctx, HWND bar) {
    AddPair(ctx, bar, {2010, 2020, &Filter<SoftFocusData>(ctx).level}, 58, 220, 279, 200, 10, 3);
    RequestPreview();
}
void ComputeSoftFocus(OperationContext& ctx, LPARAM) {
    const SoftFocusData& d = Filter<SoftFocusData>(ctx);
    ApplySoftFocus(ctx.work.job, d.plan, d.level);
}
bool NeutralSoftFocus(const OperationContext& ctx) { return SoftFocusNeutral(Filter<SoftFocusData>(ctx).level); }
void FinishSoftFocus(OperationContext& ctx) { WriteSetting(L"FcsLevel", Filter<SoftFocusData>(ctx).level); }

const OperationKind kFilters[] = {
    {.code = kOpUnsharpMask, .command = cmd::kUnsharpMask, .title = L"アンシャープマスク",
     .prepare = PrepareUnsharpData, .build = BuildUnsharpMask, .compute = ComputeUnsharpMask,
     .neutral = NeutralUnsharpMask, .control = OnControl, .slider = OnSlider, .finish = FinishUnsharpMask,
     .needs = kFilterNeeds},
    {.code = kOpBlur, .command = cmd::kBlur, .title = L"ぼかし", .prepare = PrepareBlur, .build = BuildBlur,
     .compute = ComputeBlur, .neutral = NeutralBlur, .control = OnControl, .slider = OnSlider,
     .finish = FinishBlur, .needs = kFilterNeeds},
    {.code = kOpSoftFocus, .command = cmd::kSoftFocus, .title = L"ソフトフォーカス", .prepare = PrepareSoftFocusData,
     .build = BuildSoftFocus, .compute = ComputeSoftFocus, .neutral = NeutralSoftFocus, .control = OnControl,
     .slider = OnSlider, .finish = FinishSoftFocus, .needs = kFilterNeeds},
};

}  // namespace

const OperationKind* FilterOperation(int command) {
    for (const OperationKind& k : kFilters)
        if (k.command == command) return &k;
    return nullptr;
}

}  // namespace pelio
