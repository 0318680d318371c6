// Shell shortcuts (.lnk files) named from outside. Win32.
#pragma once
#include <string>

namespace pelio {

bool IsShortcut(const std::wstring& path);
// The target of a shortcut; the path itself when it is not one or cannot be resolved.
std::wstring ResolveShortcut(const std::wstring& path);

}  // namespace pelio
