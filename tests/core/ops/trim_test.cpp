// Trimming: the selection's rules, the working picture and the cut.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ops/trim.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

constexpr int kW = 100, kH = 80;

// Ratio 4:3 on a selection whose centre (taken at the focus) is (29, 24).
TEST(TrimSelection, TypedCoordinateKeepsTheRatioAboutTheCentre) {
    const TrimRect start{10, 10, 49, 39};
    const struct {
        TrimField field;
        int value;
        SizeSlot ratio;
        TrimCentre centre;
        bool accepted;
        TrimRect result;
    } cases[] = {
        {TrimField::X2, 69, {4, 3}, {29, 24}, true, {10, 2, 69, 46}},    // e = round(44.25) = 44
        {TrimField::X2, 15, {2, 1}, {29, 24}, true, {10, 22, 15, 25}},   // e = round(2.5) = 3
        {TrimField::X1, 60, {0, 0}, {29, 24}, true, {49, 10, 49, 39}},   // free: up to x2
        {TrimField::X2, 500, {0, 0}, {29, 24}, true, {10, 10, 99, 39}},  // up to the last column
        {TrimField::Y1, -4, {0, 0}, {29, 24}, true, {10, 0, 49, 39}},
        {TrimField::X2, 69, {4, 3}, {29, 5}, true, {10, 0, 69, 44}},     // moved down to row 0
        {TrimField::X2, 49, {1, 1}, {29, 75}, true, {10, 40, 49, 79}},   // moved up to the last row
        {TrimField::X2, 95, {1, 1}, {29, 24}, false, start},             // 86 rows cannot fit
        {TrimField::Y2, 69, {4, 3}, {29, 24}, true, {0, 10, 79, 69}},    // e = round(78.67), from column 0
        {TrimField::Y1, 0, {1, 2}, {29, 24}, true, {19, 0, 39, 39}},     // e = round(19.5) = 20
    };
    for (const auto& c : cases) {
        TrimRect s = start;
        EXPECT_EQ(SetTrimCoordinate(s, c.field, c.value, c.ratio, c.centre, kW, kH), c.accepted) << c.value;
        EXPECT_EQ(s, c.result) << int(c.field) << " " << c.value;
    }
}

TEST(TrimSelection, ChoosingARatioLetsTheWidthDriveUnlessTheHeightCannotFit) {
    TrimRect s{10, 10, 49, 39};
    EXPECT_TRUE(ApplyTrimRatio(s, {1, 1}, kW, kH));
    EXPECT_EQ(s, (TrimRect{10, 4, 49, 43}));  // 40 rows about row 24
    s = {0, 30, 99, 49};
    EXPECT_TRUE(ApplyTrimRatio(s, {1, 1}, kW, kH));  // 99 rows do not fit: the 19 columns do
    EXPECT_EQ(s, (TrimRect{39, 30, 58, 49}));
    EXPECT_FALSE(ApplyTrimRatio(s, {5, 0}, kW, kH));
}

// Outline lines at x 100 and 200, y 50 and 150: reach is strictly within 7 pixels.
TEST(TrimSelection, HandlesAreFoundWithinSevenPixels) {
    const TrimOutline o{100, 50, 200, 150};
    const struct {
        int x, y;
        TrimHandle handle;
    } cases[] = {
        {93, 100, TrimHandle::None},       {94, 100, TrimHandle::Left},      {106, 100, TrimHandle::Left},
        {107, 100, TrimHandle::Inside},    {193, 100, TrimHandle::Inside},   {194, 100, TrimHandle::Right},
        {206, 100, TrimHandle::Right},     {207, 100, TrimHandle::None},     {150, 43, TrimHandle::None},
        {150, 44, TrimHandle::Top},        {150, 156, TrimHandle::Bottom},   {150, 157, TrimHandle::None},
        {94, 44, TrimHandle::TopLeft},     {206, 44, TrimHandle::TopRight},  {206, 156, TrimHandle::BottomRight},
        {106, 156, TrimHandle::BottomLeft}, {93, 44, TrimHandle::None},
    };
    for (const auto& c : cases) EXPECT_EQ(FindTrimHandle(c.x, c.y, o), c.handle) << c.x << "," << c.y;
    const TrimOutline small{100, 100, 104, 104};  // both lines near: the nearer one
    EXPECT_EQ(FindTrimHandle(103, 101, small), TrimHandle::TopRight);
    EXPECT_EQ(FindTrimHandle(102, 102, small), TrimHandle::TopLeft);
}

