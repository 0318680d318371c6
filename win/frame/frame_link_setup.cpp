// The frame's answers to the windows below it. Win32.
#include "win/frame/frame_link_setup.h"

#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_window.h"
#include "win/editor/save_pipeline.h"
#include "win/frame/commands.h"
#include "win/frame/handover.h"
#include "win/frame/open_file.h"
#include "win/frame/shutdown.h"
#include "win/image/current_image.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

// The Edit window shows every image update itself; the Viewer otherwise.
void ShowImageUpdate(ImageUpdate update) {
    if (App().displayMode == kModeEdit) {
        switch (update) {
        case ImageUpdate::Loaded:
            if (Current().Loaded()) RefreshAfterNewImage(true);
            else UpdateEditTitle();
            return;
        case ImageUpdate::Kept: UpdateEditTitle(); return;
        case ImageUpdate::Edited: RefreshAfterNewImage(false); return;
        case ImageUpdate::Resized:
        case ImageUpdate::Released: RefreshAfterNewImage(true); return;
        }
        return;
    }
    switch (update) {
    case ImageUpdate::Loaded:
    case ImageUpdate::Resized: ShowLoadedImage(true); return;
    case ImageUpdate::Kept:
    case ImageUpdate::Edited: ShowLoadedImage(false); return;
    case ImageUpdate::Released: ShowNoImage(); return;
    }
}

}  // namespace

void ConnectFrame() {
    FrameLink& link = Link();
    link.command = RouteCommand;
    link.commandContext = CurrentCommandContext;
    link.viewerCommand = DispatchViewerCommand;
    link.imageUpdated = ShowImageUpdate;
    link.saveAs = SaveAs;
    link.closeProgram = RunCloseSequence;
    link.handover = ReceiveHandover;
    link.openFile = OpenFileFromShell;
    link.showEditWindow = ActivateEditWindow;
    link.showViewer = ActivateViewer;
}

}  // namespace pelio
