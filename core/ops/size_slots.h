// The eight registered sizes behind two drop-down lists: the trimming's width:height ratios
// and the resize presets. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelio {

// 0 means "not set".
struct SizeSlot {
    int32_t width = 0, height = 0;
    friend bool operator==(const SizeSlot&, const SizeSlot&) = default;
};
inline constexpr int kSizeSlotCount = 8;
using SizeSlots = std::array<SizeSlot, kSizeSlotCount>;
// The registration dialog's fields hold 4 digits; larger numbers are cut to this.
inline constexpr int32_t kSizeSlotMax = 9999;

// A ratio counts only with both numbers; a preset with either.
enum class SlotKind { Ratio, Preset };

bool SlotSet(SizeSlot slot, SlotKind kind);

// A row of the registration dialog on OK: numbers above 9999 become 9999 (below 0, 0); a
// row that does not count as set is cleared.
SizeSlot RegisteredSlot(SizeSlot typed, SlotKind kind);

// Item text of a slot: a ratio "w:h"; a preset "W:w " when the width is set, then "H:h"
// when the height is set; "-" when the slot is not set.
std::wstring SlotLabel(SizeSlot slot, SlotKind kind);

// The whole list: item 0 ("-" for the free ratio, "プリセット" heading the presets), the
// eight slots, then item 9 "登録" which opens the registration dialog.
inline constexpr int kSlotRegisterItem = kSizeSlotCount + 1;
std::vector<std::wstring> SlotListItems(const SizeSlots& slots, SlotKind kind);

}  // namespace pelio
