// Tone correction tables and kernels, with the numbers the corrections are defined by.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ops/blend_table.h"
#include "core/ops/tone_tables.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

TEST(LevelsTables, StretchAndItsRounding) {
    const LevelsTables t;
    for (int x = 0; x < 256; ++x) EXPECT_EQ(t.Map(0, 255, x), x);  // k = 65536: the identity
    struct Case { int low, high, x, out; };
    const Case cases[] = {{100, 200, 0, 0},     {100, 200, 100, 0},   {100, 200, 101, 2}, {100, 200, 200, 254},
                          {100, 200, 201, 255}, {100, 200, 255, 255}, {0, 200, 200, 254}, {254, 255, 255, 255},
                          {0, 1, 1, 255},       {0, 1, 0, 0},         {0, 128, 64, 127}};
    for (const Case& c : cases) EXPECT_EQ(t.Map(c.low, c.high, c.x), c.out) << c.low << "-" << c.high << ":" << c.x;
}

TEST(GammaTables, ExamplesAndIdentity) {
    const ValueTables& g = GammaTables();
    auto G = [&](int v, int x) { return int(g[size_t(v + 100)][size_t(x)]); };
    EXPECT_EQ(G(50, 64), 134);
    EXPECT_EQ(G(50, 128), 185);
    EXPECT_EQ(G(50, 192), 223);
    EXPECT_EQ(G(-50, 64), 13);
    EXPECT_EQ(G(-50, 128), 58);
    EXPECT_EQ(G(-50, 192), 139);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(G(0, x), x);
    for (int v = -100; v <= 100; ++v) EXPECT_EQ(G(v, 0), 0);
}

TEST(BrightnessAndContrast, TablesAboutTheMean) {
    const auto& b = BrightnessTable();
    auto B = [&](int k) { return int(b[size_t(k + 255)]); };
    EXPECT_EQ(B(-255), 0);
    EXPECT_EQ(B(0), 0);
    EXPECT_EQ(B(1), 1);
    EXPECT_EQ(B(254), 254);
    EXPECT_EQ(B(255), 255);
    EXPECT_EQ(B(510), 255);

    const ValueTables c = ContrastTables(128);
    auto C = [&](int v, int x) { return int(c[size_t(v + 100)][size_t(x)]); };
    EXPECT_EQ(C(-100, 0), 100);  // 100/128 of the distance towards 128, flooring
    EXPECT_EQ(C(-100, 255), 155);
    EXPECT_EQ(C(-100, 128), 128);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(C(0, x), x);
    EXPECT_EQ(C(100, 129), 129 + 3);  // 1 + 100/32: one step away gains 3.125, floored to 3
    EXPECT_EQ(C(100, 127), 127 - 4);  // -3.125 floors to -4
    EXPECT_EQ(C(100, 0), 0);
    EXPECT_EQ(C(100, 255), 255);
}

TEST(MeanLuma, WeightsSummedByRows) {
    test::SampleImage grey(8, 3, 24);
    std::memset(grey.image.bits, 128, grey.image.Stride() * 3);
    test::SampleImage target(8, 3, 24);
    EXPECT_EQ(MeanLuma(MakePixelJob(grey.image, target.image)), 128);

    // One row of 3 pixels (b, g, r) = (255, 0, 0), (0, 255, 0), (0, 0, 255): the row sums
    // 29835, 153255, 78030 shift to 29, 149, 76; (29 + 149 + 76) / 3 = 84.
    test::SampleImage mixed(3, 1, 24), out(3, 1, 24);
    const uint8_t pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::memcpy(mixed.image.bits, pixels, 9);
    EXPECT_EQ(MeanLuma(MakePixelJob(mixed.image, out.image)), 84);
}

// Distinct values per channel catch a channel taken for another; 8 bits map the palette.
TEST(ToneKernels, ChannelsKeepTheirOwnValues) {
    test::SampleImage src(5, 3, 24), dst(5, 3, 24);
    PixelJob job = MakePixelJob(src.image, dst.image);
    ApplyBrightness(job, 30, -20, 0);
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 5; ++x) {
            const uint8_t* s = src.image.bits + r * src.image.Stride() + x * 3;
            const uint8_t* d = dst.image.bits + r * dst.image.Stride() + x * 3;
            EXPECT_EQ(d[0], s[0]);
            EXPECT_EQ(d[1], std::max(0, s[1] - 20));
            EXPECT_EQ(d[2], std::min(255, s[2] + 30));
        }
    // Levels on green alone leave the other bytes as the target had them.
    std::memset(dst.image.bits, 7, dst.image.Stride() * 3);
    const LevelsTables levels;
    ApplyLevels(job, levels, 100, 200, 1);
    EXPECT_EQ(dst.image.bits[0], 7);
    EXPECT_EQ(dst.image.bits[1], levels.Map(100, 200, src.image.bits[1]));
    EXPECT_EQ(dst.image.bits[2], 7);

    test::SampleImage p(4, 2, 8), q(4, 2, 8);
    PixelJob palette = MakePixelJob(p.image, q.image);
    ApplyGamma(palette, 50, 0, -50);
    const ValueTables& g = GammaTables();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(q.image.palette[i].red, g[150][p.image.palette[i].red]);
        EXPECT_EQ(q.image.palette[i].green, p.image.palette[i].green);
        EXPECT_EQ(q.image.palette[i].blue, g[50][p.image.palette[i].blue]);
    }
}

