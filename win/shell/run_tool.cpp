// Registered tools. Win32.
#include "win/shell/run_tool.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/commands/messages.h"
#include "core/commands/shell_integration.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/viewer/full_screen.h"

namespace pelio {

namespace {

// The tool is started over a window of ours that stays on top no longer.
void LeaveTopmost() {
    AppState& app = App();
    if (!app.settings.app.top) return;
    app.settings.app.top = false;
    SetWindowPos(app.viewer, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (app.displayMode == kModeEdit && app.edit) SetForegroundWindow(app.edit);
}

}  // namespace

bool RunTool(int index) {
    AppState& app = App();
    if (index < 0 || index >= kToolCount || app.settings.path.app[index].empty()) return false;
    LeaveFullScreen();
    LeaveTopmost();
    const CurrentImage& image = Current();
    const std::wstring parameters = image.Loaded() ? QuoteIfBlank(image.path) : std::wstring();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = app.dialogOwner;
    info.lpFile = app.settings.path.app[index].c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) return true;
    ShowGeneralError(kErrFileRun);
    return false;
}

}  // namespace pelio
