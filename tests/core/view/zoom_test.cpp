// Zoom ladders, fit, policy, layout and the client-to-image mapping.
#include <gtest/gtest.h>

#include "core/view/zoom.h"

namespace pelio {
namespace {

TEST(Zoom, Ladders) {
    struct Case {
        int zoom, in, out, plus, minus;
    } cases[] = {
        {3000, 5000, 2500, 4000, 2000},        {10000, 20000, 5000, 11000, 9000},
        {1000, 2500, 1000, 2000, 1000},        {500, 1000, 500, 1500, 1000},
        {100000, 100000, 40000, 100000, 99000}, {120000, 120000, 100000, 100000, 100000},
        {99500, 100000, 40000, 100000, 98500},  {1500, 2500, 1000, 2500, 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoomInStep(c.zoom), c.in) << c.zoom;
        EXPECT_EQ(ZoomOutStep(c.zoom), c.out) << c.zoom;
        EXPECT_EQ(ZoomPlusTen(c.zoom), c.plus) << c.zoom;
        EXPECT_EQ(ZoomMinusTen(c.zoom), c.minus) << c.zoom;
    }
    const int presets[] = {100000, 40000, 20000, 5000, 2500, 1000};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ZoomPreset(i), presets[i]);
}

TEST(Zoom, FitAndDisplayedSize) {
    EXPECT_EQ(FitZoom(4000, 3000, 1000, 1000), 2501);
    EXPECT_EQ(DisplayedSize(4000, 2501), 1000);
    EXPECT_EQ(DisplayedSize(3000, 2501), 750);
    EXPECT_EQ(FitZoom(10, 10, 5000, 5000), 100000);  // never above 1000 %
    EXPECT_EQ(FitZoom(0, 0, 300, 200), 100000);      // sizes taken as at least 1
    EXPECT_EQ(FitZoom(25000, 1, 1280, 1024), 513);
    EXPECT_EQ(DisplayedSize(1, 1000), 1);
}

TEST(Zoom, PolicyFlags) {
    struct Case {
        int w, h;
        bool shrink, enlarge;
        int wantZoom;
    } cases[] = {
        {4000, 3000, true, false, 2501},  // larger, shrink on
        {4000, 3000, false, true, 10000}, // larger, shrink off
        {400, 300, false, true, 25001},   // smaller, enlarge on
        {400, 300, true, false, 10000},   // smaller, enlarge off
        {1000, 500, true, false, 10001},  // as wide as the box: not smaller, so fitted
    };
    for (const Case& c : cases) {
        ViewState v;
        v.imageW = c.w;
        v.imageH = c.h;
        PolicyFit(v, c.shrink, c.enlarge, 1000, 1000);
        EXPECT_EQ(v.zoom, c.wantZoom) << c.w << "x" << c.h;
    }
}

TEST(Zoom, LayoutOfOneAxis) {
    // Image narrower than the client: centred, whole image.
    AxisLayout a = LayoutAxis(300, 800, 10000, 150);
    EXPECT_EQ(a.dest, 250);
    EXPECT_EQ(a.destSize, 300);
    EXPECT_EQ(a.src, 0);
    EXPECT_EQ(a.srcSize, 300);
    EXPECT_EQ(a.centre, 150);
    // Wider: the client is filled, the source window kept around the centre and clamped.
    a = LayoutAxis(2000, 500, 20000, 1000);
    EXPECT_EQ(a.destSize, 500);
    EXPECT_EQ(a.srcSize, 250);
    EXPECT_EQ(a.src, 875);
    EXPECT_EQ(a.centre, 1000);
    a = LayoutAxis(2000, 500, 20000, 10);
    EXPECT_EQ(a.src, 0);
    a = LayoutAxis(2000, 500, 20000, 1990);
    EXPECT_EQ(a.src, 1750);
}

TEST(Zoom, ClientToImageRounding) {
    // 100 image pixels shown on 200 client pixels: each pixel is two wide.
    AxisLayout twice = LayoutAxis(100, 200, 20000, 50);
    EXPECT_EQ(ClientToImage(0, twice, 100), 0);
    EXPECT_EQ(ClientToImage(1, twice, 100), 0);    // (100 − 50) / 200 = 0.25
    EXPECT_EQ(ClientToImage(2, twice, 100), 1);    // (200 − 50) / 200 = 0.75
    EXPECT_EQ(ClientToImage(4, twice, 100), 2);    // (400 − 50) / 200 = 1.75
    EXPECT_EQ(ClientToImage(199, twice, 100), 99);
    EXPECT_EQ(ClientToImage(500, twice, 100), 99);  // clamped
    // Shown at half size, centred in 400 pixels: destination 150..250.
    AxisLayout half = LayoutAxis(200, 400, 5000, 100);
    EXPECT_EQ(ClientToImage(150, half, 200), 1);   // (0 + 50) / 100 = 0.5, half away from zero
    EXPECT_EQ(ClientToImage(100, half, 200), 0);   // negative, clamped
    EXPECT_EQ(ClientToImage(249, half, 200), 199);
}

TEST(Zoom, ScrollingMovesTheSourceWithinTheImage) {
    AxisLayout a = LayoutAxis(2000, 500, 20000, 1000);  // source 875..1125
    EXPECT_EQ(ScrollAxis(a, 2000, 500, 20000, 16), -32);
    EXPECT_EQ(a.src, 891);
    EXPECT_EQ(ScrollAxis(a, 2000, 500, 20000, -5000), 1782);  // clamped at the start
    EXPECT_EQ(a.src, 0);
    EXPECT_EQ(ScrollAxis(a, 2000, 500, 20000, -16), 0);
    AxisLayout fits = LayoutAxis(100, 500, 10000, 50);
    EXPECT_EQ(ScrollAxis(fits, 100, 500, 10000, 16), 0);  // nothing to scroll
    EXPECT_EQ(fits.src, 0);
}

TEST(Zoom, AreaSelection) {
    EXPECT_FALSE(AreaLargeEnough(8, 200));
    EXPECT_FALSE(AreaLargeEnough(200, 8));
    EXPECT_TRUE(AreaLargeEnough(9, 9));

    ViewState v;
    v.imageW = 400;
    v.imageH = 300;
    v.clientW = 400;
    v.clientH = 300;
    v.CentreImage();
    EXPECT_FALSE(ApplyAreaZoom(v, 10, 10, 18, 210, 1000, 1000));  // 8 × 200 does nothing
    EXPECT_EQ(v.zoom, 10000);
    // A 100 × 50 area dragged from its lower right corner, into a 1000 × 1000 box.
    ASSERT_TRUE(ApplyAreaZoom(v, 150, 100, 50, 50, 1000, 1000));
    EXPECT_EQ(v.zoom, 100000);  // min(1000 / 100, 1000 / 50) + 1, capped at 1000 %
    EXPECT_EQ(v.x.centre, 100);
    EXPECT_EQ(v.y.centre, 75);
    ASSERT_TRUE(ApplyAreaZoom(v, 0, 0, 200, 150, 400, 400));  // from the new layout
    EXPECT_GT(v.zoom, 10000);
}

TEST(Zoom, SurroundStripsFrameTheShownImage) {
    ViewState v;
    v.imageW = 100;
    v.imageH = 50;
    v.clientW = 300;
    v.clientH = 200;
    v.CentreImage();  // shown at 100,75 .. 200,125
    const std::array<ClientRect, 4> want = {{{0, 0, 100, 200}, {200, 0, 300, 200}, {100, 0, 200, 75}, {100, 125, 200, 200}}};
    EXPECT_EQ(SurroundStrips(v, 300, 200), want);
    v.zoom = 40000;  // larger than the client: nothing left around it
    v.Layout();
    for (const ClientRect& r : SurroundStrips(v, 300, 200)) EXPECT_TRUE(r.Empty());
}

}  // namespace
}  // namespace pelio
