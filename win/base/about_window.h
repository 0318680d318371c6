// The About window: product name, version and a link to the help. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

// The product version from the program's version resource ("0.1.0"); empty if absent.
std::wstring ProductVersion();

// Shows the window, modal to `owner`; false when it could not be created.
bool ShowAboutWindow(HWND owner);

}  // namespace pelio
