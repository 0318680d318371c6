// Delete to the recycle bin. Win32.
#include "win/shell/delete_file.h"

#include <windows.h>

#include "core/commands/messages.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/base/recycle_bin.h"
#include "win/image/current_image.h"
#include "win/image/save_prompt.h"
#include "win/viewer/file_list.h"

namespace pelio {

bool DeleteCurrentFile() {
    CurrentImage& c = Current();
    if (!c.Loaded() || !ReadyToReplaceImage()) return false;
    if (!c.path.empty() && GetFileAttributesW(c.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (!MoveToRecycleBin(c.path, !App().settings.app.noRecycMsg)) return false;
    }
    const int position = RemoveSelectedFileListEntry();
    const int count = FileListCount();
    if (count == 0) {
        c.modified = false;
        ReleaseCurrentImage();
        return true;
    }
    const int next = position >= 0 && position < count ? position : 0;
    if (!LoadFileListEntry(next)) {
        ShowGeneralError(kErrShowImage);
        return false;
    }
    return true;
}

}  // namespace pelio