// Three different tables at widths around the four-pixel steps: each byte through its own
// channel's table.
TEST(ToneKernels, ThreeTablesAtEveryWidth) {
    const ValueTables& g = GammaTables();
    for (int width = 1; width <= 9; ++width) {
        test::SampleImage src(width, 2, 24, 29), dst(width, 2, 24);
        ApplyGamma(MakePixelJob(src.image, dst.image), 40, 0, -40);
        const uint8_t* tables[3] = {g[60].data(), g[100].data(), g[140].data()};  // blue, green, red
        int wrong = 0;
        for (int r = 0; r < 2; ++r)
            for (int i = 0; i < width * 3; ++i)
                wrong += dst.image.Row(r)[i] != tables[i % 3][src.image.Row(r)[i]];
        EXPECT_EQ(wrong, 0) << "width " << width;
    }
}

TEST(Histograms, BarsAndAutomaticLevels) {
    test::SampleImage img(16, 16, 24), out(16, 16, 24);
    for (int r = 0; r < 16; ++r)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = img.image.bits + r * img.image.Stride() + x * 3;
            p[0] = 0;                  // blue: all at level 0 (outside the scale)
            p[1] = static_cast<uint8_t>(x * 16);  // green: 16 levels, 16 each
            p[2] = 77;                 // red: one level
        }
    const Histograms h = ComputeHistograms(MakePixelJob(img.image, out.image));
    EXPECT_EQ(h.blue[0], 256u);
    EXPECT_EQ(h.green[16], 16u);
    EXPECT_EQ(h.red[77], 256u);
    EXPECT_EQ(h.sum[0], 256u + 16u);

    // Channel modes share one scale: the largest count of levels 1..254 of the three (256).
    const auto green = HistogramBarTops(h, 1);
    EXPECT_EQ(green[16], 99 - 16 * 99 / 256);
    const auto blue = HistogramBarTops(h, 0);
    EXPECT_EQ(blue[0], 0);  // level 0 is outside the scale and may reach above the graph
    const auto red = HistogramBarTops(h, 2);
    EXPECT_EQ(red[77], 0);
    EXPECT_EQ(red[78], 99);

    int low = 0, high = 0;
    AutoLevels(h.red, 16, 16, low, high);  // a single colour: both at it
    EXPECT_EQ(low, 77);
    EXPECT_EQ(high, 77);
    low = ClampLevelsLow(low, 255);
    high = ClampLevelsHigh(high, low);
    EXPECT_EQ(low, 77);
    EXPECT_EQ(high, 78);
    // Green: threshold (16 × 16 × 3) >> 8 = 3; 16 per level, so the first and last levels.
    AutoLevels(h.green, 16, 16, low, high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 240);
    EXPECT_EQ(ClampLevelsLow(-5, 100), 0);
    EXPECT_EQ(ClampLevelsLow(150, 100), 99);
    EXPECT_EQ(ClampLevelsHigh(300, 10), 255);
}

TEST(BlendTable, EndsSymmetryAndValues) {
    const BlendTable& b = Blend();
    auto at = [&](int s, int t) { return int(b[size_t(s * 256 + t)]); };
    for (int t = 0; t < 256; ++t) {
        EXPECT_EQ(at(0, t), 0);
        EXPECT_EQ(at(t, 0), 0);
        EXPECT_EQ(at(255, t), t);
        EXPECT_EQ(at(t, 255), t);
    }
    EXPECT_EQ(at(128, 128), 64);   // (128 × 32896 + 32768) >> 16 = 64.75 → 64
    EXPECT_EQ(at(254, 254), 253);
    EXPECT_EQ(at(1, 1), 0);
    for (int s = 1; s < 255; ++s)
        for (int t = 1; t < 255; ++t) {
            ASSERT_EQ(at(s, t), at(t, s));
            ASSERT_LE(std::abs(at(s, t) - s * t / 255.0), 1.0);
        }
}

}  // namespace
}  // namespace pelio
