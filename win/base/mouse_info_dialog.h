// The dialog that lists the main mouse operations. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// Modal over `owner`. Its check box stands for "do not show at start-up": it opens checked
// when MouseInfo is off; OK stores the opposite of the box in MouseInfo; Cancel changes nothing.
void ShowMouseInfoDialog(HWND owner);

}  // namespace pelio
