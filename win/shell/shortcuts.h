// Shell shortcuts (.lnk files): resolving those named from outside, making our own. Win32.
#pragma once
#include <string>

namespace pelio {

bool IsShortcut(const std::wstring& path);
// The target of a shortcut; the path itself when it is not one or cannot be resolved.
std::wstring ResolveShortcut(const std::wstring& path);
// Saves a shortcut at `linkPath` to `target`, starting in the target's folder.
bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target);

}  // namespace pelio
