// Command dispatchers. Win32.
#include "win/app/commands.h"

#include <windows.h>

#include "core/settings/command_ids.h"
#include "win/app/app_state.h"
#include "win/app/html_help.h"
#include "win/app/mouse_info_dialog.h"
#include "win/editor/edit_window.h"
#include "win/image/open_dialog.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

void RouteCommand(int id) {
    if (App().displayMode == kModeEdit) DispatchEditCommand(id);
    else DispatchViewerCommand(id);
}

void DispatchViewerCommand(int id) {
    AppState& app = App();
    switch (id) {
    case cmd::kOpen:
        OpenImageDialog();
        return;
    case cmd::kFit:
    case cmd::kZoom100:
    case cmd::kZoomIn:
    case cmd::kZoomOut:
    case cmd::kZoomToggle:
    case cmd::kZoomPlus10:
    case cmd::kZoomMinus10:
        ZoomCommand(id);
        return;
    case cmd::kEditWindow:
        if (IsIconic(app.viewer)) {
            ShowWindow(app.viewer, SW_RESTORE);
            return;
        }
        StopSlideshow();
        LeaveFullScreen();
        ActivateEditWindow();
        return;
    default:
        if (id >= cmd::kZoomPreset1000 && id <= cmd::kZoomPreset10) {
            ZoomCommand(id);
            return;
        }
        ExecuteCommonCommand(id);
    }
}

void DispatchEditCommand(int id) {
    switch (id) {
    case cmd::kEditWindow:
        ActivateViewer();
        return;
    default:
        ExecuteCommonCommand(id);
    }
}

void ExecuteCommonCommand(int id) {
    AppState& app = App();
    switch (id) {
    case cmd::kTopmost:
        app.settings.app.top = !app.settings.app.top;
        SetWindowPos(app.viewer, app.settings.app.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    case cmd::kOptions:
        // The Options dialog is not part of this build yet.
        return;
    case cmd::kHelp:
        LeaveFullScreen();
        ShowHelpFile();
        return;
    case cmd::kMouseOperations:
        ShowMouseInfoDialog(app.dialogOwner);
        return;
    case cmd::kMinimise:
        if (IsIconic(app.dialogOwner)) {
            ShowWindow(app.dialogOwner, SW_RESTORE);
        } else {
            StopSlideshow();
            ShowWindow(app.dialogOwner, SW_SHOWMINIMIZED);
        }
        return;
    case cmd::kExit:
        StopSlideshow();
        SendMessageW(app.viewer, WM_CLOSE, 0, 0);
        return;
    default:
        return;
    }
}

}  // namespace pelio
