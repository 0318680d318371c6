// The key customisation dialog: assigns, removes and resets keys in a copy of the accelerator
// table. Win32.
#pragma once
#include <windows.h>

#include "core/commands/accelerators.h"

namespace pelio {

// Modal over `owner`. True when an assign, remove or reset was carried out on `copy`; the
// copy becomes live only when its owner applies it.
bool OpenKeyDialog(HWND owner, AccelTable& copy);

}  // namespace pelio
