// The panning cursor: axis states from the layout, open directions and the resource table.
#include <gtest/gtest.h>

#include <set>

#include "core/view/pan_cursor.h"

namespace pelio {
namespace {

using A = PanAxis;

TEST(PanCursor, AxisStateFromTheSourceSpan) {
    struct Case {
        int src, srcSize, imageSize;
        PanAxis want;
    } cases[] = {
        {0, 100, 100, A::Fixed},    {0, 200, 100, A::Fixed},  // whole image shown
        {0, 40, 100, A::AtStart},   {60, 40, 100, A::AtEnd},  {1, 40, 100, A::Between},
        {59, 40, 100, A::Between},  {0, 99, 100, A::AtStart}, {1, 99, 100, A::AtEnd},
    };
    for (const Case& c : cases) {
        AxisLayout a;
        a.src = c.src;
        a.srcSize = c.srcSize;
        EXPECT_EQ(PanAxisState(a, c.imageSize), c.want) << c.src << "+" << c.srcSize << " of " << c.imageSize;
    }
}

TEST(PanCursor, EveryCombinationHasItsResourceAndArrows) {
    struct Case {
        PanAxis h, v;
        int resource;
        unsigned open;
    } cases[] = {
        {A::Fixed, A::Fixed, 0, 0},
        {A::Fixed, A::AtStart, 110, kPanDown},
        {A::Fixed, A::AtEnd, 111, kPanUp},
        {A::Fixed, A::Between, 114, kPanUp | kPanDown},
        {A::AtStart, A::Fixed, 113, kPanRight},
        {A::AtEnd, A::Fixed, 112, kPanLeft},
        {A::Between, A::Fixed, 119, kPanLeft | kPanRight},
        {A::AtStart, A::AtStart, 116, kPanRight | kPanDown},
        {A::AtStart, A::AtEnd, 118, kPanRight | kPanUp},
        {A::AtStart, A::Between, 121, kPanRight | kPanUp | kPanDown},
        {A::AtEnd, A::AtStart, 115, kPanLeft | kPanDown},
        {A::AtEnd, A::AtEnd, 117, kPanLeft | kPanUp},
        {A::AtEnd, A::Between, 120, kPanLeft | kPanUp | kPanDown},
        {A::Between, A::AtStart, 122, kPanLeft | kPanRight | kPanDown},
        {A::Between, A::AtEnd, 123, kPanLeft | kPanRight | kPanUp},
        {A::Between, A::Between, 124, kPanLeft | kPanRight | kPanUp | kPanDown},
    };
    std::set<int> seen;
    for (const Case& c : cases) {
        const int h = static_cast<int>(c.h), v = static_cast<int>(c.v);
        EXPECT_EQ(PanCursorResource(c.h, c.v), c.resource) << h << "," << v;
        EXPECT_EQ(PanOpenDirections(c.h, c.v), c.open) << h << "," << v;
        if (c.resource) {
            EXPECT_TRUE(seen.insert(c.resource).second) << c.resource;
        }
    }
    EXPECT_EQ(seen.size(), 15u);  // 110..124, each once
}

}  // namespace
}  // namespace pelio
