// Rotation kernels against a per-pixel model, and the angle input rules.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "core/ops/geometry.h"
#include "core/ops/rotate.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

constexpr uint32_t kBackground = 0x00123456;  // red 0x56, green 0x34, blue 0x12

// The source sample (x, y) of storage coordinates, or the background outside.
const uint8_t* Sample(const Image& src, int x, int y) {
    static const uint8_t bg[3] = {0x12, 0x34, 0x56};
    if (x < 0 || y < 0 || x >= src.Width() || y >= src.Height()) return bg;
    return src.Row(y) + x * 3;
}

// The kernels' formulas evaluated for each pixel on its own.
void PreviewModel(const Image& src, int angle, Image& out) {
    const RotationTerms t = RotationTermsFor(angle);
    const int w = src.Width(), h = src.Height();
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j) {
            const int x = t.cs * (j - (w >> 1)) - t.sn * (i - (h >> 1)) + (w >> 1) * 256;
            const int y = t.sn * (j - (w >> 1)) + t.cs * (i - (h >> 1)) + (h >> 1) * 256;
            const bool outside = x < 0 || y < 0 || (x >> 8) >= w || (y >> 8) >= h;
            std::memcpy(out.Row(i) + j * 3, Sample(src, outside ? -1 : x >> 8, y >> 8), 3);
        }
}

void FullModel(const Image& src, int angle, Image& out) {
    const RotationTerms t = RotationTermsFor(angle);
    const int w = src.Width(), h = src.Height(), ow = out.Width(), oh = out.Height();
    for (int i = 0; i < oh; ++i)
        for (int j = 0; j < ow; ++j) {
            const int x = t.cs * (j - (ow >> 1)) - t.sn * (i - (oh >> 1)) + (w & ~1) * 128;
            const int y = t.sn * (j - (ow >> 1)) + t.cs * (i - (oh >> 1)) + (h & ~1) * 128;
            const int X = x >> 8, Y = y >> 8, fx = x & 255, fy = y & 255;
            for (int k = 0; k < 3; ++k)
                out.Row(i)[j * 3 + k] = uint8_t(
                    (fy * ((256 - fx) * Sample(src, X, Y + 1)[k] + fx * Sample(src, X + 1, Y + 1)[k]) +
                     (256 - fy) * (fx * Sample(src, X + 1, Y)[k] + (256 - fx) * Sample(src, X, Y)[k])) >>
                    16);
        }
}

bool SamePixels(const Image& a, const Image& b) {
    for (int r = 0; r < a.Height(); ++r)
        if (std::memcmp(a.Row(r), b.Row(r), size_t(a.Width()) * 3) != 0) return false;
    return true;
}

// The truncated π shows: sin 30° falls just below 0.5, and −30° taken in its stored form
// (330°) just below −0.5.
TEST(Rotation, TermsTruncateWithTheShortPi) {
    const struct {
        int angle, cs, sn;
    } cases[] = {{0, 256, 0},       {1, 255, 0},     {300, 221, 127},   {-300, 221, -128}, {3300, 221, -128},
                 {450, 181, 181},   {900, 0, 256},   {1234, -140, 213}, {1800, -256, 0},   {-1800, -256, 0},
                 {2700, 0, -256},   {3599, 255, 0}};
    for (const auto& c : cases) {
        const RotationTerms t = RotationTermsFor(c.angle);
        EXPECT_EQ(t.cs, c.cs) << c.angle;
        EXPECT_EQ(t.sn, c.sn) << c.angle;
    }
    EXPECT_EQ(RotatedSize(6000, 4000, 0).width, 6005);
    EXPECT_EQ(RotatedSize(100, 100, 450).height, 146);  // trunc(141.42) + 5
}

TEST(Rotation, BothKernelsMatchThePerPixelModel) {
    const int sizes[][2] = {{17, 11}, {10, 13}, {1, 1}, {2, 9}};
    for (const auto& size : sizes)
        for (int angle : {0, 1, 37, 300, 450, 900, 1234, 1800, 2345, 3150, -1, -777}) {
            test::SampleImage src(size[0], size[1], 24, 29), got(size[0], size[1], 24), want(size[0], size[1], 24);
            ASSERT_TRUE(RotatePreview(MakePixelJob(src.image, got.image), angle, kBackground));
            PreviewModel(src.image, angle, want.image);
            EXPECT_TRUE(SamePixels(got.image, want.image)) << "preview " << angle << " " << size[0] << "x" << size[1];

            const RotatedExtent e = RotatedSize(size[0], size[1], angle);
            test::SampleImage gotFull(e.width, e.height, 24), wantFull(e.width, e.height, 24);
            ASSERT_TRUE(RotateFull(MakePixelJob(src.image, gotFull.image), angle, kBackground, e.width, e.height));
            FullModel(src.image, angle, wantFull.image);
            EXPECT_TRUE(SamePixels(gotFull.image, wantFull.image))
                << "full " << angle << " " << size[0] << "x" << size[1];
        }
}

