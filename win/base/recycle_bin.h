// Deleting files to the recycle bin. Win32.
#pragma once
#include <string>

namespace pelio {

// Sends a file to the recycle bin (undo allowed, no progress), asking first when `confirm`.
// False when it failed or the user declined.
bool MoveToRecycleBin(const std::wstring& path, bool confirm);

}  // namespace pelio
