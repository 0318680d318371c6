// Command dispatchers. Win32.
#include "win/frame/commands.h"

#include <windows.h>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "win/base/about_window.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/html_help.h"
#include "win/base/message_box.h"
#include "win/base/mouse_info_dialog.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_window.h"
#include "win/editor/save_panel.h"
#include "win/editor/save_pipeline.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/open_dialog.h"
#include "win/image/save_prompt.h"
#include "win/ops/immediate_edits.h"
#include "win/ops/inspections.h"
#include "win/ops/operation_frame.h"
#include "win/shell/clipboard.h"
#include "win/shell/delete_file.h"
#include "win/shell/wallpaper.h"
#include "win/viewer/file_list.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/toolbar_strip.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

void NavigateAndShow(int id) {
    static constexpr NavigateKind kKinds[] = {NavigateKind::First, NavigateKind::Last,
                                              NavigateKind::Previous, NavigateKind::Next};
    switch (Navigate(kKinds[id - cmd::kFirstFile])) {
    case kNavigateLoaded:
        ImageLoaded(true);
        if (App().displayMode == kModeFullScreen) HidePointer();
        break;
    case kNavigateFailed:
        ShowGeneralError(kErrShowImage);
        UpdateCaption();
        break;
    case kNavigateNone:
        break;
    }
}

// Commands the Edit window refuses while an image operation runs.
bool IgnoredDuringOperation(int id) {
    switch (id) {
    case cmd::kCopy: case cmd::kComment: case cmd::kTextData: case cmd::kWallpaper: case cmd::kPrint:
    case cmd::kColourCount: case cmd::kHistogram: case cmd::kSlideshow: case cmd::kFileList:
    case cmd::kOptions: case cmd::kHelp: case cmd::kMouseOperations: case cmd::kAbout: case cmd::kFullScreen:
        return true;
    }
    return id >= cmd::kTool1 && id <= cmd::kTool1 + 7;
}

}  // namespace

void RouteCommand(int id) {
    if (App().displayMode == kModeEdit) DispatchEditCommand(id);
    else DispatchViewerCommand(id);
}

void DispatchViewerCommand(int id) {
    AppState& app = App();
    if (ViewerDragging()) return;
    ShowPointer();
    if (app.displayMode == kModeViewer && ToolbarStripShown()) SetToolbarStrip(false);
    if (ImmediateEditCommand(id)) return;
    switch (id) {
    case cmd::kOpen:
        OpenImageDialog();
        return;
    case cmd::kSaveAs:
        if (Current().Loaded()) SaveAs();
        return;
    case cmd::kReload:
        if (Current().Loaded() && !Current().path.empty() && ReadyToReplaceImage()) {
            const std::wstring path = Current().path;
            const bool ok = LoadImageFile(path);
            if (!ok) ShowGeneralError(kErrShowImage);
            ImageLoaded(ok);
        }
        return;
    case cmd::kFirstFile:
    case cmd::kLastFile:
    case cmd::kPreviousFile:
    case cmd::kNextFile:
        if (Current().Loaded()) NavigateAndShow(id);
        return;
    case cmd::kScrollLeft:
    case cmd::kScrollRight:
    case cmd::kScrollUp:
    case cmd::kScrollDown:
        ScrollCommand(id);
        return;
    case cmd::kCentre:
    case cmd::kTitleBar:
    case cmd::kFrame:
    case cmd::kToolbarStrip:
        WindowCommand(id);
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
        if (app.displayMode == kModeFullScreen) app.modeBeforeFullScreen = kModeEdit;  // full screen ends there
        if (app.displayMode == kModeFullScreen) LeaveFullScreen();
        else ActivateEditWindow();
        return;
    default:
        if (id >= cmd::kZoomPreset1000 && id <= cmd::kZoomPreset10) {
            ZoomCommand(id);
            return;
        }
        if (id >= cmd::kBackgroundWhite && id <= cmd::kBackgroundBlack) {
            WindowCommand(id);
            return;
        }
        ExecuteCommonCommand(id);
    }
}

void DispatchEditCommand(int id) {
    const EditWindowState& e = EditState();
    if (e.drag != PaneDrag::None) return;
    const bool busy = e.activeOperation != 0;
    const bool image = Current().Loaded();
    switch (id) {
    case cmd::kOpen:
    case cmd::kPaste:
    case cmd::kDelete:
        if (!busy) ExecuteCommonCommand(id);
        return;
    case cmd::kReload:
        if (image && !Current().path.empty() && !busy && ReadyToReplaceImage()) {
            const std::wstring path = Current().path;
            if (LoadImageFile(path)) {
                RefreshAfterNewImage(true);
            } else {
                ShowGeneralError(kErrShowImage);
                UpdateEditTitle();
            }
        }
        return;
    case cmd::kSaveAs:
        if (image && !busy) SaveAs();
        return;
    case cmd::kFirstFile:
    case cmd::kLastFile:
    case cmd::kPreviousFile:
    case cmd::kNextFile:
        if (image && !busy) NavigateAndShow(id);
        return;
    case cmd::kEditWindow:
        if (IsIconic(App().edit)) ShowWindow(App().edit, SW_RESTORE);
        else if (!busy) ActivateViewer();
        return;
    case cmd::kSavePreview:
        if (image && !busy) SavePreview();
        return;
    case cmd::kConfirmOperation:
    case cmd::kAbortOperation:
        FinishOperation(id == cmd::kConfirmOperation);
        return;
    }
    if (id >= cmd::kFirstImageOperation && id <= cmd::kLastImageOperation) {
        if (image && !busy && !StartOperation(id)) ImmediateEditCommand(id);
        return;
    }
    if (EditZoomCommand(id) || EditScrollCommand(id) || EditWindowCommand(id) || SavePanelCommand(id)) return;
    if (busy && IgnoredDuringOperation(id)) return;
    ExecuteCommonCommand(id);
}

void ExecuteCommonCommand(int id) {
    AppState& app = App();
    switch (id) {
    case cmd::kFileList:
        if (Current().Loaded() && FolderWatched()) ShowFileListWindow();
        return;
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
    case cmd::kAbout:
        if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
        if (!ShowAboutWindow(app.dialogOwner)) ShowGeneralError(kErrNoMemory);
        return;
    case cmd::kFullScreen:
        if (IsIconic(app.dialogOwner)) {
            ShowWindow(app.dialogOwner, SW_RESTORE);
        } else if (app.displayMode != kModeFullScreen) {
            EnterFullScreen();
        } else {
            StopSlideshow();
            LeaveFullScreen();
        }
        return;
    case cmd::kSlideshow:
        StartSlideshow();  // stops it when it runs
        return;
    case cmd::kCopy:
        CopyImage();
        return;
    case cmd::kHistogram:
        if (!OperationRunning()) ShowLuminanceHistogram();
        return;
    case cmd::kColourCount:
        if (!OperationRunning()) ShowColourCount();
        return;
    case cmd::kPaste:
        if (PasteImage()) ImageLoaded(true);
        return;
    case cmd::kDelete:
        if (!DeleteCurrentFile()) return;
        ImageUpdated(Current().Loaded() ? ImageUpdate::Loaded : ImageUpdate::Released);
        return;
    case cmd::kWallpaper:
        SetWallpaper();
        UpdateCaption();
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
