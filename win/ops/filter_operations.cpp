// Unsharp mask, blur and soft focus: sliders paired with number fields. Win32.
#include "win/ops/filter_operations.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ops/filters.h"
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

// A slider and its number field, bound to one parameter.
struct Pairing {
    int slider, field, param;
};

// Per operation: its pairs and, for the blur, the kind radios.
struct FilterData {
    std::vector<Pairing> pairs;
    std::vector<int8_t> difference;  // unsharp mask
    std::vector<uint8_t> blurred;    // soft focus
    std::vector<uint8_t> temporary;  // Gaussian passes
};

FilterData& Data(OperationContext& ctx) { return *static_cast<FilterData*>(ctx.tables); }

bool NewData(OperationContext& ctx) {
    auto* data = new (std::nothrow) FilterData;
    ctx.tables = data;
    ctx.freeTables = [](void* p) { delete static_cast<FilterData*>(p); };
    return data != nullptr;
}

int ReadSetting(const wchar_t* key, int def, int low, int high) {
    IniStore store(App().iniPath);
    return std::clamp(store.ReadInt(kSection, key, def), low, high);
}

void WriteSetting(const wchar_t* key, int value) {
    IniStore store(App().iniPath);
    store.WriteInt(kSection, key, value);
}

HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

int RangeHigh(const OperationContext& ctx, const Pairing& p) {
    int low = 0, high = 0;
    SendMessageW(Control(ctx, p.field + 10), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    return high;
}

void AddPair(OperationContext& ctx, HWND bar, Pairing p, int sliderX, int sliderW, int fieldX, int high, int page,
             int chars) {
    HWND slider = OperationSliderControl(bar, p.slider, sliderX, sliderW, 0, high, page);
    SendMessageW(slider, TBM_SETPOS, TRUE, ctx.params[size_t(p.param)]);
    HWND field = OperationNumberField(bar, p.field, p.field + 10, fieldX, 0, high, ctx.params[size_t(p.param)], chars);
    SetWindowLongW(field, GWL_STYLE, GetWindowLongW(field, GWL_STYLE) | ES_NUMBER);
    Data(ctx).pairs.push_back(p);
}

LPARAM RequestParam(const OperationContext& ctx) { return ctx.kind->code == 16 ? ctx.params[0].load() : 0; }

void OnField(OperationContext& ctx, const Pairing& p, int code, HWND field) {
    if (OperationFieldFocus(code, field, ctx.params[size_t(p.param)])) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(field, text, 16);
        const int value = std::clamp(FieldNumber(text), 0, RangeHigh(ctx, p));
        ctx.params[size_t(p.param)] = value;
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
    for (const Pairing& p : Data(ctx).pairs)
        if (p.field == id) OnField(ctx, p, code, control);
    if (ctx.kind->code != 16 || id < 1910 || id > 1912 || code != BN_CLICKED) return;
    // The blur's kind: the box kinds go to 10, the Gaussian to 20.
    const int kind = id - 1910;
    if (kind == ctx.params[0]) return;
    ctx.params[0] = kind;
    const int high = kind == 2 ? 20 : 10;
    ctx.params[1] = std::min<int>(ctx.params[1], high);
    ProgramChange quiet;
    SendMessageW(Control(ctx, 1920), TBM_SETRANGEMAX, TRUE, high);
    SendMessageW(Control(ctx, 1920), TBM_SETPOS, TRUE, ctx.params[1]);
    SendMessageW(Control(ctx, 1940), UDM_SETRANGE32, 0, high);
    SetWindowTextW(Control(ctx, 1930), std::to_wstring(ctx.params[1]).c_str());
    if (ctx.params[1] != 0) RequestPreview(kind);
}

void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code == TB_ENDTRACK) return;
    for (const Pairing& p : Data(ctx).pairs)
        if (Control(ctx, p.slider) == slider)
            SetWindowTextW(Control(ctx, p.field), std::to_wstring(SendMessageW(slider, TBM_GETPOS, 0, 0)).c_str());
}

// --- unsharp mask ---------------------------------------------------------------------------

bool PrepareUnsharpMask(OperationContext& ctx) {
    if (!NewData(ctx)) return false;
    ctx.params[0] = ReadSetting(L"UsmLevel", 3, 0, 100);
    ctx.params[1] = ReadSetting(L"UsmRange", 20, 0, 100);
    Data(ctx).difference = PrepareUnsharp(ctx.job);
    ApplyUnsharp(ctx.job, Data(ctx).difference, ctx.params[0], ctx.params[1]);  // the first preview at once
    return true;
}
void BuildUnsharpMask(OperationContext& ctx, HWND bar) {
    OperationChild(bar, WC_STATICW, L"強度", 0, 1810, 58, 28, 12);
    AddPair(ctx, bar, {1820, 1830, 0}, 87, 160, 248, 100, 5, 3);
    OperationChild(bar, WC_STATICW, L"範囲", 0, 1811, 308, 28, 12);
    AddPair(ctx, bar, {1821, 1831, 1}, 337, 160, 498, 100, 10, 3);
}
void ComputeUnsharpMask(OperationContext& ctx, LPARAM) {
    ApplyUnsharp(ctx.job, Data(ctx).difference, ctx.params[0], ctx.params[1]);
}
bool NeutralUnsharpMask(const OperationContext& ctx) { return ctx.params[0] == 0; }
void FinishUnsharpMask(OperationContext& ctx) {
    WriteSetting(L"UsmLevel", ctx.params[0]);
    WriteSetting(L"UsmRange", ctx.params[1]);
}

