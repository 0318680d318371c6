// The close sequence of the Viewer window. Win32.
#pragma once

namespace pelio {

// Runs the save-changes question and the saves in their fixed order; false when the close is
// refused and the program keeps running.
bool RunCloseSequence();

}  // namespace pelio
