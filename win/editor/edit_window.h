// The Edit window: the second top-level window. Win32.
#pragma once
#include <windows.h>

namespace pelio {

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the Edit window once, hidden, owned by the Viewer window, at the restored
// rectangle of "Swin" (maximised when Max is 1). Does nothing when it exists already.
HWND CreateEditWindow();

// Switches the display mode to the Edit window / back to the Viewer window.
void ActivateEditWindow();
void ActivateViewer();

// The Edit window's own commands: centre, scroll bars, pane modes, background colours and
// the toolbar drop-downs; false for other commands.
bool EditWindowCommand(int id);

// Stores the window's restored rectangle and maximised state in the settings for the exit save.
void StoreEditPlacement();

}  // namespace pelio
