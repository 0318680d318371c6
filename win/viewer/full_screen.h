// Full screen and the slideshow: the entry points the rest of the program calls. Win32.
#pragma once

namespace pelio {

// Full screen itself is not part of this build yet: entering it shows the Viewer window.
void EnterFullScreen();
// Returns to the mode full screen was entered from; nothing outside full screen.
void LeaveFullScreen();
void StartSlideshow();
void StopSlideshow();

}  // namespace pelio