TEST(TrimSelection, DragsClampAndSplitTheCornerTravel) {
    const TrimRect start{10, 10, 20, 20};
    const struct {
        TrimHandle handle;
        int x, y;
        SizeSlot ratio;
        bool moved;
        TrimRect result;
    } cases[] = {
        {TrimHandle::BottomRight, 15, 12, {1, 2}, true, {10, 10, 12, 15}},  // T 7: round(2.33), round(4.67)
        {TrimHandle::BottomRight, 15, 12, {1, 1}, true, {10, 10, 14, 14}},  // T 7: 3.5 → 4 each
        {TrimHandle::TopLeft, 17, 16, {1, 1}, true, {16, 16, 20, 20}},      // T 7 from (20, 20)
        {TrimHandle::BottomRight, 70, 70, {1, 2}, false, start},           // row 90 is outside
        {TrimHandle::BottomRight, 500, -5, {0, 0}, true, {10, 0, 99, 10}}, // free: kept in the picture
        {TrimHandle::Left, 30, 0, {0, 0}, true, {20, 10, 20, 20}},         // stops at the right edge
        {TrimHandle::Bottom, 0, 200, {0, 0}, true, {10, 10, 20, 79}},
        {TrimHandle::Inside, -50, 200, {0, 0}, true, {0, 69, 10, 79}},     // size kept at the edges
    };
    for (const auto& c : cases) {
        TrimRect s = start;
        const TrimDrag drag{c.handle, start, 15, 15};
        EXPECT_EQ(DragTrimHandle(s, drag, c.x, c.y, c.ratio, kW, kH), c.moved) << int(c.handle);
        EXPECT_EQ(s, c.result) << int(c.handle) << " " << c.x << "," << c.y;
    }
}

// A 5 × 4 picture with the selection columns 1 … 3, rows 1 … 2 from the top: storage rows
// 1 and 2.
TEST(TrimPicture, WorkingPictureHalvesOutsideTheSelection) {
    EXPECT_EQ(HalvingTable()[255], 127);
    test::SampleImage src(5, 4, 24, 37), out(5, 4, 24, 0);
    ASSERT_TRUE(RebuildTrimPreview(MakePixelJob(src.image, out.image), {1, 1, 3, 2}));
    for (int row = 0; row < 4; ++row)
        for (size_t i = 0; i < src.image.Stride(); ++i) {
            const bool inside = (row == 1 || row == 2) && i >= 3 && i < 12;
            const uint8_t s = src.image.Row(row)[i];
            EXPECT_EQ(out.image.Row(row)[i], inside ? s : uint8_t(s >> 1)) << row << " " << i;
        }
}

TEST(TrimPicture, CutKeepsDepthPaletteAndRows) {
    for (int bits : {8, 24}) {
        test::SampleImage src(7, 5, bits);
        const TrimRect s{2, 1, 5, 3};  // 4 × 3, storage rows 1 … 3
        Image target;
        target.header.width = 4;
        target.header.height = 3;
        target.header.bitCount = uint16_t(bits);
        MemoryAllocator allocator;
        ASSERT_TRUE(allocator.Allocate(target));
        ASSERT_TRUE(TrimPixels(src.image, s, target));
        const int bytes = bits / 8;
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(0, std::memcmp(target.Row(r), src.image.Row(r + 1) + 2 * bytes, 4 * bytes)) << bits;
        if (bits == 8) {
            EXPECT_EQ(target.palette, src.image.palette);
        }
        EXPECT_EQ(TrimmedFileSize(target), int32_t(target.Stride()) * 3 + 1078);
        EXPECT_FALSE(TrimPixels(src.image, {2, 1, 7, 3}, target));  // column 7 is outside
        EXPECT_FALSE(TrimPixels(src.image, {2, 1, 5, 2}, target));  // target of another size
        allocator.Release(target);
    }
}

}  // namespace
}  // namespace pelio
