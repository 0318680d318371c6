// The registered sizes of the ratio and preset lists. Portable.
#include "core/ops/size_slots.h"

#include <algorithm>

namespace pelio {

bool SlotSet(SizeSlot slot, SlotKind kind) {
    return kind == SlotKind::Ratio ? slot.width > 0 && slot.height > 0 : slot.width > 0 || slot.height > 0;
}

SizeSlot RegisteredSlot(SizeSlot typed, SlotKind kind) {
    const SizeSlot s{std::clamp(typed.width, 0, kSizeSlotMax), std::clamp(typed.height, 0, kSizeSlotMax)};
    return SlotSet(s, kind) ? s : SizeSlot{};
}

std::wstring SlotLabel(SizeSlot slot, SlotKind kind) {
    if (!SlotSet(slot, kind)) return L"-";
    if (kind == SlotKind::Ratio) return std::to_wstring(slot.width) + L":" + std::to_wstring(slot.height);
    std::wstring text;
    if (slot.width > 0) text += L"W:" + std::to_wstring(slot.width) + L" ";
    if (slot.height > 0) text += L"H:" + std::to_wstring(slot.height);
    return text;
}

std::vector<std::wstring> SlotListItems(const SizeSlots& slots, SlotKind kind) {
    std::vector<std::wstring> items;
    items.reserve(kSlotRegisterItem + 1);
    items.push_back(kind == SlotKind::Ratio ? L"-" : L"プリセット");
    for (const SizeSlot& slot : slots) items.push_back(SlotLabel(slot, kind));
    items.push_back(L"登録");
    return items;
}

}  // namespace pelio
