// Full screen entry points. Win32.
#include "win/viewer/full_screen.h"

#include <windows.h>

#include "win/app/app_state.h"
#include "win/editor/edit_window.h"

namespace pelio {

void EnterFullScreen() {
    AppState& app = App();
    if (app.displayMode == kModeEdit) ActivateViewer();
    else ShowWindow(app.viewer, SW_SHOW);
}

void LeaveFullScreen() {
    AppState& app = App();
    if (app.displayMode != kModeFullScreen) return;
    if (app.modeBeforeFullScreen == kModeEdit) ActivateEditWindow();
    else ActivateViewer();
}

// No slideshow can run before full screen exists.
void StartSlideshow() {}
void StopSlideshow() {}

}  // namespace pelio
