// Names of keys and modifiers as menus, tool tips and the key dialog show them. Portable.
#pragma once
#include <string>

#include "core/commands/accelerators.h"

namespace pelio {

// The name of a virtual-key code; empty for codes without one.
const wchar_t* KeyName(unsigned virtualKey);
// "Shift+", "Ctrl+" or "Ctrl+Shift+" for the flag sets 5, 9 and 13; empty for any other.
const wchar_t* ModifierText(unsigned flags);
// Modifier text and key name; empty when the key has no name.
std::wstring ShortcutText(const Accel& accel);

}  // namespace pelio
