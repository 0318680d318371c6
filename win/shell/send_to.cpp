// The Send To shortcut. Win32.
#include "win/shell/send_to.h"

#include <windows.h>
#include <shlobj.h>

#include "win/base/paths.h"
#include "win/shell/shortcuts.h"

namespace pelio {

namespace {

std::wstring ShortcutPath(int createFlag) {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_SENDTO | createFlag, nullptr, SHGFP_TYPE_CURRENT, folder)) ||
        !folder[0])
        return {};
    std::wstring path = folder;
    if (path.back() != L'\\') path += L'\\';
    return path + kSendToShortcutName;
}

}  // namespace

std::wstring SendToShortcutPath() { return ShortcutPath(0); }

bool SendToShortcutExists() {
    const std::wstring path = SendToShortcutPath();
    return !path.empty() && FileExists(path);
}

SendToState ReadSendTo() {
    const bool exists = SendToShortcutExists();
    return {exists, exists};
}

void ApplySendTo(SendToState& state) {
    if (state.checked == state.initial) return;
    state.initial = state.checked;
    // The folder is made when missing, so that a fresh profile gets the shortcut too.
    const std::wstring path = ShortcutPath(state.checked ? CSIDL_FLAG_CREATE : 0);
    if (path.empty()) return;
    if (state.checked) {
        if (!FileExists(path)) CreateShortcut(path, ExecutablePath());
    } else if (FileExists(path)) {
        DeleteFileW(path.c_str());
    }
}

}  // namespace pelio
