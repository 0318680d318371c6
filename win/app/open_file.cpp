// Opening a file from outside. Win32.
#include "win/app/open_file.h"

#include <windows.h>

#include "core/commands/messages.h"
#include "win/app/app_state.h"
#include "win/app/message_box.h"
#include "win/app/paths.h"
#include "win/editor/save_prompt.h"
#include "win/image/load_dispatch.h"
#include "win/shell/shortcuts.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

bool OpenFileFromShell(const std::wstring& path) {
    AppState& app = App();
    if (!ReadyToReplaceImage()) return false;
    if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
    std::wstring target = ResolveShortcut(LongPath(path));
    bool ok = LoadImageFile(target);
    if (!ok) ShowGeneralError(kErrShowImage);
    ShowLoadedImage(ok);
    return ok;
}

}  // namespace pelio
