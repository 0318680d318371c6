// The frame's side of the link the windows below it use. Win32.
#pragma once

namespace pelio {

// Fills the link in: commands, image updates, the save-as dialog, the close sequence, the
// hand-over, opening a dropped file and the mode switches.
void ConnectFrame();

}  // namespace pelio
