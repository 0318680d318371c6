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
#include "win/frame/options_dialog.h"
#include "win/ops/operation_frame.h"
#include "win/print/print_dialog.h"
#include "win/shell/clipboard.h"
#include "win/shell/comments.h"
#include "win/shell/delete_file.h"
#include "win/shell/run_tool.h"
#include "win/shell/text_data.h"
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

void Open(int) { OpenImageDialog(); }
void Save(int) { SaveAs(); }

void Reload(int) {
    if (!ReadyToReplaceImage()) return;
    const std::wstring path = Current().path;
    const bool ok = LoadImageFile(path);
    if (!ok) ShowGeneralError(kErrShowImage);
    ImageLoaded(ok);
}

void ViewerEditSwitch(int) {
    AppState& app = App();
    if (IsIconic(app.viewer)) {
        ShowWindow(app.viewer, SW_RESTORE);
        return;
    }
    StopSlideshow();
    if (app.displayMode == kModeFullScreen) {
        app.modeBeforeFullScreen = kModeEdit;  // full screen ends there
        LeaveFullScreen();
    } else {
        ActivateEditWindow();
    }
}

void EditViewerSwitch(int) {
    if (IsIconic(App().edit)) ShowWindow(App().edit, SW_RESTORE);
    else if (!EditState().operation) ActivateViewer();
}

void Zoom(int id) { ZoomCommand(id); }
void Scroll(int id) { ScrollCommand(id); }
void ViewerWindow(int id) { WindowCommand(id); }
void EditZoom(int id) { EditZoomCommand(id); }
void EditScroll(int id) { EditScrollCommand(id); }
void EditWindow(int id) { EditWindowCommand(id); }
void SavePanel(int id) { SavePanelCommand(id); }
void Preview(int) { SavePreview(); }
void Finish(int id) { FinishOperation(id == cmd::kConfirmOperation); }
void ImmediateEdit(int id) { ImmediateEditCommand(id); }

void Operation(int id) {
    if (!StartOperation(id)) ImmediateEditCommand(id);
}

void FileList(int) {
    if (FolderWatched()) ShowFileListWindow();
}

