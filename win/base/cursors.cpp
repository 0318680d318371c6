// Cursor loading. Win32.
#include "win/base/cursors.h"

#include "resources/resource_ids.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

HCURSOR LoadOwnCursor(int id) {
    return static_cast<HCURSOR>(
        LoadImageW(App().instance, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace

void ReloadStandardCursors() {
    CursorSet& c = App().cursors;
    c.arrow = LoadCursorW(nullptr, IDC_ARROW);
    c.wait = LoadCursorW(nullptr, IDC_WAIT);
    c.no = LoadCursorW(nullptr, IDC_NO);
}

void LoadCursors() {
    ReloadStandardCursors();
    CursorSet& c = App().cursors;
    for (int i = 0; i < static_cast<int>(c.pan.size()); ++i) c.pan[i] = LoadOwnCursor(IDC_PAN_FIRST + i);
    for (int i = 0; i < static_cast<int>(c.tools.size()); ++i) c.tools[i] = LoadOwnCursor(IDC_TOOL_FIRST + i);
    c.windowMove = LoadOwnCursor(IDC_WINDOW_MOVE);
    c.toolExtra = LoadOwnCursor(IDC_TOOL_EXTRA);
    c.levelsMarker = LoadOwnCursor(IDC_LEVELS_MARKER);
}

}  // namespace pelio
