// Box blurs, the Gaussian blur, the unsharp mask and the soft focus mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/ops/filters.h"
#include "core/ops/hls.h"
#include "core/ops/tone_tables.h"
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

// Both boxes and the unsharp mask's difference against the neighbourhood sums written out, on
// pictures of mixed values: sizes with and without full sixteen-sample runs, and a tiny one;
// one scratch kept across them.
TEST(BoxBlur, MatchesTheNeighbourhoodSums) {
    ScratchBytes scratch;
    for (const auto& [w, h] : {std::pair{11, 8}, {37, 6}, {1, 1}, {2, 3}, {5, 40}}) {
        Pair p(w, h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    p.At(p.source.image, x, y)[c] = static_cast<uint8_t>((x * 71 + y * 29 + c * 101 + x * y * 13) % 256);
        for (int r : {1, 2}) {
            if (r == 1) Box3x3(p.Job(), 255, scratch);
            else Box5x5(p.Job(), 255);
            const std::vector<int8_t> difference = PrepareUnsharp(p.Job());
            int wrong = 0, wrongDifference = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c) {
                        int sum = 0;
                        for (int dy = -r; dy <= r; ++dy)
                            for (int dx = -r; dx <= r; ++dx)
                                sum += p.At(p.source.image, std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1))[c];
                        const int expected = r == 1 ? Filters().divide9[size_t(sum)] : Filters().divide25[size_t(sum)];
                        wrong += p.At(p.target.image, x, y)[c] != expected;
                        const int d = std::clamp(p.At(p.source.image, x, y)[c] - Filters().divide25[size_t(sum)], -128, 127);
                        wrongDifference += r == 2 && difference[(size_t(y) * w + x) * 3 + c] != d;
                    }
            EXPECT_EQ(wrong, 0) << "radius " << r << " size " << w << "x" << h;
            EXPECT_EQ(wrongDifference, 0) << "size " << w << "x" << h;
        }
    }
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

// A cancelled job returns before its first row: the worker's stop is honoured at once.
TEST(Filters, CancelledJobsWriteNothing) {
    Pair p(40, 30, 200);
    const std::atomic<bool> cancel{true};
    PixelJob job = p.Job();
    job.cancel = &cancel;
    ScratchBytes temporary;
    std::vector<uint8_t> blurred(p.source.image.PixelBytes(), 0);
    const std::vector<int8_t> diff(p.source.image.PixelBytes(), 50);
    const uint8_t* t = p.target.image.bits;
    const std::vector<uint8_t> before(t, t + p.target.image.PixelBytes());
    Box3x3(job, 255);
    Box5x5(job, 255);
    GaussianBlur(job, temporary, 20);
    ApplyUnsharp(job, diff, 100, 0);
    MixSoftFocus(job, 100, blurred);
    ApplyGamma(job, 50, 50, 50);
    AdjustHls(job, HlsShift{30, 20, 10});
    EXPECT_EQ(std::vector<uint8_t>(t, t + p.target.image.PixelBytes()), before);
}

TEST(GaussianBlur, WeightsRadiusZeroAndEdges) {
    const GaussianWeights zero = GaussianWeightsFor(0);
    ASSERT_EQ(zero.weight.size(), 1u);
    EXPECT_EQ(zero.weight[0], 256);
    EXPECT_EQ(zero.shift, 8);
    const GaussianWeights two = GaussianWeightsFor(2);
    ASSERT_EQ(two.weight.size(), 3u);
    // R = 2, k = 2: raw 255, trunc(255 e^−0.5 + 0.5) = 155, trunc(255 e^−2 + 0.5) = 35;
    // total 635, so c = 10. Rounded, the weights add up to 1023: the centre takes the 1 missing.
    EXPECT_EQ(two.shift, 10);
    EXPECT_EQ(two.weight[0], (2 * (255 << 10) + 635) / (2 * 635) + 1);
    EXPECT_EQ(two.weight[1], (2 * (155 << 10) + 635) / (2 * 635));
    EXPECT_EQ(two.weight[2], (2 * (35 << 10) + 635) / (2 * 635));

    Pair p(6, 5, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) std::memset(p.At(p.source.image, x, y), (x * 40 + y * 7) & 0xFF, 3);
    ScratchBytes temp;
    GaussianBlur(p.Job(), temp, 0);  // radius 0: unchanged
    for (int y = 0; y < 5; ++y) EXPECT_EQ(0, std::memcmp(p.At(p.target.image, 0, y), p.At(p.source.image, 0, y), 18));
    // A radius above what the picture allows is lowered: 5 × 5 allows 2.
    Pair q(5, 5, 0);
    std::memset(q.At(q.source.image, 2, 2), 255, 3);
    ScratchBytes t1, t2;
    GaussianBlur(q.Job(), t1, 20);
    std::vector<uint8_t> first(q.target.image.bits, q.target.image.bits + q.target.image.PixelBytes());
    GaussianBlur(q.Job(), t2, 2);
    EXPECT_EQ(0, std::memcmp(first.data(), q.target.image.bits, first.size()));
    EXPECT_GT(q.At(q.target.image, 2, 2)[0], q.At(q.target.image, 1, 2)[0]);
}

