// Window placement inside the usable area.
#include <gtest/gtest.h>

#include "core/view/window_placement.h"

namespace pelio {
namespace {

TEST(WindowPlacement, InitialViewerRect) {
    const FrameInsets frame{8, 31, 8, 8};
    struct Case {
        ScreenRect monitor, usable, want;
    } cases[] = {
        // Client 400 × 300 centred on 1280 × 1024: (440, 362); the frame moves out from there.
        {{0, 0, 1280, 1024}, {0, 0, 1280, 984}, {432, 331, 848, 670}},
        // A second monitor to the right.
        {{1280, 0, 2560, 1024}, {1280, 0, 2560, 1024}, {1712, 331, 2128, 670}},
        // A usable rectangle (PosCtrl) smaller than the window: limited, then pushed in.
        {{0, 0, 1280, 1024}, {900, 500, 1200, 700}, {900, 500, 1200, 700}},
        // A usable rectangle left of the centre: pushed left.
        {{0, 0, 1280, 1024}, {0, 0, 600, 1024}, {184, 331, 600, 670}},
    };
    for (const Case& c : cases) {
        ScreenRect r = InitialViewerRect(c.monitor, frame, c.usable);
        EXPECT_EQ(r, c.want) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(WindowPlacement, WindowFitKeepsTheImageCentre) {
    const FrameInsets frame{8, 31, 8, 8};
    const ScreenRect usable{0, 0, 1280, 984};
    struct Case {
        const char* what;
        ScreenRect client;
        int w, h;
        bool caption;
        ScreenRect want;
    } cases[] = {
        {"grows around the centre", {440, 362, 840, 662}, 600, 400, true, {332, 281, 948, 720}},
        {"narrow with a title bar: widened to the minimum", {440, 362, 840, 662}, 50, 50, true,
         {559, 456, 721, 545}},
        {"narrow without one", {440, 362, 840, 662}, 50, 50, false, {607, 456, 673, 545}},
        {"too large: limited and pushed in", {440, 362, 840, 662}, 2000, 2000, true, {0, 0, 1280, 984}},
        {"near the right edge: pushed left", {1100, 100, 1200, 200}, 400, 300, true, {864, 0, 1280, 339}},
    };
    for (const Case& c : cases) {
        ScreenRect r = WindowFitRect(c.client, c.w, c.h, frame, c.caption, 162, usable);
        EXPECT_EQ(r, c.want) << c.what << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(WindowPlacement, PushIntoRange) {
    EXPECT_EQ(PushIntoRange(-5, 100, 0, 1000), 0);
    EXPECT_EQ(PushIntoRange(950, 100, 0, 1000), 900);
    EXPECT_EQ(PushIntoRange(300, 100, 0, 1000), 300);
    EXPECT_EQ(PushIntoRange(0, 100, 0, 1000), 0);
    EXPECT_EQ(PushIntoRange(900, 100, 0, 1000), 900);
}

}  // namespace
}  // namespace pelio
