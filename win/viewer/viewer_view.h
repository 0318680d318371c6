// The Viewer window's view and pointer state, shared by its window procedure and its mouse
// handling (not used outside this folder). Win32, main thread only.
#pragma once
#include <windows.h>

#include "core/view/zoom.h"
#include "win/base/display_copy.h"

namespace pelio {

enum DragState { kDragNone = 0, kDragPressed = 1, kDragPanning = 2, kDragNothing = 3 };
enum class Sizing { None, Edge, Corner };

// The Viewer window's pointer and window state beside the view.
struct ViewerState {
    int drag = kDragNone;         // right button
    POINT dragPoint{};            // where the last pan step started
    bool chord = false;           // one button pressed while the other was held
    bool altMenu = false;         // the context menu was opened by releasing Alt
    bool appActive = false;
    Sizing sizing = Sizing::None; // the kind of the last frame drag, for the next WM_SIZE
    int limitW = 0, limitH = 0;   // window size after the last fit
    POINT hiddenAt{};             // pointer position when the cursor was hidden
    HWND captionTip = nullptr;
    bool tipActive = false;
    DisplayCopy copy;             // the picture at its shrunk size, for cheap repaints
};

// The view of the Viewer window and full screen.
ViewState& View();
ViewerState& Viewer();

// COLORONCOLOR at 100 % or when chosen; HALFTONE otherwise.
void ChooseStretchMode(HWND hwnd);
// Resizes the window so that its client area shows the displayed image where it was.
void WindowFit(HWND hwnd);
// The box the Viewer's zoom fits into: the work area of its monitor less the frame.
void ViewerFitBox(HWND hwnd, int& w, int& h);
// The caption tool tip reacts only while the pointer is over the icon or the frame.
void SetCaptionTipActive(bool active);

// The mouse messages of the Viewer window: buttons, moves, the wheel and the end of a capture;
// false for other messages.
bool OnViewerMouse(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Whether the right button pans or an area is being chosen: menus and keys wait meanwhile.
bool ViewerGestureActive();

}  // namespace pelio
