// Navigation window: thumbnail size, the shown-part frame and its limits, placement.
#include <gtest/gtest.h>

#include "core/view/navigation.h"

namespace pelio {
namespace {

TEST(Navigation, ThumbnailKeepsTheLongerSideAt150) {
    struct Case {
        int w, h, scale, tw, th;
    } cases[] = {
        {4000, 3000, 375, 150, 112},
        {3000, 4000, 375, 112, 150},
        {150, 150, 10000, 150, 150},
        {100, 50, 15000, 150, 75},       // enlarged
        {1, 1, 1500000, 150, 150},
        {25000, 1, 60, 150, 1},          // never thinner than one pixel
        {1, 25000, 60, 1, 150},
        {6000, 4000, 250, 150, 100},
        {7, 3, 214285, 150, 64},
        {0, 100, 0, 0, 0},               // no image
    };
    for (const Case& c : cases) {
        const NavigationThumb t = NavigationThumbnail(c.w, c.h);
        EXPECT_EQ(t.scale, c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(t.width, c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(t.height, c.th) << c.w << "x" << c.h;
    }
    EXPECT_EQ(NavigationWindowSize(150), 158);
}

TEST(Navigation, FrameOfTheShownPart) {
    const NavigationThumb t = NavigationThumbnail(6000, 4000);  // 150 × 100 at 2.5 %
    struct Case {
        int x, y, w, h;
        ScreenRect want;
    } cases[] = {
        {0, 0, 1200, 800, {0, 0, 30, 20}},
        {2400, 1600, 1200, 800, {60, 40, 90, 60}},
        {4800, 3200, 1200, 800, {119, 79, 149, 99}},  // at the far corner: one pixel inside
        {0, 0, 6000, 4000, {0, 0, 150, 100}},         // everything shown
        {0, 1000, 6000, 800, {0, 25, 150, 45}},
        {5990, 3990, 10, 10, {148, 98, 149, 99}},     // tiny view: still one pixel
        {-5, -5, 1200, 800, {0, 0, 30, 20}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NavigationFrame(t, c.x, c.y, c.w, c.h), c.want) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
}

TEST(Navigation, PlacementAndWhenItShows) {
    struct Case {
        int left, top, workRight, screenTop;
        ScreenRect want;
    } cases[] = {
        {100, 200, 1280, 0, {100, 200, 258, 308}},
        {1200, 200, 1280, 0, {1122, 200, 1280, 308}},   // pulled back inside the work area
        {300, -40, 1280, 0, {300, 0, 458, 108}},        // not above the screen
        {-30, 10, 1280, 0, {-30, 10, 128, 118}},        // the left side is not limited
        {2000, -2000, 2560, -1024, {2000, -1024, 2158, -916}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NavigationPlacement(c.left, c.top, 158, 108, c.workRight, c.screenTop), c.want) << c.left << "," << c.top;
    EXPECT_FALSE(ViewWantsNavigation(304, 800));
    EXPECT_FALSE(ViewWantsNavigation(800, 304));
    EXPECT_TRUE(ViewWantsNavigation(305, 305));
}

}  // namespace
}  // namespace pelio
