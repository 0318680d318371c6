// The display copy paints what a direct stretch paints, or for 24-bit pictures what the
// resampler makes, and follows a changed picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/ops/resize.h"
#include "tests/support/sample_image.h"
#include "win/base/display_copy.h"
#include "win/base/view_paint.h"

namespace pelio {
namespace {

// A 32-bit top-down DIB section selected into its own memory DC.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ first = nullptr;
    uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    Surface(int width, int height, int bits = 32) : w(width), h(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = bits == 32 ? -h : h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bits);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
        first = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, first);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::vector<uint32_t> Pixels() const {
        GdiFlush();
        return std::vector<uint32_t>(pixels, pixels + size_t(w) * h);
    }
};

void Fill(Surface& s, uint32_t seed) {
    for (int i = 0; i < s.w * s.h; ++i) s.pixels[i] = (seed * 2654435761u + uint32_t(i) * 40503u) & 0xFFFFFF;
}

TEST(DisplayCopy, PaintsAsTheDirectStretchAndFollowsTheSource) {
    Surface picture(300, 200), direct(160, 120), copied(160, 120);
    Fill(picture, 1);
    ViewState v;
    v.imageW = 300;
    v.imageH = 200;
    v.clientW = 160;
    v.clientH = 120;
    v.zoom = FitZoom(300, 200, 160, 120);
    v.CentreImage();
    const RECT client{0, 0, 160, 120};
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    DisplayCopy copy;
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        SetStretchBltMode(direct.dc, mode);
        SetStretchBltMode(copied.dc, mode);
        PaintView(direct.dc, client, grey, picture.dc, v);
        copy.Paint(copied.dc, client, grey, picture.dc, nullptr, 1, v);
        EXPECT_EQ(copied.Pixels(), direct.Pixels()) << mode;
    }
    // Repainted from the copy (the old picture) while the generation stays; rebuilt when it
    // changes.
    Fill(picture, 2);
    copy.Paint(copied.dc, client, grey, picture.dc, nullptr, 1, v);
    EXPECT_EQ(copied.Pixels(), direct.Pixels());
    PaintView(direct.dc, client, grey, picture.dc, v);
    ASSERT_NE(copied.Pixels(), direct.Pixels());
    copy.Paint(copied.dc, client, grey, picture.dc, nullptr, 2, v);
    EXPECT_EQ(copied.Pixels(), direct.Pixels());
}

TEST(DisplayCopy, TwentyFourBitPicturesAreAreaAveraged) {
    test::SampleImage sample(300, 200, 24, 7);
    Surface picture(300, 200, 24), copied(160, 120);
    std::copy(sample.image.bits, sample.image.bits + sample.image.PixelBytes(), reinterpret_cast<uint8_t*>(picture.pixels));
    Image pixels = sample.image;
    pixels.bits = reinterpret_cast<uint8_t*>(picture.pixels);
    pixels.bitmap = picture.bitmap;
    ViewState v;
    v.imageW = 300;
    v.imageH = 200;
    v.clientW = 160;
    v.clientH = 120;
    v.zoom = FitZoom(300, 200, 160, 120);
    v.CentreImage();
    test::SampleImage expected(v.DisplayedW(), v.DisplayedH(), 24);
    ASSERT_TRUE(ResizePixels(sample.image, expected.image));
    DisplayCopy copy;
    copy.Paint(copied.dc, RECT{0, 0, 160, 120}, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), picture.dc, &pixels, 1, v);
    const std::vector<uint32_t> shown = copied.Pixels();
    int wrong = 0;
    for (int y = 0; y < v.DisplayedH(); ++y)
        for (int x = 0; x < v.DisplayedW(); ++x) {
            const uint8_t* p = expected.image.Row(v.DisplayedH() - 1 - y) + 3 * x;
            const uint32_t bgr = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
            wrong += (shown[size_t(y + v.y.dest) * 160 + size_t(x + v.x.dest)] & 0xFFFFFF) != bgr;
        }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace pelio
