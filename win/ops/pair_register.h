// The registration dialog of eight width/height pairs, shared by the trimming ratios and the
// resize presets. Win32.
#pragma once
#include <windows.h>

#include "core/ops/size_slots.h"

namespace pelio {

// Modal, with its top-left corner at `at` (screen). The fields show the pairs (empty for 0);
// on OK `pairs` receives the sixteen numbers as typed (for RegisteredSlot) and the result is true. False on Cancel
// and when the dialog was closed by ClosePairRegistration.
bool RegisterPairs(HWND owner, const wchar_t* title, POINT at, SizeSlots& pairs);
// Closes an open registration dialog as cancelled (its operation is ending).
void ClosePairRegistration();

}  // namespace pelio
