// The key assignment dialog's data: the names of the accelerator slots, the keys offered, and
// assign, remove and reset on a copy of the accelerator table. Portable.
#pragma once
#include <cstdint>
#include <span>

#include "core/commands/accelerators.h"

namespace pelio {

// The name the key dialog shows for each slot, in slot order ("ファイル - 開く" …).
std::span<const wchar_t* const, kAccelCount> SlotNames();

// The virtual-key codes the dialog offers, in the order of its list (not sorted).
inline constexpr int kOfferedKeyCount = 90;
std::span<const uint16_t, kOfferedKeyCount> OfferedKeys();

enum class AssignOutcome {
    Assigned,
    NoSlot,   // no row selected: refused with a message
    NoKey,    // no key selected: nothing happens
    InUse,    // some slot, the selected one included, has the same key and modifiers
};

// Gives slot `slot` (-1: none selected) the key `key` (0: none selected) with the flags
// kAccelVirtKey plus Ctrl and Shift as asked. Changes `table` only when Assigned.
AssignOutcome AssignKey(AccelTable& table, int slot, unsigned key, bool ctrl, bool shift);

// Clears the slot's key and modifiers; false (and nothing changed) when `slot` is no slot.
bool RemoveKey(AccelTable& table, int slot);

// Every slot back to the default key.
void ResetKeys(AccelTable& table);

}  // namespace pelio
