// Open-file dialog. Win32.
#include "win/image/open_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "core/commands/messages.h"
#include "core/image/open_filter.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/base/paths.h"
#include "win/image/load_dispatch.h"
#include "win/image/plugin_host.h"
#include "win/image/save_prompt.h"

namespace pelio {

namespace {

std::wstring CurrentDirectory() {
    wchar_t dir[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, dir);
    return n > 0 && n < MAX_PATH ? std::wstring(dir, n) : std::wstring();
}

}  // namespace

bool OpenImageDialog() {
    AppState& app = App();
    if (!ReadyToReplaceImage()) return false;
    if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
    const std::wstring remembered = CurrentDirectory();

    std::wstring filters = JoinDialogFilters(OpenDialogFilters(PluginPatterns(app.settings.path.spi)));
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.dialogOwner;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = app.settings.path.open.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return false;

    if (app.viewer) UpdateWindow(app.viewer);
    if (ofn.nFileOffset > 0) app.settings.path.open.assign(file, ofn.nFileOffset - 1);
    if (!remembered.empty()) SetCurrentDirectoryW(remembered.c_str());
    bool ok = LoadImageFile(file);
    if (!ok) ShowGeneralError(kErrShowImage);
    ImageLoaded(ok);
    return ok;
}

}  // namespace pelio
