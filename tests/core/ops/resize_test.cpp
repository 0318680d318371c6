// Resampling: the line rules with their numbers, refusals, and both passes against a literal
// model of the per-line arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "core/ops/resize.h"
#include "core/ops/resize_fields.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

// The rules for one line of samples, written out as plainly as possible.
std::vector<int> ModelLine(const std::vector<int>& v, int m) {
    const int n = static_cast<int>(v.size());
    std::vector<int> out;
    if (m > n) {
        const int64_t step = int64_t{n} * 65536 / m;
        for (int k = 0; k < m; ++k) {
            const int64_t p = k * step;
            const int l = int(p >> 16), f = int(p & 65535);
            out.push_back(l < n - 1 ? int((int64_t(v[l]) * (65536 - f) + int64_t(v[l + 1]) * f) >> 16) : v[l]);
        }
        return out;
    }
    const double x = double(n) / m;
    const int64_t s = int64_t(std::trunc(x * 32768));
    static std::map<std::pair<int, int>, std::vector<int>> tables;  // D of S entries, per n and m
    std::vector<int>& d = tables[{n, m}];
    if (d.empty()) {
        d.resize(static_cast<size_t>(s));
        for (int64_t i = 0; i < s; ++i) d[size_t(i)] = int(std::trunc(double(i) / x));
    }
    int64_t o = 0, a = 0;
    for (int k = 0; k < n - 1; ++k) {
        o += 32768;
        if (o < s) {
            a += v[k];
            continue;
        }
        const int64_t r = o - s, carry = v[k] * r / 32768;
        out.push_back(d[size_t(a + v[k] - carry)]);
        a = carry;
        o = r;
    }
    o += 32768;
    const int64_t r = o < s ? 0 : o - s;
    out.push_back(d[size_t(a + v[n - 1] - v[n - 1] * r / 32768)]);
    return out;
}

uint8_t& At(const Image& image, int x, int y, int c) { return image.Row(y)[x * 3 + c]; }

TEST(Resize, LineRulesWithTheirNumbers) {
    struct Case {
        std::vector<int> line;
        int m;
        std::vector<int> want;
    } cases[] = {
        {{0, 255, 0, 255, 0, 255, 0, 255}, 4, {127, 127, 127, 127}},  // x = 2, D[i] = trunc(i / 2)
        {{0, 100}, 4, {0, 50, 100, 100}},                             // aligned at the first sample
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModelLine(c.line, c.m), c.want);
        const int n = static_cast<int>(c.line.size());
        for (bool horizontal : {true, false}) {
            test::SampleImage source(horizontal ? n : 1, horizontal ? 1 : n, 24);
            for (int k = 0; k < n; ++k)
                for (int ch = 0; ch < 3; ++ch)
                    At(source.image, horizontal ? k : 0, horizontal ? 0 : k, ch) = uint8_t(c.line[size_t(k)]);
            test::SampleImage target(horizontal ? c.m : 1, horizontal ? 1 : c.m, 24);
            ASSERT_TRUE(ResizePixels(source.image, target.image));
            for (int k = 0; k < c.m; ++k)
                for (int ch = 0; ch < 3; ++ch)
                    EXPECT_EQ(At(target.image, horizontal ? k : 0, horizontal ? 0 : k, ch), c.want[size_t(k)]);
        }
    }
}

TEST(Resize, RefusesSizesItCannotMake) {
    test::SampleImage source(10, 8, 24);
    struct Case {
        int w, h;
    } cases[] = {{10, 8}, {21, 8}, {10, 17}, {21, 17}, {0, 8}, {10, 0}, {25001, 8}};
    for (const Case& c : cases) {
        Image target;
        target.header.width = c.w;
        target.header.height = c.h;
        target.header.bitCount = 24;
        EXPECT_FALSE(ResizePixels(source.image, target)) << c.w << " x " << c.h;  // no pixels touched
    }
    test::SampleImage palette(10, 8, 8), target(5, 4, 24);
    EXPECT_FALSE(ResizePixels(palette.image, target.image));
}

TEST(Resize, BothPassesFollowTheLineRulesVerticalFirst) {
    std::mt19937 random(7);
    struct Case {
        int w, h, W, H;
    } cases[] = {{6, 4, 3, 8},  {13, 7, 25, 3}, {100, 9, 3, 17}, {7, 100, 4, 1}, {1, 5, 2, 10},
                 {9, 9, 9, 5}, {40, 3, 77, 3}, {64, 3, 128, 5}, {33, 4, 50, 6}, {3, 2, 6, 2}};
    for (const Case& c : cases) {
        test::SampleImage source(c.w, c.h, 24), target(c.W, c.H, 24);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w * 3; ++x) source.image.Row(y)[x] = uint8_t(random());
        ASSERT_TRUE(ResizePixels(source.image, target.image));
        // Columns in storage order to the new height, then rows to the new width.
        std::vector<std::vector<int>> middle(size_t(c.H), std::vector<int>(size_t(c.w) * 3));
        for (int x = 0; x < c.w * 3; ++x) {
            std::vector<int> column;
            for (int y = 0; y < c.h; ++y) column.push_back(source.image.Row(y)[x]);
            const std::vector<int> scaled = c.H == c.h ? column : ModelLine(column, c.H);
            for (int y = 0; y < c.H; ++y) middle[size_t(y)][size_t(x)] = scaled[size_t(y)];
        }
        int wrong = 0;
        for (int y = 0; y < c.H; ++y)
            for (int ch = 0; ch < 3; ++ch) {
                std::vector<int> row;
                for (int x = 0; x < c.w; ++x) row.push_back(middle[size_t(y)][size_t(x) * 3 + ch]);
                const std::vector<int> scaled = c.W == c.w ? row : ModelLine(row, c.W);
                for (int x = 0; x < c.W; ++x) wrong += At(target.image, x, y, ch) != scaled[size_t(x)];
            }
        EXPECT_EQ(wrong, 0) << c.w << "x" << c.h << " -> " << c.W << "x" << c.H;
    }
}

// The size fields keep the aspect with halves rounded away from zero and clamp to twice the
// source and to the largest picture.
TEST(ResizeFields, AspectAndLimits) {
    ResizeFields wide(200, 100);
    const ResizeFields::Echo echo = wide.SetWidth(101);
    EXPECT_EQ(echo.otherField, 51);  // 50.5
    EXPECT_EQ(echo.slider, 51);
    EXPECT_EQ(wide.NewHeight(), 51);
    const ResizeFields::Echo same = wide.SetWidth(101);
    EXPECT_EQ(same.otherField, -1);
    EXPECT_EQ(same.slider, -1);

    ResizeFields huge(20000, 100);
    EXPECT_EQ(huge.SliderWidth(200), 40000);
    huge.SetWidth(huge.SliderWidth(200));
    EXPECT_EQ(huge.NewWidth(), 25000);
    EXPECT_EQ(huge.NewHeight(), 125);

    ResizeFields free(300, 7);
    free.ignoreAspect = true;
    EXPECT_EQ(free.SetHeight(-5).otherField, -1);
    EXPECT_EQ(free.NewHeight(), 1);
    EXPECT_EQ(free.NewWidth(), 300);
    free.SetWidth(9999);
    EXPECT_EQ(free.NewWidth(), 600);
    EXPECT_EQ(free.SliderHeight(1), 1);  // 0.07 of a pixel is still one
    EXPECT_FALSE(free.Unchanged());
}

}  // namespace
}  // namespace pelio
