// Opening a file from outside. Win32.
#include "win/frame/open_file.h"

#include <windows.h>

#include "core/commands/messages.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/base/paths.h"
#include "win/image/load_dispatch.h"
#include "win/image/save_prompt.h"
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
    ImageLoaded(ok);
    return ok;
}

}  // namespace pelio