void Topmost(int) {
    AppState& app = App();
    app.settings.app.top = !app.settings.app.top;
    SetWindowPos(app.viewer, app.settings.app.top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Help(int) {
    LeaveFullScreen();
    ShowHelpFile();
}

void Options(int) {
    LeaveFullScreen();
    OpenOptionsDialog(App().dialogOwner);
}

void MouseOperations(int) { ShowMouseInfoDialog(App().dialogOwner); }

void About(int) {
    AppState& app = App();
    if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
    if (!ShowAboutWindow(app.dialogOwner)) ShowGeneralError(kErrNoMemory);
}

void FullScreen(int) {
    AppState& app = App();
    if (IsIconic(app.dialogOwner)) {
        ShowWindow(app.dialogOwner, SW_RESTORE);
    } else if (app.displayMode != kModeFullScreen) {
        EnterFullScreen();
    } else {
        StopSlideshow();
        LeaveFullScreen();
    }
}

void Slideshow(int) { StartSlideshow(); }  // stops it when it runs
void Copy(int) { CopyImage(); }

void Histogram(int) {
    if (!OperationRunning()) ShowLuminanceHistogram();
}

void ColourCount(int) {
    if (!OperationRunning()) ShowColourCount();
}

void Paste(int) {
    if (PasteImage()) ImageLoaded(true);
}

void Delete(int) {
    if (DeleteCurrentFile()) ImageUpdated(Current().Loaded() ? ImageUpdate::Loaded : ImageUpdate::Released);
}

void FileComment(int) {
    if (!EditFileComment()) return;
    UpdateCaption();
    AppState& app = App();
    if (app.displayMode != kModeEdit) return;
    // A lossless save works on the file itself: its preview was made from the old one.
    if (app.settings.save.format == static_cast<int>(SaveFormat::JpegLossless)) {
        DiscardPreview();
        SetPaneMode(PaneMode::ImageOnly);
    }
    UpdateEditTitle();
}

void TextData(int) { ShowTextData(); }

void SaveComment(int id) {
    if (!EditState().operation) EditSaveComment();
    SavePanelCommand(id);
}

void Wallpaper(int) {
    SetWallpaper();
    UpdateCaption();
}

void Print(int) { OpenPrintDialog(); }

void Tool(int id) { RunTool(id - cmd::kTool1); }

void Minimise(int) {
    AppState& app = App();
    if (IsIconic(app.dialogOwner)) {
        ShowWindow(app.dialogOwner, SW_RESTORE);
    } else {
        StopSlideshow();
        ShowWindow(app.dialogOwner, SW_SHOWMINIMIZED);
    }
}

void Exit(int) {
    StopSlideshow();
    SendMessageW(App().viewer, WM_CLOSE, 0, 0);
}

// How much of the command rules a route applies before its handler: all of them, only the
// refusal while an operation runs in the Edit window, or none (the handler decides).
enum class Guard { Rules, Idle, None };

using Handler = void (*)(int id);

// Every command the windows send, with its handler in the Viewer window (and full screen) and
// in the Edit window; a null handler ignores the command there. The first matching row wins.
struct Route {
    int first, last;
    Handler viewer, edit;
    Guard guard = Guard::Rules;
};

constexpr Route Span(int first, int last, Handler viewer, Handler edit, Guard guard = Guard::Rules) {
    return {first, last, viewer, edit, guard};
}
constexpr Route One(int id, Handler viewer, Handler edit, Guard guard = Guard::Rules) {
    return Span(id, id, viewer, edit, guard);
}

constexpr Route kRoutes[] = {
    One(cmd::kOpen, Open, Open),
    One(cmd::kReload, Reload, Reload),
    One(cmd::kSaveAs, Save, Save),
    One(cmd::kCopy, Copy, Copy),
    One(cmd::kPaste, Paste, Paste, Guard::Idle),  // asks the save question before it looks
    One(cmd::kDelete, Delete, Delete, Guard::Idle),  // a pasted image has no file to delete
    One(cmd::kComment, FileComment, FileComment),
    One(cmd::kTextData, TextData, TextData),
    One(cmd::kWallpaper, Wallpaper, Wallpaper),
    One(cmd::kPrint, Print, Print),
    Span(cmd::kTool1, cmd::kTool8, Tool, Tool),
    Span(cmd::kTurn90, cmd::kFlip, ImmediateEdit, Operation),
    One(cmd::kInvert, ImmediateEdit, Operation),
    Span(cmd::kFirstImageOperation, cmd::kLastImageOperation, nullptr, Operation),
    One(cmd::kHistogram, Histogram, Histogram),
    One(cmd::kColourCount, ColourCount, ColourCount),
    One(cmd::kFit, Zoom, EditZoom),
    One(cmd::kZoom100, Zoom, EditZoom),
    One(cmd::kZoomIn, Zoom, EditZoom),
    One(cmd::kZoomOut, Zoom, EditZoom),
    One(cmd::kZoomToggle, Zoom, EditZoom),
    Span(cmd::kZoomPlus10, cmd::kZoomMinus10, Zoom, EditZoom),
    Span(cmd::kZoomPreset1000, cmd::kZoomPreset10, Zoom, EditZoom),
    Span(cmd::kScrollLeft, cmd::kScrollDown, Scroll, EditScroll),
    One(cmd::kSlideshow, Slideshow, Slideshow, Guard::Idle),  // also stops a running show
    One(cmd::kEditWindow, ViewerEditSwitch, EditViewerSwitch, Guard::None),
    One(cmd::kFileList, FileList, FileList),
    One(cmd::kTopmost, Topmost, Topmost),
    One(cmd::kCentre, ViewerWindow, EditWindow, Guard::None),
    Span(cmd::kTitleBar, cmd::kToolbarStrip, ViewerWindow, nullptr),
    Span(cmd::kBackgroundWhite, cmd::kBackgroundBlack, ViewerWindow, EditWindow),
    One(cmd::kHelp, Help, Help),
    One(cmd::kOptions, Options, Options),
    One(cmd::kMouseOperations, MouseOperations, MouseOperations),
    One(cmd::kAbout, About, About),
    One(cmd::kFullScreen, FullScreen, FullScreen),
    One(cmd::kMinimise, Minimise, Minimise),
    One(cmd::kExit, Exit, Exit),
    Span(cmd::kFirstFile, cmd::kNextFile, NavigateAndShow, NavigateAndShow),
    One(cmd::kScrollBars, nullptr, EditWindow),
    Span(cmd::kPanesSideBySide, cmd::kPanePreview, nullptr, EditWindow),
    Span(cmd::kTransformMenu, cmd::kToolsMenu, nullptr, EditWindow, Guard::None),
    One(cmd::kSavePreview, nullptr, Preview),
    One(cmd::kCommentSwitch, nullptr, SaveComment, Guard::None),  // the panel's rules follow either way
    Span(cmd::kDither, cmd::kCommentSwitch, nullptr, SavePanel, Guard::None),
    Span(cmd::kConfirmOperation, cmd::kAbortOperation, nullptr, Finish, Guard::None),
};

const Route* FindRoute(int id) {
    for (const Route& r : kRoutes)
        if (id >= r.first && id <= r.last) return &r;
    return nullptr;
}

CommandContext::Mode ContextMode(int displayMode) {
    switch (displayMode) {
    case kModeEdit: return CommandContext::Mode::Edit;
    case kModeFullScreen: return CommandContext::Mode::FullScreen;
    default: return CommandContext::Mode::Viewer;
    }
}

bool Allowed(const Route& route, int id) {
    const CommandContext context = CurrentCommandContext();
    switch (route.guard) {
    case Guard::Rules: return CommandEnabled(id, context);
    case Guard::Idle: return !(context.operationRunning && context.mode == CommandContext::Mode::Edit);
    case Guard::None: return true;
    }
    return true;
}

void Run(int id, bool editHandlers) {
    const Route* route = FindRoute(id);
    if (!route) return;
    const Handler handler = editHandlers ? route->edit : route->viewer;
    if (handler && Allowed(*route, id)) handler(id);
}

}  // namespace

CommandContext CurrentCommandContext() {
    const AppState& app = App();
    const CurrentImage& image = Current();
    CommandContext c;
    c.imageLoaded = image.Loaded();
    c.hasPath = c.imageLoaded && !image.path.empty();
    c.operationRunning = EditState().operation != nullptr;
    c.commentFormat = image.format == ImageFormat::Png || image.format == ImageFormat::Jpeg;
    c.hasTextData = image.info.text != 0;
    c.hasComment = image.info.comment;
    c.clipboardImage = IsClipboardFormatAvailable(CF_DIB);
    c.titleBar = app.settings.viewer.capBar;
    c.mode = ContextMode(app.displayMode);
    return c;
}

void RouteCommand(int id) {
    if (App().displayMode == kModeEdit) DispatchEditCommand(id);
    else DispatchViewerCommand(id);
}

void DispatchViewerCommand(int id) {
    AppState& app = App();
    if (ViewerDragging()) return;
    ShowPointer();
    if (app.displayMode == kModeViewer && ToolbarStripShown()) SetToolbarStrip(false);
    Run(id, false);
}

void DispatchEditCommand(int id) {
    if (EditState().drag != PaneDrag::None) return;
    Run(id, true);
}

}  // namespace pelio
