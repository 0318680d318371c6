// The navigation window: a small popup with the whole image and a frame around the part the
// view shows, while the user pans with the right button. Shared by the Viewer and Edit
// windows. Win32.
#pragma once
#include <windows.h>

namespace pelio {

LRESULT CALLBACK NavigationWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the window once, hidden, owned by `owner` (the Edit window).
HWND CreateNavigationWindow(HWND owner);

// Shows the current image's thumbnail at the top-left corner of `placeNear`, kept inside the
// work area, without taking the focus. Nothing without an image.
void ShowNavigation(HWND placeNear);
// Moves the frame to the shown part of the image (image pixels).
void MoveNavigationRect(int srcX, int srcY, int srcW, int srcH);
void HideNavigation();
bool NavigationShown();

}  // namespace pelio
