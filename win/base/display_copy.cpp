// The display copy of a shrunk picture. Win32.
#include "win/base/display_copy.h"

#include "core/ops/resize.h"
#include "win/base/view_paint.h"

namespace pelio {

namespace {

// Only a shrunk picture that is shown whole gains: one scaling of the whole picture makes
// every later repaint a plain copy of at most the client area. Enlarged or scrolled views
// stretch only their visible part and are painted directly.
bool WantsCopy(const ViewState& v) {
    const int w = v.DisplayedW(), h = v.DisplayedH();
    return (w < v.imageW || h < v.imageH) && w <= v.clientW && h <= v.clientH && v.x.src == 0 && v.y.src == 0 &&
           v.x.destSize == w && v.y.destSize == h;
}

}  // namespace

void DisplayCopy::Release() {
    if (dc_) {
        SelectObject(dc_, first_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    key_ = Key{};
}

bool DisplayCopy::Build(HDC dc, HDC source, const Image* pixels, const Key& key) {
    Release();
    // 24-bit pictures are area-averaged by the resampler, many times faster than the system's
    // halftone stretch and as good; others are stretched in the mode of `dc`.
    const bool resample = pixels && pixels->BitCount() == 24 && pixels->bitmap == key.picture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = key.width;
    info.bmiHeader.biHeight = resample ? key.height : -key.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = resample ? 24 : 32;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(dc);
    bitmap_ = dc_ ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bitmap_) {
        Release();
        return false;
    }
    first_ = SelectObject(dc_, bitmap_);
    bool made = false;
    if (resample) {
        Image target;
        target.header.width = key.width;
        target.header.height = key.height;
        target.header.bitCount = 24;
        target.bits = static_cast<uint8_t*>(bits);
        made = ResizePixels(*pixels, target);
    }
    if (!made) {
        SetStretchBltMode(dc_, key.mode);
        SetBrushOrgEx(dc_, 0, 0, nullptr);
        made = StretchBlt(dc_, 0, 0, key.width, key.height, source, 0, 0, key.imageW, key.imageH, SRCCOPY);
    }
    if (!made) {
        Release();
        return false;
    }
    key_ = key;
    return true;
}

void DisplayCopy::Paint(HDC dc, const RECT& client, HBRUSH background, HDC source, const Image* pixels,
                        uint64_t generation, const ViewState& v) {
    if (!source || !WantsCopy(v)) {
        PaintView(dc, client, background, source, v);
        return;
    }
    const Key key{generation, GetCurrentObject(source, OBJ_BITMAP), v.imageW, v.imageH, v.DisplayedW(),
                  v.DisplayedH(), GetStretchBltMode(dc)};
    if (!(key == key_) && !Build(dc, source, pixels, key)) {
        PaintView(dc, client, background, source, v);
        return;
    }
    PaintSurround(dc, client, background, v);
    BitBlt(dc, v.x.dest, v.y.dest, key.width, key.height, dc_, 0, 0, SRCCOPY);
}

}  // namespace pelio
