// Edit window pane arithmetic: split, scroll bars, zoom slider, pane fit.
#include <gtest/gtest.h>

#include "core/view/pane_layout.h"
#include "core/view/zoom.h"

namespace pelio {
namespace {

TEST(ZoomSlider, QuadraticScaleBothWays) {
    struct Case { int position, percent; };
    const Case cases[] = {{0, 10}, {80, 258}, {160, 1000}, {40, 72}, {16, 20}, {1, 10}, {159, 988}};
    for (const Case& c : cases) EXPECT_EQ(SliderToZoomPercent(c.position), c.percent) << c.position;
    EXPECT_EQ(ZoomPercentToSlider(10), 0);
    EXPECT_EQ(ZoomPercentToSlider(1000), 160);
    EXPECT_EQ(ZoomPercentToSlider(100), 48);  // √(90 / 990) × 160 = 48.2
    EXPECT_EQ(ZoomPercentToSlider(258), 80);
    for (int p = 20; p <= kSliderMax; ++p)  // steep enough there for a round trip
        EXPECT_EQ(ZoomPercentToSlider(SliderToZoomPercent(p)), p) << p;
    EXPECT_EQ(ClampZoomPercent(5), 10);
    EXPECT_EQ(ClampZoomPercent(5000), 1000);
}

TEST(PaneSplit, ModesShareTheWidth) {
    PaneSplit both = SplitPanes(PaneMode::SideBySide, 801);
    EXPECT_EQ(both.imageX, 0);
    EXPECT_EQ(both.imageW, 399);
    EXPECT_EQ(both.previewW, 399);
    EXPECT_EQ(both.previewX, 402);
    PaneSplit image = SplitPanes(PaneMode::ImageOnly, 800);
    EXPECT_EQ(image.imageW, 800);
    EXPECT_EQ(image.previewW, 0);
    PaneSplit preview = SplitPanes(PaneMode::PreviewOnly, 800);
    EXPECT_EQ(preview.previewW, 800);
    EXPECT_EQ(preview.imageW, 0);
}

TEST(ScrollBars, OneBarCanBringTheOther) {
    struct Case { int dw, dh; bool h, v; };
    // Pane 400 × 300, bars 17 wide.
    const Case cases[] = {
        {400, 300, false, false},  // fits exactly
        {383, 300, false, false},
        {401, 290, true, true},    // horizontal bar leaves 283: too little height
        {401, 280, true, false},
        {390, 301, true, true},    // vertical bar leaves 383: too little width
        {380, 301, false, true},
        {900, 900, true, true},
    };
    for (const Case& c : cases) {
        ScrollBarNeed n = ScrollBarsFor(c.dw, c.dh, 400, 300, 17, 17);
        EXPECT_EQ(n.horizontal, c.h) << c.dw << "x" << c.dh;
        EXPECT_EQ(n.vertical, c.v) << c.dw << "x" << c.dh;
        EXPECT_EQ(n.paneW, 400 - (c.v ? 17 : 0));
        EXPECT_EQ(n.paneH, 300 - (c.h ? 17 : 0));
    }
}

TEST(PaneZoom, FitAndLadderOfTheEditWindow) {
    EXPECT_EQ(FitZoom(4000, 3000, 800, 600), 2001);
    EXPECT_EQ(FitZoom(1, 1, 800, 600), 100000);
    EXPECT_EQ(ZoomInStep(100000), 100000);
    EXPECT_EQ(ZoomOutStep(1000), 1000);
    EXPECT_EQ(ZoomInStep(15000), 20000);
    EXPECT_EQ(ZoomOutStep(15000), 10000);
    EXPECT_EQ(ZoomInStep(3000), 5000);
}

}  // namespace
}  // namespace pelio
