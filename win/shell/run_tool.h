// Starting a registered tool with the current image. Win32.
#pragma once

namespace pelio {

// cmd::kTool1 … kTool8: leaves full screen and the topmost layer, then has the shell start
// tool `index` (0 … 7) with the current image's path (quoted when it has blanks; nothing
// without an image). False, after the error message, when the shell could not start it; an
// unregistered tool does nothing.
bool RunTool(int index);

}  // namespace pelio
