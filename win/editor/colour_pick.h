// Picking a colour from the image pane: the pixel under the pointer in the Edit window's
// title, a click inside the image takes it. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct ColourPickClient {
    // The pointer moved: the colour under it, when it is over the image.
    void (*hover)(void* owner, bool overImage, COLORREF colour) = nullptr;
    // The pick ended: `taken` with the clicked colour, or not (a click outside, Esc).
    void (*end)(void* owner, bool taken, COLORREF colour) = nullptr;
    void* owner = nullptr;  // handed back to both
};

// Captures the mouse on the image pane with the pick cursor.
void StartColourPick(const ColourPickClient& client);
bool ColourPickActive();
void CancelColourPick();
// Pointer moves and clicks on a pane while a pick runs: true when the pick took them.
bool ColourPickMove(HWND pane, POINT client);
bool ColourPickClick(HWND pane, POINT client);

}  // namespace pelio
