// Close sequence. Win32.
#include "win/frame/shutdown.h"

#include <windows.h>

#include "core/settings/settings.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/base/menus.h"
#include "win/base/toolbar_support.h"
#include "win/editor/edit_window.h"
#include "win/image/save_prompt.h"
#include "win/image/current_image.h"
#include "win/image/read_ahead.h"
#include "win/image/save_dispatch.h"
#include "win/viewer/file_list.h"
#include "win/viewer/toolbar_strip.h"

namespace pelio {

bool RunCloseSequence() {
    // Unsaved changes: cancel, or a save that failed after "yes", keeps the program running.
    if (!ReadyToReplaceImage()) return false;
    AppState& app = App();
    IniStore store(app.iniPath);

    ReleaseToolbarStrip();
    CloseFolderWatch();
    StopReadAhead();
    DiscardTempFile();
    ReleaseCurrentImage();
    if (app.lightBrush) {
        DeleteObject(app.lightBrush);
        app.lightBrush = nullptr;
    }
    SaveAccelerators();
    ReleaseToolbarDrawing();
    StoreEditPlacement();
    SaveAllSettings(store, app.settings);
    return true;
}

}  // namespace pelio
