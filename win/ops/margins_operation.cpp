// Margins. Win32.
#include "win/ops/margins_operation.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "core/ops/edit_results.h"
#include "core/commands/command_ids.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/colour_box.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/ops/operation_frame.h"

namespace pelio {

namespace {

// Fields 2701, 2711, 2721, 2731 (top, bottom, left, right), their statics 10 below and
// up-downs 1 above.
constexpr int kFields[] = {2701, 2711, 2721, 2731};
constexpr int kColourLabel = 2740, kColourBox = 2741;
constexpr wchar_t kSection[] = L"ImgS";
constexpr const wchar_t* kKeys[] = {L"MgnT", L"MgnB", L"MgnL", L"MgnR"};

// Computed on Confirm only: no worker reads these.
struct MarginsData : OperationData {
    std::array<int, 4> margin{};  // top, bottom, left, right: a side's opposite is index ^ 1
    int colour = 0;               // 0x00BBGGRR
};

MarginsData& Data(OperationContext& ctx) { return DataOf<MarginsData>(ctx); }
const MarginsData& Data(const OperationContext& ctx) { return DataOf<MarginsData>(ctx); }

Margins Current(const OperationContext& ctx) {
    const auto& m = Data(ctx).margin;
    return {m[0], m[1], m[2], m[3]};
}

bool Prepare(OperationContext& ctx) {
    MarginsData* d = NewData<MarginsData>(ctx);
    if (!d) return false;
    IniStore store(App().iniPath);
    Margins m{store.ReadInt(kSection, kKeys[0], 0), store.ReadInt(kSection, kKeys[1], 0),
              store.ReadInt(kSection, kKeys[2], 0), store.ReadInt(kSection, kKeys[3], 0)};
    m = LimitMargins(m, ctx.work.picture.Width(), ctx.work.picture.Height());
    d->margin = {m.top, m.bottom, m.left, m.right};
    d->colour = store.ReadInt(kSection, L"MgnBgCol", 16777215);
    return true;
}

void Finish(OperationContext& ctx) {
    const MarginsData& d = Data(ctx);
    IniStore store(App().iniPath);
    for (int i = 0; i < 4; ++i) store.WriteInt(kSection, kKeys[i], d.margin[size_t(i)]);
    store.WriteInt(kSection, L"MgnBgCol", d.colour);
}

// The margin colour box: the colour dialog on a click.
constexpr ColourBoxBehaviour kMarginColourBox = {
    [](const void* owner) { return static_cast<COLORREF>(Data(*static_cast<const OperationContext*>(owner)).colour); },
    [](HWND box, void* owner) {
        MarginsData& d = Data(*static_cast<OperationContext*>(owner));
        COLORREF colour = static_cast<COLORREF>(d.colour);
        if (!ChooseColourDialog(EditState().window, colour)) return;
        d.colour = static_cast<int>(colour);
        InvalidateRect(box, nullptr, TRUE);
    },
};

void Build(OperationContext& ctx, HWND bar) {
    const wchar_t* labels[] = {L"上", L"下", L"左", L"右"};
    const int labelX[] = {58, 139, 220, 301}, fieldX[] = {74, 155, 236, 317};
    for (int i = 0; i < 4; ++i) {
        OperationChild(bar, WC_STATICW, labels[i], 0, kFields[i] - 1, labelX[i], 15, 12);
        HWND field = OperationNumberField(bar, kFields[i], kFields[i] + 1, fieldX[i], 0, 32767, Data(ctx).margin[size_t(i)], 5, 55);
        SetWindowLongW(field, GWL_STYLE, GetWindowLongW(field, GWL_STYLE) | ES_NUMBER);
    }
    OperationChild(bar, WC_STATICW, L"余白色", 0, kColourLabel, 392, 40, 12);
    AttachColourBox(OperationChild(bar, L"Pelio_cbox_class", nullptr, WS_BORDER, kColourBox, 433, 18, 18),
                    kMarginColourBox, &ctx);
}

bool Neutral(const OperationContext& ctx) { return Current(ctx).None(); }

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    int index = -1;
    for (int i = 0; i < 4; ++i)
        if (kFields[i] == id) index = i;
    if (index < 0) return;
    auto& margin = Data(ctx).margin;
    if (OperationFieldFocus(code, control, margin[size_t(index)])) return;
    switch (code) {
    case EN_CHANGE: {
        wchar_t text[16] = L"";
        GetWindowTextW(control, text, 16);
        const bool vertical = index < 2;
        const int side = vertical ? ctx.work.picture.Height() : ctx.work.picture.Width();
        margin[size_t(index)] = LimitMargin(FieldNumber(text), side, margin[size_t(index ^ 1)]);
        return;
    }
    }
}

bool Result(OperationContext& ctx, Image& out) {
    DibAllocator allocator;
    return MarginsResult(pelio::Current().AsImage(), Current(ctx), static_cast<uint32_t>(Data(ctx).colour), allocator,
                         out);
}

const OperationKind kMargins = {.code = kOpMargins, .command = cmd::kMargins, .title = L"余白付加",
                                .prepare = Prepare, .build = Build, .neutral = Neutral, .control = OnControl,
                                .result = Result, .finish = Finish, .imagePaneOnly = true};

}  // namespace

const OperationKind* MarginsOperation(int command) { return command == cmd::kMargins ? &kMargins : nullptr; }

}  // namespace pelio