// Every radius keeps a flat picture, inside and at the edges, whatever its level per channel.
TEST(GaussianBlur, UniformPictureUnchangedAtEveryRadius) {
    const uint8_t levels[][3] = {{0, 0, 0}, {1, 128, 255}, {254, 77, 3}, {255, 255, 255}, {100, 200, 50}};
    for (int radius = 0; radius <= 20; ++radius) {
        for (const auto& level : levels) {
            Pair p(43, 41, 0);
            for (int y = 0; y < 41; ++y)
                for (int x = 0; x < 43; ++x) std::memcpy(p.At(p.source.image, x, y), level, 3);
            ScratchBytes temp;
            GaussianBlur(p.Job(), temp, radius);
            int wrong = 0;
            for (int y = 0; y < 41; ++y)
                for (int x = 0; x < 43; ++x) wrong += std::memcmp(p.At(p.target.image, x, y), level, 3) != 0;
            EXPECT_EQ(wrong, 0) << "radius " << radius << " level " << int(level[0]) << "," << int(level[1])
                                << "," << int(level[2]);
        }
    }
}

// Against the rule written out sample by sample: rows first, then columns, each output the
// weighted sum shifted by c inside, divided by the weights used near the edges. Sizes with and
// without full sixteen-sample runs inside, and a radius lowered to fit the picture.
TEST(GaussianBlur, MatchesTheRuleSampleBySample) {
    struct Case {
        int w, h, radius;
    } cases[] = {{9, 7, 2}, {40, 37, 3}, {50, 45, 20}, {23, 60, 6}, {64, 3, 20}};
    for (const Case& t : cases) {
        const int w = t.w, h = t.h, radius = std::min(t.radius, (std::min(w, h) - 1) / 2);
        Pair p(w, h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    p.At(p.source.image, x, y)[c] = static_cast<uint8_t>((x * 37 + y * 91 + c * 53 + x * x * y) & 0xFF);
        const GaussianWeights g = GaussianWeightsFor(radius);
        auto pass = [&](auto sample, int length, int pos) {
            int64_t sum = 0, total = 0;
            for (int k = -radius; k <= radius; ++k) {
                if (pos + k < 0 || pos + k >= length) continue;
                sum += int64_t(g.weight[size_t(std::abs(k))]) * sample(pos + k);
                total += g.weight[size_t(std::abs(k))];
            }
            const bool inside = pos - radius >= 0 && pos + radius < length;
            return static_cast<int>(inside ? sum >> g.shift : sum / total);
        };
        std::vector<int> rows(size_t(w) * h * 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    rows[(size_t(y) * w + x) * 3 + c] = pass([&](int q) { return p.At(p.source.image, q, y)[c]; }, w, x);
        ScratchBytes temp;
        GaussianBlur(p.Job(), temp, t.radius);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    wrong += p.At(p.target.image, x, y)[c] !=
                             pass([&](int q) { return rows[(size_t(q) * w + x) * 3 + c]; }, h, y);
        EXPECT_EQ(wrong, 0) << w << "x" << h << " radius " << t.radius;
    }
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
