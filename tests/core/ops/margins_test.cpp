// Margins around a picture and their limits.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ops/margins.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

TEST(Margins, LimitsKeepTheResultWithin25000) {
    Margins m = LimitMargins({30000, 30000, 100, 100}, 1000, 24000);
    EXPECT_EQ(m.top, 1000);     // 25000 − 24000
    EXPECT_EQ(m.bottom, 0);     // nothing left after the top
    EXPECT_EQ(m.left, 100);
    EXPECT_EQ(m.right, 100);
    EXPECT_EQ(LimitMargin(500, 24800, 100), 100);
    EXPECT_EQ(LimitMargin(-5, 10, 0), 0);
    EXPECT_EQ(LimitMargin(50, 25000, 0), 0);
}

// A 3 × 2 picture with top 1, bottom 2, left 1, right 0: 4 × 5, the picture's bottom row is
// storage row 2 (after the two bottom margin rows), one pixel in.
TEST(Margins, PictureSitsInsideTheColour) {
    test::SampleImage src(3, 2, 24);
    MemoryAllocator allocator;
    Image dst;
    dst.header.width = 4;
    dst.header.height = 5;
    dst.header.bitCount = 24;
    ASSERT_TRUE(allocator.Allocate(dst));
    AddMargins(src.image, {1, 2, 1, 0}, 0x00112233, dst);
    auto pixel = [&](int row, int x) { return dst.bits + row * dst.Stride() + x * 3; };
    for (int row : {0, 1, 4}) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(row, x)[0], 0x11);  // blue
            EXPECT_EQ(pixel(row, x)[1], 0x22);
            EXPECT_EQ(pixel(row, x)[2], 0x33);  // red
        }
    }
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(pixel(row + 2, 0)[2], 0x33);  // left margin
        EXPECT_EQ(0, std::memcmp(pixel(row + 2, 1), src.image.bits + row * src.image.Stride(), 9));
    }
    allocator.Release(dst);
}

}  // namespace
}  // namespace pelio
