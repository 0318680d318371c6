// The cursors the program uses. Win32.
#pragma once

namespace pelio {

// The standard arrow, wait and no-entry cursors; again when the system settings change.
void ReloadStandardCursors();
// The standard cursors and the program's own cursor resources, all shared.
void LoadCursors();

}  // namespace pelio
