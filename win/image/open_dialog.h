// The open-file dialog. Win32.
#pragma once

namespace pelio {

// Asks the save-changes question, shows the open dialog and loads the chosen file; reports a
// failed load. True when a new image is current.
bool OpenImageDialog();

}  // namespace pelio
