// Colour boxes. Win32.
#include "win/editor/colour_box.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>
#include <new>

namespace pelio {

namespace {

struct Attachment {
    const ColourBoxBehaviour* behaviour;
    void* owner;
};

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

}  // namespace

void AttachColourBox(HWND box, const ColourBoxBehaviour& behaviour, void* owner) {
    if (!box) return;
    auto* attachment = new (std::nothrow) Attachment{&behaviour, owner};
    if (!attachment) return;
    delete reinterpret_cast<Attachment*>(SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(attachment)));
}

LRESULT CALLBACK ColourBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* a = reinterpret_cast<Attachment*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_PAINT:
        PaintColourBox(hwnd, a && a->behaviour->colour ? a->behaviour->colour(a->owner) : RGB(255, 255, 255));
        return 0;
    case WM_LBUTTONUP:
        if (a && a->behaviour->clicked) a->behaviour->clicked(hwnd, a->owner);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete a;
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
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