TEST(Rotation, PreviewAtZeroIsACopyAndStopsWhenCancelled) {
    test::SampleImage src(9, 5, 24), target(9, 5, 24, 0);
    Image& out = target.image;
    ASSERT_TRUE(RotatePreview(MakePixelJob(src.image, out), 0, kBackground));
    EXPECT_TRUE(SamePixels(out, src.image));

    std::memset(out.bits, 0, out.PixelBytes());
    std::atomic<bool> stop{true};
    PixelJob job = MakePixelJob(src.image, out);
    job.cancel = &stop;
    EXPECT_FALSE(RotatePreview(job, 450, kBackground));
    EXPECT_FALSE(RotateFull(job, 450, kBackground, 9, 5));
    EXPECT_EQ(out.bits[0], 0);
}

// 90° on 7 × 4: a 9 × 12 picture holding the clockwise quarter turn two pixels in from the
// left and the top, the rest background.
TEST(Rotation, NinetyDegreesIsAQuarterTurnInABackgroundBorder) {
    test::SampleImage src(7, 4, 24), turned(4, 7, 24);
    ASSERT_TRUE(TurnPixels(MakePixelJob(src.image, turned.image), TurnKind::Rotate90));
    const RotatedExtent e = RotatedSize(7, 4, 900);
    ASSERT_EQ(e.width, 9);
    ASSERT_EQ(e.height, 12);
    test::SampleImage target(e.width, e.height, 24);
    Image& out = target.image;
    ASSERT_TRUE(RotateFull(MakePixelJob(src.image, out), 900, kBackground, e.width, e.height));
    int wrong = 0;
    for (int i = 0; i < 12; ++i)      // storage rows; display row 11 − i
        for (int j = 0; j < 9; ++j) {
            const int dx = j - 2, dy = 11 - i - 2;  // display position in the turned picture
            const bool inside = dx >= 0 && dx < 4 && dy >= 0 && dy < 7;
            const uint8_t* want = inside ? turned.image.Row(6 - dy) + dx * 3 : Sample(src.image, -1, 0);
            wrong += std::memcmp(out.Row(i) + j * 3, want, 3) != 0;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(AngleInput, FieldTextParsesRoundsAndClamps) {
    const struct {
        const wchar_t* text;
        int tenths;
    } cases[] = {{L"-45", -450},      {L"0.05", 1},    {L"-0.05", -1},    {L"  +12.34", 123}, {L".5", 5},
                 {L"1.25e1", 125},    {L"1,5", 10},    {L"3.14159265", 31}, {L"-999", -1800}, {L"1e9999", 1800},
                 {L"12345678", 1800}, {L"-1e-999", 0}, {L"abc", 0},       {L"inf", 0},        {L"0x10", 0}};
    for (const auto& c : cases) EXPECT_EQ(ParseAngleField(c.text), c.tenths) << c.text;
}

TEST(AngleInput, StoredFormAndItsText) {
    EXPECT_EQ(StoredAngle(ParseAngleField(L"-45")), 3150);
    const struct {
        int stored;
        const wchar_t* text;
    } cases[] = {{3150, L"-45.0"}, {0, L"0.0"}, {5, L"0.5"}, {1799, L"179.9"}, {1800, L"-180.0"}, {3599, L"-0.1"}};
    for (const auto& c : cases) EXPECT_EQ(StoredAngleText(c.stored), c.text) << c.stored;
}

TEST(AngleInput, LineToolTurnsTheLineLevel) {
    const struct {
        LineMode mode;
        PanePoint start, end;
        int stored;
        double degrees;
    } cases[] = {
        {LineMode::Horizontal, {0, 0}, {100, -10}, 0, 5.7106},    // rising to the right
        {LineMode::Horizontal, {100, -10}, {0, 0}, 0, 5.7106},    // drawn backwards: folded
        {LineMode::Horizontal, {0, 0}, {100, -10}, 3150, -39.2894},
        {LineMode::Vertical, {0, 0}, {10, -100}, 0, -5.7106},     // leaning right at the top
        {LineMode::Horizontal, {0, 0}, {-50, -50}, 1700, 125.0 - 180.0},
    };
    for (const auto& c : cases) {
        const auto d = LineToolAngle(c.mode, c.start, c.end, c.stored);
        ASSERT_TRUE(d.has_value());
        EXPECT_NEAR(*d, c.degrees, 1e-4);
    }
    EXPECT_EQ(DegreesText(*LineToolAngle(LineMode::Horizontal, {0, 0}, {100, -10}, 0)), L"5.7");
    EXPECT_FALSE(LineToolAngle(LineMode::Horizontal, {5, 5}, {13, -3}, 0).has_value());
    EXPECT_FALSE(LineToolAngle(LineMode::Vertical, {5, 5}, {-3, 13}, 0).has_value());
}

}  // namespace
}  // namespace pelio
