// Colour pick on the image pane. Win32.
#include "win/editor/colour_pick.h"

#include "win/base/app_state.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

struct PickState {
    bool active = false;
    ColourPickClient client;
};

PickState& Pick() {
    static PickState state;
    return state;
}

HCURSOR PickCursor() { return App().cursors.tools[0] ? App().cursors.tools[0] : LoadCursorW(nullptr, IDC_CROSS); }

bool ReadPixel(int x, int y, COLORREF& colour) {
    const std::optional<PaletteEntry> pixel = PixelColour(Current().AsImage(), x, y);
    if (pixel) colour = RGB(pixel->red, pixel->green, pixel->blue);
    return pixel.has_value();
}

bool ColourAt(HWND pane, POINT client, COLORREF& colour) {
    int x = 0, y = 0;
    return pane == EditState().imagePane && ImagePointAt(client, x, y) && ReadPixel(x, y, colour);
}

void End(bool taken, COLORREF colour) {
    PickState& p = Pick();
    if (!p.active) return;
    p.active = false;
    EditState().editHasFocus = false;
    SetCursor(App().cursors.arrow);
    if (GetCapture() == EditState().imagePane) ReleaseCapture();
    if (p.client.end) p.client.end(p.client.owner, taken, colour);
}

}  // namespace

void StartColourPick(const ColourPickClient& client) {
    PickState& p = Pick();
    p.active = true;
    p.client = client;
    EditState().editHasFocus = true;
    SetCapture(EditState().imagePane);
    SetCursor(PickCursor());
}

bool ColourPickActive() { return Pick().active; }

void CancelColourPick() { End(false, 0); }

bool ColourPickMove(HWND pane, POINT client) {
    PickState& p = Pick();
    if (!p.active) return false;
    SetCursor(PickCursor());
    COLORREF colour = 0;
    wchar_t title[64];
    const bool over = ColourAt(pane, client, colour);
    if (over) wsprintfW(title, L"r:%d  g:%d  b:%d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    else lstrcpyW(title, L"r:-  g:-  b:-");
    SetWindowTextW(EditState().window, title);
    if (p.client.hover) p.client.hover(p.client.owner, over, colour);
    return true;
}

bool ColourPickClick(HWND pane, POINT client) {
    if (!Pick().active) return false;
    COLORREF colour = 0;
    const bool inside = ColourAt(pane, client, colour);
    End(inside, colour);
    return true;
}

}  // namespace pelio
