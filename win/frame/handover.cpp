// Hand-over of a second start. Win32.
#include "win/frame/handover.h"

#include <cwchar>

#include "core/commands/command_ids.h"
#include "core/commands/command_line.h"
#include "win/base/app_state.h"
#include "win/frame/commands.h"
#include "win/frame/open_file.h"
#include "win/base/paths.h"
#include "win/frame/window_classes.h"
#include "win/editor/edit_window.h"
#include "win/viewer/full_screen.h"

namespace pelio {

bool HandOverToRunningInstance(const std::vector<std::wstring>& argv) {
    HWND target = FindWindowW(kViewerClass, nullptr);
    if (!target) return false;
    if (!IsWindowVisible(target)) {
        if (HWND edit = FindWindowW(kEditClass, nullptr)) target = edit;
    }
    if (IsIconic(target)) ShowWindowAsync(target, SW_RESTORE);
    SetForegroundWindow(target);
    if (argv.size() < 2) return true;

    Handover h = MakeHandover(argv);
    std::wstring file = h.hasFile ? LongPath(h.file) : std::wstring();
    COPYDATASTRUCT cds{};
    cds.dwData = h.data;
    if (h.hasFile) {
        cds.cbData = static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t));
        cds.lpData = file.data();
    }
    SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    return true;
}

void ReceiveHandover(const COPYDATASTRUCT* cds) {
    AppState& app = App();
    if (!cds || (app.dialogOwner && !IsWindowEnabled(app.dialogOwner))) return;

    std::wstring file;
    if (cds->lpData && cds->cbData >= sizeof(wchar_t)) {
        const auto* text = static_cast<const wchar_t*>(cds->lpData);
        size_t units = std::min<size_t>(cds->cbData / sizeof(wchar_t), MAX_PATH);
        file.assign(text, wcsnlen(text, units));
    }
    auto open = [&] { return !file.empty() && OpenFileFromShell(file); };

    switch (HandoverAction(static_cast<uint32_t>(cds->dwData))) {
    case StartAction::Open:
        open();
        break;
    case StartAction::Slideshow:
        EnterFullScreen();
        if (open()) StartSlideshow();
        break;
    case StartAction::FullScreen:
        EnterFullScreen();
        open();
        break;
    case StartAction::Edit:
        if (app.displayMode != kModeEdit) ActivateEditWindow();
        open();
        break;
    case StartAction::Viewer:
        if (app.displayMode != kModeViewer) ActivateViewer();
        open();
        break;
    case StartAction::Options:
        // Posted: the modal dialog must not hold the sending instance.
        PostMessageW(app.viewer, WM_COMMAND, cmd::kOptions, 0);
        break;
    case StartAction::Normal:
    case StartAction::Ignore:
        break;
    }
}

}  // namespace pelio
