// The Viewer window: the program's main window. Win32.
#pragma once
#include <windows.h>

namespace pelio {

LRESULT CALLBACK ViewerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the Viewer window hidden: styles from CapBar/Frame/Top, a 400 × 300 client area
// centred on the monitor under the pointer, fitted into the usable area.
HWND CreateViewerWindow();

// The usable area for placing the Viewer window: the PosL..PosB rectangle when PosCtrl is on,
// else the work area of the window's monitor.
RECT ViewerUsableArea(HWND hwnd);

// After a load: sizes the window around the image when `resize`, repaints and refreshes the
// caption (also after a failed load, whose "wait..." title it replaces).
void ShowLoadedImage(bool resize);
void UpdateCaption();

// The zoom commands (100 %, steps, presets, ten points, fit, the space toggle); false for
// other commands and without an image.
bool ZoomCommand(int id);
int CurrentZoom();
// Keyboard scrolling (cmd::kScrollLeft .. cmd::kScrollDown) by 16 image pixels (doubled for pictures larger than the
// screen), only along an axis where the image is larger than the view.
bool ScrollCommand(int id);
// Window commands: centre, title bar, frame, toolbar strip switch, background colours.
bool WindowCommand(int id);

// After the image was released: the window takes its nominal 400 × 300 client size and
// shows the background ("Pelio" as the title); in the Edit mode the Edit window refreshes.
void ShowNoImage();

// Back from the Edit window: the view takes the client size and the current image (which may
// have changed meanwhile), keeping the zoom; repaint and caption.
void LayoutViewerForCurrentImage();

// Full screen: the zoom by the full-screen policy into the monitor, laid out and repainted.
void FitFullScreen();
// The style of the title-bar and frame settings, keeping the client rectangle.
void ApplyWindowStyle(HWND hwnd);

// The window's private device context takes the stretch mode of the settings.
void ApplyViewerStretchMode();

// Applies the zoom rules of the current mode again without moving the window.
void RefitView();

// True while the right button is down on the window (panning or about to).
bool ViewerDragging();
// The mouse cursor shown again / hidden (full screen), keeping the show count balanced; the
// hidden position is remembered so that a real move shows it again.
void ShowPointer();
void HidePointer();

// Background brush of a colour index 0..4 (white .. black).
HBRUSH BackgroundBrush(int index);

}  // namespace pelio
