// Resize. Win32.
#include "win/ops/resize_operation.h"

#include <windows.h>
#include <commctrl.h>

#include <new>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/ops/edit_results.h"
#include "core/ops/resize_fields.h"
#include "core/ops/size_slots.h"
#include "core/settings/save_panel.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/ops/operation_frame.h"
#include "win/ops/pair_register.h"

namespace pelio {

namespace {

constexpr int kSlider = 1210, kWidthLabel = 1220, kHeightLabel = 1221, kWidthField = 1230, kHeightField = 1231,
              kWidthUpDown = 1240, kHeightUpDown = 1241, kIgnoreAspect = 1250, kPresets = 1260;
constexpr wchar_t kSection[] = L"ImgS";
constexpr SizeSlots kDefaultPresets = {SizeSlot{1024, 768}, SizeSlot{240, 0}, SizeSlot{0, 120}};

// Computed on Confirm only: no worker reads these.
struct ResizeData : OperationData {
    ResizeData(int width, int height) : fields(width, height) {}
    ResizeFields fields;
    SizeSlots presets{};
};

ResizeData& Data(OperationContext& ctx) { return DataOf<ResizeData>(ctx); }
const ResizeData& Data(const OperationContext& ctx) { return DataOf<ResizeData>(ctx); }
HWND Control(const OperationContext& ctx, int id) { return GetDlgItem(ctx.toolbar, id); }

std::wstring PresetKey(int slot, wchar_t side) { return L"RszP" + std::to_wstring(slot) + side; }

bool Prepare(OperationContext& ctx) {
    auto* d = new (std::nothrow) ResizeData(ctx.work.picture.Width(), ctx.work.picture.Height());
    if (!d) return false;
    ctx.data.reset(d);
    IniStore store(App().iniPath);
    for (int i = 0; i < kSizeSlotCount; ++i) {
        SizeSlot& slot = d->presets[size_t(i)];
        slot.width = store.ReadInt(kSection, PresetKey(i + 1, L'W').c_str(), kDefaultPresets[size_t(i)].width);
        slot.height = store.ReadInt(kSection, PresetKey(i + 1, L'H').c_str(), kDefaultPresets[size_t(i)].height);
    }
    return true;
}

void Finish(OperationContext& ctx) {
    ClosePairRegistration();
    IniStore store(App().iniPath);
    for (int i = 0; i < kSizeSlotCount; ++i) {
        const SizeSlot& slot = Data(ctx).presets[size_t(i)];
        store.WriteInt(kSection, PresetKey(i + 1, L'W').c_str(), slot.width);
        store.WriteInt(kSection, PresetKey(i + 1, L'H').c_str(), slot.height);
    }
}

void FillPresets(const OperationContext& ctx) {
    HWND list = Control(ctx, kPresets);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : SlotListItems(Data(ctx).presets, SlotKind::Preset))
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

void Build(OperationContext& ctx, HWND bar) {
    const ResizeFields& f = Data(ctx).fields;
    HWND slider = OperationSliderControl(bar, kSlider, 58, 180, 1, 200, 10);
    SendMessageW(slider, TBM_SETPOS, TRUE, 100);
    OperationChild(bar, WC_STATICW, L"W", 0, kWidthLabel, 246, 12, 12);
    OperationNumberField(bar, kWidthField, kWidthUpDown, 259, 1, 2 * f.NewWidth(), f.NewWidth(), 4);
    OperationChild(bar, WC_STATICW, L"H", 0, kHeightLabel, 319, 12, 12);
    OperationNumberField(bar, kHeightField, kHeightUpDown, 332, 1, 2 * f.NewHeight(), f.NewHeight(), 4);
    OperationChild(bar, WC_BUTTONW, L"縦横比無視", BS_AUTOCHECKBOX, kIgnoreAspect, 398, 82, 16);
    HWND list = OperationChild(bar, WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | WS_VSCROLL, kPresets, 500, 85, 400);
    SendMessageW(list, CB_SETEXTENDEDUI, TRUE, 0);
    FillPresets(ctx);
}

bool Neutral(const OperationContext& ctx) { return Data(ctx).fields.Unchanged(); }

void SetField(const OperationContext& ctx, int id, int value) {
    ProgramChange quiet;
    SetWindowTextW(Control(ctx, id), std::to_wstring(value).c_str());
}

// A field's value through its rule; the other field and the slider follow.
void ApplyField(OperationContext& ctx, int id, int value) {
    ResizeFields& f = Data(ctx).fields;
    const bool width = id == kWidthField;
    const ResizeFields::Echo echo = width ? f.SetWidth(value) : f.SetHeight(value);
    if (echo.otherField >= 0) SetField(ctx, width ? kHeightField : kWidthField, echo.otherField);
    if (echo.slider >= 0) {
        ProgramChange quiet;
        SendMessageW(Control(ctx, kSlider), TBM_SETPOS, TRUE, echo.slider);
    }
}

// The program writes a field: its text, then its rule.
void WriteField(OperationContext& ctx, int id, int value) {
    SetField(ctx, id, value);
    ApplyField(ctx, id, value);
}

void SetIgnoreAspect(OperationContext& ctx, bool ignore) {
    Data(ctx).fields.ignoreAspect = ignore;
    SendMessageW(Control(ctx, kIgnoreAspect), BM_SETCHECK, ignore ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(Control(ctx, kSlider), !ignore);
}

void Register(OperationContext& ctx, HWND list) {
    RECT r{};
    GetWindowRect(list, &r);
    SizeSlots typed = Data(ctx).presets;
    // A cancel also comes when the operation ends under the dialog: the record is gone then.
    if (!RegisterPairs(EditState().window, L"サイズ登録", POINT{r.left, r.bottom}, typed)) return;
    for (int i = 0; i < kSizeSlotCount; ++i)
        Data(ctx).presets[size_t(i)] = RegisteredSlot(typed[size_t(i)], SlotKind::Preset);
    FillPresets(ctx);
}

void OnPresetChosen(OperationContext& ctx, HWND list) {
    const int item = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    SetFocus(EditState().window);
    if (item == kSlotRegisterItem || item == CB_ERR) {
        Register(ctx, list);
        return;
    }
    if (item < 1 || item > kSizeSlotCount) return;
    const auto [w, h] = Data(ctx).presets[size_t(item - 1)];
    if (w && h) {
        SetIgnoreAspect(ctx, true);
        WriteField(ctx, kWidthField, w);
        WriteField(ctx, kHeightField, h);
    } else if (w || h) {
        SetIgnoreAspect(ctx, false);
        WriteField(ctx, w ? kWidthField : kHeightField, w ? w : h);
    }
}

void OnControl(OperationContext& ctx, int id, int code, HWND control) {
    switch (id) {
    case kWidthField:
    case kHeightField: {
        const ResizeFields& f = Data(ctx).fields;
        if (OperationFieldFocus(code, control, id == kWidthField ? f.NewWidth() : f.NewHeight())) return;
        if (code != EN_CHANGE) return;
        wchar_t text[16] = L"";
        GetWindowTextW(control, text, 16);
        ApplyField(ctx, id, FieldNumber(text));
        return;
    }
    case kIgnoreAspect:
        if (code == BN_CLICKED) SetIgnoreAspect(ctx, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
        return;
    case kPresets:
        if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) RebarFieldFocus(control, code == CBN_SETFOCUS);
        else if (code == CBN_CLOSEUP) OnPresetChosen(ctx, control);
        return;
    }
}

// Line and page steps wait for the end of the track.
void OnSlider(OperationContext& ctx, HWND slider, int code) {
    if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK && code != TB_ENDTRACK) return;
    const int percent = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
    const ResizeFields& f = Data(ctx).fields;
    const int width = f.SliderWidth(percent), height = f.SliderHeight(percent);
    WriteField(ctx, kWidthField, width);
    WriteField(ctx, kHeightField, height);
}

// The current image in 24 bits (converted when it has a palette), resampled.
bool Result(OperationContext& ctx, Image& out) {
    const ResizeFields& f = Data(ctx).fields;
    DibAllocator allocator;
    return ResizeResult(Current().AsImage(), f.NewWidth(), f.NewHeight(), allocator, out);
}

const OperationKind kResize = {.code = kOpResize, .command = cmd::kResize, .title = L"リサイズ",
                               .prepare = Prepare, .build = Build, .neutral = Neutral, .control = OnControl,
                               .slider = OnSlider, .result = Result, .finish = Finish, .imagePaneOnly = true};

}  // namespace

const OperationKind* ResizeOperation(int command) { return command == cmd::kResize ? &kResize : nullptr; }

}  // namespace pelio
