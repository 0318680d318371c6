// Luminance histogram of the histogram display.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ops/luminance.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

TEST(Luminance, WeightsRoundedOneByOne) {
    EXPECT_EQ(Luminance(255, 255, 255), 255);  // 76 + 150 + 29
    EXPECT_EQ(Luminance(255, 0, 0), 76);
    EXPECT_EQ(Luminance(0, 255, 0), 150);
    EXPECT_EQ(Luminance(0, 0, 255), 29);
    EXPECT_EQ(Luminance(0, 0, 0), 0);
    EXPECT_EQ(Luminance(1, 1, 1), 1);  // 0.299 + 0.5 → 0, 0.587 + 0.5 → 1, 0.114 + 0.5 → 0
    EXPECT_EQ(Luminance(128, 128, 128), 128);  // 38 + 75 + 15
}

// A white picture: one bar at 255 reaching above the graph (the scale ignores 0 and 255).
TEST(Luminance, WhitePictureAndPaletteHistogram) {
    test::SampleImage white(6, 4, 24), out(6, 4, 24);
    std::memset(white.image.bits, 255, white.image.PixelBytes());
    LuminanceCounts counts{};
    LuminanceHistogram24(MakePixelJob(white.image, out.image), counts);
    EXPECT_EQ(counts[255], 24u);
    const auto tops = LuminanceBarTops(counts);
    EXPECT_EQ(tops[255], 149 - 24 * 149);
    EXPECT_EQ(tops[128], 149);

    test::SampleImage pal(5, 2, 8), pout(5, 2, 8);
    std::memset(pal.image.bits, 0, pal.image.PixelBytes());
    for (int r = 0; r < 2; ++r) pal.image.bits[r * pal.image.Stride()] = 7;  // one pixel per row
    pal.image.palette[0] = {0, 0, 0, 0};
    pal.image.palette[7] = {0, 255, 0, 0};  // green
    LuminanceHistogram8(MakePixelJob(pal.image, pout.image), counts);
    EXPECT_EQ(counts[150], 2u);
    EXPECT_EQ(counts[0], 8u);
    EXPECT_EQ(LuminanceBarTops(counts)[150], 0);
}

}  // namespace
}  // namespace pelio
