// Deleting the current image's file to the recycle bin and showing the next one. Win32.
#pragma once

namespace pelio {

// cmd::kDelete: true when another image (or none) is now current.
bool DeleteCurrentFile();

}  // namespace pelio
