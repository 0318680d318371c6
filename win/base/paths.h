// Small path and file-system helpers of the shell. Win32.
#pragma once
#include <string>

namespace pelio {

bool FileExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
// The running executable's full path as the system gives it.
std::wstring ExecutablePath();
// The folder of the running executable, without a trailing backslash.
std::wstring ExecutableFolder();
// The name part of the running executable's path ("Pelio.exe").
std::wstring ExecutableName();
// The user's Documents folder; empty when the shell does not know it.
std::wstring DocumentsFolder();
// The long form of a path (at most MAX_PATH - 1 characters); the path itself when it has none.
std::wstring LongPath(const std::wstring& path);

}  // namespace pelio
