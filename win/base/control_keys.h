// Keys that the focused control uses itself, kept from the program's shortcuts. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// True when `msg` is a key the control it is addressed to acts on: a drop-down list's
// navigation keys (every key while it is dropped down), a slider's arrows, pages, Home and
// End, an up-down control's arrows. Such keys skip the accelerators and the Edit window's
// Enter/Esc handling.
bool ControlOwnsKey(const MSG& msg);
bool FocusedControlOwnsKey(WPARAM key);

}  // namespace pelio
