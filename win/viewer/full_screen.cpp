// Full screen, the slideshow and animation playback. Win32.
#include "win/viewer/full_screen.h"

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/commands/messages.h"
#include "core/view/slideshow.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/menus.h"
#include "win/base/message_box.h"
#include "win/base/monitors.h"
#include "win/image/current_image.h"
#include "win/image/save_prompt.h"
#include "win/viewer/file_list.h"
#include "win/viewer/toolbar_strip.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

struct PlaybackState {
    bool slideshow = false;
    int frame = 0;       // the frame on display
    int loopsLeft = 0;   // of the animation; 0 plays for ever
};

PlaybackState& Playback() {
    static PlaybackState state;
    return state;
}

constexpr DWORD kFullScreenStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

int MonitorWidth(HWND hwnd) {
    RECT full{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, work;
    QueryMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), full, work);
    return full.right - full.left;
}

void ArmSlideshowTimer() {
    SetTimer(App().viewer, kSlideshowTimerId, static_cast<UINT>(App().settings.viewer.time) * 1000, nullptr);
}

void ShowFrame(HBITMAP bitmap) {
    SelectObject(Current().memoryDc, bitmap);
    InvalidateRect(App().viewer, nullptr, FALSE);
}

// The bitmap of frame `index`: the image's own for the first, the later frames after it.
HBITMAP FrameBitmap(int index) {
    const CurrentImage& c = Current();
    if (index <= 0 || index > static_cast<int>(c.animation.frames.size())) return c.bitmap;
    return c.animation.frames[index - 1];
}

UINT FrameDelay(int index) {
    const auto& delays = Current().animation.delays;
    const int d = index >= 0 && index < static_cast<int>(delays.size()) ? delays[index] : 0;
    return static_cast<UINT>(d > 0 ? d : 0) * 10;
}

}  // namespace

void EnterFullScreen() {
    AppState& app = App();
    if (app.displayMode == kModeFullScreen) return;
    if (app.displayMode == kModeEdit) {
        Link().showViewer();
        app.modeBeforeFullScreen = kModeEdit;
    } else {
        app.modeBeforeFullScreen = kModeViewer;
    }
    HWND hwnd = app.viewer;
    app.displayMode = kModeFullScreen;
    const ViewerSettings& v = app.settings.viewer;
    if (v.capBar || v.frame) {
        const DWORD visible = GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE;
        const DWORD ex = WS_EX_APPWINDOW | WS_EX_ACCEPTFILES | (app.settings.app.top ? WS_EX_TOPMOST : 0);
        SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(kFullScreenStyle | visible));
        SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex));
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    FitFullScreen();
    SetToolbarStripFullScreen(true, MonitorWidth(hwnd));
    SetCommandCaption(cmd::kFullScreen, kNormalViewCaption);
    UpdateCaption();
    SetForegroundWindow(hwnd);
}

void LeaveFullScreen() {
    AppState& app = App();
    if (app.displayMode != kModeFullScreen) return;
    HWND hwnd = app.viewer;
    app.displayMode = kModeViewer;
    SetToolbarStripFullScreen(false, MonitorWidth(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    ApplyWindowStyle(hwnd);
    if (Current().Loaded()) ShowLoadedImage(true);  // the open-time fit resizes the window
    SetToolbarStrip(false);
    SetCommandCaption(cmd::kEditWindow, FindCommand(cmd::kEditWindow)->caption);
    SetCommandCaption(cmd::kFullScreen, FindCommand(cmd::kFullScreen)->caption);
    ShowPointer();
    UpdateCaption();
    if (app.modeBeforeFullScreen == kModeEdit) Link().showEditWindow();
}

bool SlideshowRunning() { return Playback().slideshow; }

void StartSlideshow() {
    AppState& app = App();
    if (Playback().slideshow) {
        StopSlideshow();
        return;
    }
    if (!Current().Loaded()) return;
    EnterFullScreen();
    if (!FolderWatched()) return;
    if (!ReadyToReplaceImage()) return;
    if (app.fileList) ShowWindow(app.fileList, SW_HIDE);
    if (!SlideshowCanStart(FileListCount(), FileListSelection(), app.settings.viewer.repeat)) return;
    StopAnimation();
    ArmSlideshowTimer();
    HidePointer();
    app.acceleratorsSuspended = true;
    Playback().slideshow = true;
    RefreshToolbarStrip();
}

void StopSlideshow() {
    PlaybackState& p = Playback();
    if (!p.slideshow) return;
    App().acceleratorsSuspended = false;
    KillTimer(App().viewer, kSlideshowTimerId);
    p.slideshow = false;
    ShowPointer();
    RefreshToolbarStrip();
}

void SlideshowTick() {
    AppState& app = App();
    KillTimer(app.viewer, kSlideshowTimerId);
    if (!Playback().slideshow) return;
    HidePointer();
    const SlideStep step = NextSlide(FileListCount(), FileListSelection(), app.settings.viewer.repeat);
    bool goesOn = step.goesOn;
    if (step.next < 0) {
        goesOn = false;
    } else if (LoadFileListEntry(step.next)) {
        FitFullScreen();
        SyncFileList();
    } else {
        goesOn = false;
        StopSlideshow();
        ShowGeneralError(kErrShowImage);
    }
    UpdateCaption();
    if (!goesOn) StopSlideshow();
    else ArmSlideshowTimer();
}

void StartAnimation() {
    AppState& app = App();
    const AnimationState& a = Current().animation;
    if (!app.viewer) return;
    KillTimer(app.viewer, kAnimationTimerId);
    if (!a.active || app.displayMode == kModeEdit) return;
    PlaybackState& p = Playback();
    p.frame = 0;
    p.loopsLeft = a.loopCount;
    SetTimer(app.viewer, kAnimationTimerId, FrameDelay(0), nullptr);
}

void StopAnimation() {
    AppState& app = App();
    if (!app.viewer) return;
    KillTimer(app.viewer, kAnimationTimerId);
    if (Current().Loaded() && Playback().frame != 0) ShowFrame(Current().bitmap);
    Playback().frame = 0;
}

void AnimationTick() {
    AppState& app = App();
    KillTimer(app.viewer, kAnimationTimerId);
    const AnimationState& a = Current().animation;
    if (!a.active) return;
    PlaybackState& p = Playback();
    const FrameStep step = NextFrame(p.frame, a.frameCount, p.loopsLeft);
    p.frame = step.index;
    p.loopsLeft = step.loopCount;
    ShowFrame(FrameBitmap(p.frame));
    if (!step.ended) SetTimer(app.viewer, kAnimationTimerId, FrameDelay(p.frame), nullptr);
}

}  // namespace pelio
