// Close sequence. Win32.
#include "win/app/shutdown.h"

#include <windows.h>

#include "core/settings/accelerators.h"
#include "core/settings/settings.h"
#include "win/app/app_state.h"
#include "win/app/ini_store.h"
#include "win/editor/edit_window.h"

namespace pelio {

namespace {

// The live table as it stands (the key dialog may have replaced it).
AccelTable CopyLiveAccelerators() {
    AppState& app = App();
    AccelTable table = app.accelTable;
    ACCEL live[kAccelCount];
    if (app.accel && CopyAcceleratorTableW(app.accel, live, kAccelCount) == kAccelCount) {
        for (int i = 0; i < kAccelCount; ++i)
            table[i] = Accel{static_cast<uint8_t>(live[i].fVirt & 0x7F), live[i].key, live[i].cmd};
    }
    return table;
}

}  // namespace

bool RunCloseSequence() {
    AppState& app = App();
    IniStore store(app.iniPath);

    WriteStoredAccelerators(store, CopyLiveAccelerators());
    if (app.accel) {
        DestroyAcceleratorTable(app.accel);
        app.accel = nullptr;
    }
    if (app.lightBrush) {
        DeleteObject(app.lightBrush);
        app.lightBrush = nullptr;
    }
    StoreEditPlacement();
    SaveAllSettings(store, app.settings);
    return true;
}

}  // namespace pelio
