// Registration of the program's window classes. Win32.
#pragma once
#include <windows.h>

#include "win/base/class_names.h"

namespace pelio {

// Registers every class of the main windows and their children; false if one fails.
bool RegisterWindowClasses(HINSTANCE instance);

}  // namespace pelio
