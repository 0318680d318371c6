// Colour boxes. Win32.
#include "win/editor/colour_box.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>

namespace pelio {

void PaintColourBox(HWND box, COLORREF colour) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(box, &ps);
    RECT r;
    GetClientRect(box, &r);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(box, &ps);
}

bool ChooseColourDialog(HWND owner, COLORREF& colour) {
    // Sixteen custom colours, white at first, kept while the program runs.
    static COLORREF custom[16] = {};
    static bool filled = false;
    if (!filled) {
        std::fill(std::begin(custom), std::end(custom), RGB(255, 255, 255));
        filled = true;
    }
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

}  // namespace pelio
