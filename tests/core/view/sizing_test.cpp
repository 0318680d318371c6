// Frame drags of the Viewer window: edges limited by the last fit, corners keep the aspect.
#include <gtest/gtest.h>

#include "core/view/sizing.h"

namespace pelio {
namespace {

using E = SizingEdge;

TEST(Sizing, EdgesAndCorners) {
    const FrameInsets frame{8, 31, 8, 8};  // client = window − 16 wide, − 39 high
    struct Case {
        E edge;
        ScreenRect proposed;
        ScreenRect want;
    } cases[] = {
        // The limit is 616 × 439 (a 600 × 400 client): edges cannot go beyond it.
        {E::Right, {100, 100, 800, 539}, {100, 100, 716, 539}},
        {E::Left, {0, 100, 716, 539}, {100, 100, 716, 539}},
        {E::Right, {100, 100, 500, 539}, {100, 100, 500, 539}},  // smaller is free
        {E::Bottom, {100, 100, 716, 900}, {100, 100, 716, 539}},
        {E::Top, {100, 0, 716, 539}, {100, 100, 716, 539}},
        // Corners: a 3:2 image; client height 300 gives client width 450.
        {E::BottomRight, {100, 100, 400, 439}, {100, 100, 566, 439}},
        {E::TopRight, {100, 139, 900, 478}, {100, 139, 566, 478}},
        {E::BottomLeft, {0, 100, 716, 439}, {250, 100, 716, 439}},
        {E::TopLeft, {300, 100, 716, 439}, {250, 100, 716, 439}},
        // Very flat: the width stays at the minimum.
        {E::BottomRight, {100, 100, 400, 145}, {100, 100, 312, 145}},
        // Height less than the frame: treated as an empty client area.
        {E::BottomRight, {100, 100, 400, 120}, {100, 100, 312, 120}},
    };
    for (const Case& c : cases) {
        const ScreenRect got = SizingRect(c.edge, c.proposed, frame, 600, 400, 616, 439, 212);
        EXPECT_EQ(got, c.want) << static_cast<int>(c.edge) << " " << c.proposed.left << "," << c.proposed.top << ","
                               << c.proposed.right << "," << c.proposed.bottom;
    }
}

TEST(Sizing, CornerKeepsTheAspectOfTallAndHugeImages) {
    const FrameInsets none{};
    // A 25000 × 1 strip: the width is kept within what a window can have, without overflow.
    EXPECT_EQ(SizingRect(E::BottomRight, {0, 0, 10, 100000}, none, 25000, 1, 0, 0, 0).right, 32767);
    EXPECT_EQ(SizingRect(E::BottomLeft, {0, 0, 10, 1000}, none, 25000, 1, 0, 0, 0).left, 10 - 32767);
    EXPECT_EQ(SizingRect(E::BottomRight, {0, 0, 10, 1000}, none, 1, 4, 0, 0, 0).right, 250);
    EXPECT_EQ(SizingRect(E::BottomRight, {5, 5, 10, 1000}, none, 0, 0, 0, 0, 0), (ScreenRect{5, 5, 10, 1000}));
}

}  // namespace
}  // namespace pelio