// --- blur -------------------------------------------------------------------------------------

bool PrepareBlur(OperationContext& ctx) {
    if (!NewData(ctx)) return false;
    ctx.params[0] = ReadSetting(L"SftMode", 1, 0, 2);
    ctx.params[1] = ReadSetting(L"SftLevel", 0, 0, ctx.params[0] == 2 ? 20 : 10);
    return true;
}
void BuildBlur(OperationContext& ctx, HWND bar) {
    const wchar_t* names[] = {L"3x3", L"5x5", L"ガウスぼかし"};
    const int w[] = {38, 38, 78};
    // The buttons follow each other at their fitted widths; the slider moves right only when
    // they need more room than it leaves.
    int x = 58;
    for (int i = 0; i < 3; ++i) {
        HWND radio = OperationChild(bar, WC_BUTTONW, names[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 1910 + i,
                                    x, w[i], 16);
        if (i == ctx.params[0]) SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
        RECT r{};
        GetWindowRect(radio, &r);
        x += static_cast<int>(r.right - r.left) + 4;
    }
    const int sliderX = std::max(232, x + 8);
    AddPair(ctx, bar, {1920, 1930, 1}, sliderX, 140, sliderX + 141, ctx.params[0] == 2 ? 20 : 10, 2, 2);
    RequestPreview(ctx.params[0]);
}
void ComputeBlur(OperationContext& ctx, LPARAM kind) {
    const int level = ctx.params[1];
    if (kind == 2) GaussianBlur(ctx.job, Data(ctx).temporary, level);
    else if (kind == 0) Box3x3(ctx.job, level * 25);
    else Box5x5(ctx.job, level * 25);
}
bool NeutralBlur(const OperationContext& ctx) { return ctx.params[1] == 0; }
void FinishBlur(OperationContext& ctx) {
    WriteSetting(L"SftMode", ctx.params[0]);
    WriteSetting(L"SftLevel", ctx.params[1]);
}

// --- soft focus -------------------------------------------------------------------------------

bool PrepareSoftFocus(OperationContext& ctx) {
    if (!NewData(ctx)) return false;
    ctx.params[0] = ReadSetting(L"FcsLevel", 100, 0, 200);
    // The expensive part once: the radius-20 Gaussian of the source.
    FilterData& d = Data(ctx);
    d.blurred.resize(ctx.working.PixelBytes());
    PixelJob job = ctx.job;
    job.target = d.blurred.data();
    GaussianBlur(job, d.temporary, 20);
    return true;
}
void BuildSoftFocus(OperationContext& ctx, HWND bar) {
    AddPair(ctx, bar, {2010, 2020, 0}, 58, 220, 279, 200, 10, 3);
    RequestPreview();
}
void ComputeSoftFocus(OperationContext& ctx, LPARAM) { MixSoftFocus(ctx.job, ctx.params[0], Data(ctx).blurred); }
bool NeutralSoftFocus(const OperationContext& ctx) { return ctx.params[0] == 0; }
void FinishSoftFocus(OperationContext& ctx) { WriteSetting(L"FcsLevel", ctx.params[0]); }

OperationKind Filter(int code, int command, const wchar_t* title, bool (*prepare)(OperationContext&),
                     void (*build)(OperationContext&, HWND), void (*compute)(OperationContext&, LPARAM),
                     bool (*neutral)(const OperationContext&), void (*finish)(OperationContext&)) {
    OperationKind k;
    k.code = code;
    k.command = command;
    k.title = title;
    k.prepare = prepare;
    k.build = build;
    k.compute = compute;
    k.neutral = neutral;
    k.control = OnControl;
    k.slider = OnSlider;
    k.finish = finish;
    k.works24 = true;
    k.minSide = 5;
    return k;
}

const OperationKind kFilters[] = {
    Filter(15, cmd::kUnsharpMask, L"アンシャープマスク", PrepareUnsharpMask, BuildUnsharpMask, ComputeUnsharpMask,
           NeutralUnsharpMask, FinishUnsharpMask),
    Filter(16, cmd::kBlur, L"ぼかし", PrepareBlur, BuildBlur, ComputeBlur, NeutralBlur, FinishBlur),
    Filter(17, cmd::kSoftFocus, L"ソフトフォーカス", PrepareSoftFocus, BuildSoftFocus, ComputeSoftFocus,
           NeutralSoftFocus, FinishSoftFocus),
};

}  // namespace

const OperationKind* FilterOperation(int command) {
    for (const OperationKind& k : kFilters)
        if (k.command == command) return &k;
    return nullptr;
}

}  // namespace pelio
