// The Options dialog: six pages over a tab control editing copies of the settings, applied
// by OK and "適用". Win32.
#pragma once
#include <windows.h>

namespace pelio {

// Modal, owned by `owner`; returns when it closes.
void OpenOptionsDialog(HWND owner);

}  // namespace pelio
