// The colour boxes of the save panel and the operations: painting, and the colour dialog
// with the session's custom colours. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// What a colour box (class "Pelio_cbox_class") shows and does when clicked, for its owner.
struct ColourBoxBehaviour {
    COLORREF (*colour)(const void* owner) = nullptr;
    void (*clicked)(HWND box, void* owner) = nullptr;
};

// Gives a colour box its behaviour (which must outlive the box) and owner. A box without
// one paints white and ignores clicks.
void AttachColourBox(HWND box, const ColourBoxBehaviour& behaviour, void* owner);
// The window procedure of the colour box class.
LRESULT CALLBACK ColourBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The system colour dialog, fully open, starting at `colour`; true (and the new colour) on OK.
bool ChooseColourDialog(HWND owner, COLORREF& colour);

}  // namespace pelio
