// The integer HLS model and its shifts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/ops/hls.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb Shift(Rgb in, HlsShift shift) {
    test::SampleImage src(1, 1, 24), dst(1, 1, 24);
    src.image.bits[0] = uint8_t(in.b), src.image.bits[1] = uint8_t(in.g), src.image.bits[2] = uint8_t(in.r);
    AdjustHls(MakePixelJob(src.image, dst.image), shift);
    return {dst.image.bits[2], dst.image.bits[1], dst.image.bits[0]};
}

TEST(Hls, PureRedAndItsHueTurns) {
    const Hls red = ToHls(255, 0, 0);
    EXPECT_EQ(red.l, 127);
    EXPECT_EQ(red.s, 255);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(Shift({255, 0, 0}, {120, 0, 0}), (Rgb{0, 254, 0}));
    EXPECT_EQ(Shift({255, 0, 0}, {-120, 0, 0}), (Rgb{0, 0, 254}));
    EXPECT_EQ(Shift({255, 0, 0}, {180, 0, 0}), (Rgb{0, 254, 254}));
}

TEST(Hls, LightnessAndSaturationExtremes) {
    for (Rgb c : {Rgb{10, 200, 30}, Rgb{0, 0, 0}, Rgb{255, 128, 7}, Rgb{90, 90, 90}}) {
        EXPECT_EQ(Shift(c, {0, 255, 0}), (Rgb{255, 255, 255}));
        EXPECT_EQ(Shift(c, {0, -255, 0}), (Rgb{0, 0, 0}));
        const int l = (std::max({c.r, c.g, c.b}) + std::min({c.r, c.g, c.b})) >> 1;
        EXPECT_EQ(Shift(c, {0, 0, -255}), (Rgb{l, l, l}));
    }
    // A grey pixel keeps its grey under a hue shift alone.
    EXPECT_EQ(Shift({90, 90, 90}, {77, 0, 0}), (Rgb{90, 90, 90}));
    // Hue wraps: green is 120, blue 240; the maximum priority takes red only when strictly largest.
    EXPECT_EQ(ToHls(0, 255, 0).h, 120);
    EXPECT_EQ(ToHls(0, 0, 255).h, 240);
    EXPECT_EQ(ToHls(255, 255, 0).h, 60);   // green wins the tie with red
    EXPECT_EQ(ToHls(255, 0, 255).h, 300);  // blue maximum: offset 240 + 60 × (255 − 0) / 255
    EXPECT_EQ(ToHls(255, 0, 200).h, 313);  // trunc(60 × −200 / 255) = −47, wrapped
}

// The looked-up conversions against the rules written out with divisions.
TEST(Hls, TablesFollowTheRules) {
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    int wrong = 0;
    for (int r = 0; r < 256; r += 3)
        for (int g = 1; g < 256; g += 5)
            for (int b = 2; b < 256; b += 7) {
                int max, delta, offset;
                if (r > g && r > b) max = r, delta = g - b, offset = 0;
                else if (g >= b) max = g, delta = b - r, offset = 120;
                else max = b, delta = r - g, offset = 240;
                const int min = std::min({r, g, b}), c = max - min;
                Hls e;
                e.l = (max + min) >> 1;
                if (c) {
                    e.s = max + min <= 255 ? 255 * c / (max + min) : 255 * c / (510 - max - min);
                    e.h = ((offset + 60 * delta / c) % 360 + 360) % 360;
                }
                const Hls got = ToHls(uint8_t(r), uint8_t(g), uint8_t(b));
                wrong += got.h != e.h || got.l != e.l || got.s != e.s;
            }
    EXPECT_EQ(wrong, 0);
    for (int h = 0; h < 360; h += 7)
        for (int l = 0; l < 256; l += 5)
            for (int s = 1; s < 256; s += 9) {
                const int m2 = l <= 127 ? l * (255 + s) / 255 : l + s - l * s / 255, m1 = 2 * l - m2, d = m2 - m1;
                auto V = [&](int x) {
                    x = ((x % 360) + 360) % 360;
                    return x < 60 ? floorDiv(d * x, 60) : x < 180 ? d : x < 240 ? floorDiv(d * (240 - x), 60) : 0;
                };
                uint8_t rr, gg, bb;
                FromHls({h, l, s}, rr, gg, bb);
                wrong += rr != m1 + V(h + 120) || gg != m1 + V(h) || bb != m1 + V(h - 120);
            }
    EXPECT_EQ(wrong, 0);
}

TEST(Hls, ColourRangeFadesToNothing) {
    const std::vector<uint8_t> zero = RangeWeights(0);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_EQ(zero[0], 255);
    const std::vector<uint8_t> w = RangeWeights(10);
    ASSERT_EQ(w.size(), 301u);
    EXPECT_EQ(w[0], 255);
    EXPECT_EQ(w[300], 0);  // exactly 3r²: weight 0, unchanged
    EXPECT_EQ(w[150], 255 - 255 * 150 / 300);

    test::SampleImage src(3, 1, 24), dst(3, 1, 24);
    const uint8_t pixels[] = {0, 0, 200, /**/ 0, 0, 201, /**/ 0, 0, 255};  // red 200, 201, 255
    std::memcpy(src.image.bits, pixels, 9);
    // r = 0: only the exact colour changes.
    AdjustHlsInRange(MakePixelJob(src.image, dst.image), {0, -255, 0}, 0x0000C8, zero);
    EXPECT_EQ(dst.image.bits[2], 0);
    EXPECT_EQ(dst.image.bits[5], 201);
    EXPECT_EQ(dst.image.bits[8], 255);
}

}  // namespace
}  // namespace pelio
