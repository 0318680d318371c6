// Box blurs, the Gaussian blur, the unsharp mask and the soft focus mix.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/ops/filters.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

struct Pair {
    test::SampleImage source, target;
    Pair(int w, int h, uint8_t fill) : source(w, h, 24), target(w, h, 24) {
        std::memset(source.image.bits, fill, source.image.PixelBytes());
    }
    PixelJob Job() { return MakePixelJob(source.image, target.image); }
    uint8_t* At(Image& image, int x, int y) { return image.bits + y * image.Stride() + x * 3; }
};

TEST(FilterTables, Values) {
    const FilterTables& t = Filters();
    EXPECT_EQ(t.divide9[255], 28);
    EXPECT_EQ(t.divide9[9 * 255], 255);
    EXPECT_EQ(t.divide25[25 * 255], 255);
    EXPECT_EQ(t.divide25[0], 0);
    EXPECT_EQ(t.gain[8][128 + 37], 37);   // strength 8 adds the difference itself
    EXPECT_EQ(t.gain[8][128 - 37], -37);
    EXPECT_EQ(t.gain[3][128 - 1], -1);    // (3 × −1) >> 3 floors to −1
    EXPECT_EQ(t.gain[0][0], 0);
    EXPECT_EQ(t.clamp[1600 - 1600], 0);
    EXPECT_EQ(t.clamp[1600 + 300], 255);
}

// A single white pixel on black, 3 × 3 at level 10: D9[255] = 28, mixed [250][28] + [5][255].
TEST(BoxBlur, SingleWhitePixel) {
    Pair p(7, 7, 0);
    std::memset(p.At(p.source.image, 3, 3), 255, 3);
    Box3x3(p.Job(), 250);
    EXPECT_EQ(p.At(p.target.image, 3, 3)[0], 32);
    EXPECT_EQ(p.At(p.target.image, 2, 2)[1], 27);  // a neighbour gets [250][28]
    EXPECT_EQ(p.At(p.target.image, 0, 0)[2], 0);
}

// Edge replication: a corner pixel counts itself four times in its 3 × 3.
TEST(BoxBlur, EdgesReplicateTheNearestPixel) {
    Pair p(5, 5, 0);
    std::memset(p.At(p.source.image, 0, 0), 90, 3);
    Box3x3(p.Job(), 255);
    EXPECT_EQ(p.At(p.target.image, 0, 0)[0], Filters().divide9[4 * 90]);
    Box5x5(p.Job(), 255);
    EXPECT_EQ(p.At(p.target.image, 0, 0)[0], Filters().divide25[9 * 90]);
}

TEST(Filters, UniformPictureUnchanged) {
    for (uint8_t v : {0, 1, 77, 128, 254, 255}) {
        Pair p(9, 6, v);
        const PixelJob job = p.Job();
        for (int level = 0; level <= 10; ++level) {
            Box3x3(job, level * 25);
            ASSERT_EQ(p.At(p.target.image, 4, 3)[0], v) << int(v) << " 3x3 " << level;
            Box5x5(job, level * 25);
            ASSERT_EQ(p.At(p.target.image, 0, 5)[2], v) << int(v) << " 5x5 " << level;
        }
        std::vector<int8_t> diff = PrepareUnsharp(job);
        ApplyUnsharp(job, diff, 100, 0);
        EXPECT_EQ(p.At(p.target.image, 4, 3)[1], v);
        std::vector<uint8_t> blurred(p.source.image.PixelBytes(), v);
        for (int level : {0, 100, 200}) {
            MixSoftFocus(job, level, blurred);
            EXPECT_EQ(p.At(p.target.image, 8, 0)[0], v) << int(v) << " soft " << level;
        }
    }
}

TEST(GaussianBlur, WeightsRadiusZeroAndEdges) {
    const GaussianWeights zero = GaussianWeightsFor(0);
    ASSERT_EQ(zero.weight.size(), 1u);
    EXPECT_EQ(zero.weight[0], 256);
    EXPECT_EQ(zero.shift, 8);
    const GaussianWeights two = GaussianWeightsFor(2);
    ASSERT_EQ(two.weight.size(), 3u);
    // R = 2, k = 2: raw 255, trunc(255 e^−0.5 + 0.5) = 155, trunc(255 e^−2 + 0.5) = 35;
    // total 635, so c = 10
    EXPECT_EQ(two.shift, 10);
    EXPECT_EQ(two.weight[0], (2 * (255 << 10) + 635) / (2 * 635));
    EXPECT_EQ(two.weight[1], (2 * (155 << 10) + 635) / (2 * 635));
    EXPECT_EQ(two.weight[2], (2 * (35 << 10) + 635) / (2 * 635));

    Pair p(6, 5, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) std::memset(p.At(p.source.image, x, y), (x * 40 + y * 7) & 0xFF, 3);
    std::vector<uint8_t> temp;
    GaussianBlur(p.Job(), temp, 0);  // radius 0: unchanged
    for (int y = 0; y < 5; ++y) EXPECT_EQ(0, std::memcmp(p.At(p.target.image, 0, y), p.At(p.source.image, 0, y), 18));
    // A radius above what the picture allows is lowered: 5 × 5 allows 2.
    Pair q(5, 5, 0);
    std::memset(q.At(q.source.image, 2, 2), 255, 3);
    std::vector<uint8_t> t1, t2;
    GaussianBlur(q.Job(), t1, 20);
    std::vector<uint8_t> first(q.target.image.bits, q.target.image.bits + q.target.image.PixelBytes());
    GaussianBlur(q.Job(), t2, 2);
    EXPECT_EQ(0, std::memcmp(first.data(), q.target.image.bits, first.size()));
    EXPECT_GT(q.At(q.target.image, 2, 2)[0], q.At(q.target.image, 1, 2)[0]);
}

TEST(UnsharpMask, ThresholdAndStrength) {
    Pair p(9, 9, 100);
    std::memset(p.At(p.source.image, 4, 4), 120, 3);  // a brighter spot
    const PixelJob job = p.Job();
    std::vector<int8_t> diff = PrepareUnsharp(job);
    const int d = diff[(4 * 9 + 4) * 3];
    EXPECT_EQ(d, 120 - Filters().divide25[24 * 100 + 120]);
    ApplyUnsharp(job, diff, 8, 0);  // strength 8 adds the difference itself
    EXPECT_EQ(p.At(p.target.image, 4, 4)[0], 120 + d);
    ApplyUnsharp(job, diff, 100, 3 * std::abs(d));  // within the threshold: copied
    EXPECT_EQ(p.At(p.target.image, 4, 4)[0], 120);
}

}  // namespace
}  // namespace pelio
