// Pictures and texts from image plug-ins: the header checks, the block limits, the patterns
// and the description of one plug-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/image/byte_io.h"
#include "core/image/plugin_bitmap.h"

namespace pelio {
namespace {

// A bitmap information block: the 40-byte header and `entries` palette entries.
std::vector<uint8_t> Info(int32_t width, int32_t height, int bits, uint32_t compression = 0, int entries = 0) {
    std::vector<uint8_t> info(40 + 4 * size_t(entries), 0);
    PutU32LE(info.data(), 40);
    PutU32LE(info.data() + 4, static_cast<uint32_t>(width));
    PutU32LE(info.data() + 8, static_cast<uint32_t>(height));
    info[12] = 1;
    info[14] = static_cast<uint8_t>(bits);
    PutU32LE(info.data() + 16, compression);
    for (int i = 0; i < entries; ++i) info[40 + 4 * size_t(i) + 2] = static_cast<uint8_t>(i * 10);  // red
    return info;
}

TEST(PluginBitmap, RefusesWhatTheHostCannotShow) {
    const std::vector<uint8_t> pixels(4096, 7);
    struct Case {
        std::vector<uint8_t> info;
        const char* why;
    } cases[] = {
        {Info(4, -4, 24), "top-down"},
        {Info(0, 4, 24), "no width"},
        {Info(25001, 1, 24), "too wide"},
        {Info(4, 4, 24, 1), "compressed"},
        {Info(4, 4, 32), "32 bits"},
        {Info(4, 4, 16), "16 bits"},
        {std::vector<uint8_t>(39, 0), "short header"},
    };
    for (const Case& c : cases) {
        MemoryAllocator allocator;
        Image image;
        int bits = 0;
        EXPECT_FALSE(DecodePluginBitmap(c.info, pixels, allocator, image, bits)) << c.why;
        EXPECT_EQ(image.bits, nullptr) << c.why;
    }
}

// Pixels beyond the block are zero; a longer block is cut at the picture's rows; 4 bits
// become 8 with the palette kept.
TEST(PluginBitmap, CopiesWithinBothBlocks) {
    MemoryAllocator allocator;
    Image image;
    int bits = 0;
    const std::vector<uint8_t> some(20, 9);  // two of the three 12-byte rows of 3 × 3 × 24 bits
    ASSERT_TRUE(DecodePluginBitmap(Info(3, 3, 24), some, allocator, image, bits));
    EXPECT_EQ(bits, 24);
    EXPECT_EQ(image.format, ImageFormat::Unknown);
    EXPECT_EQ(image.Row(1)[7], 9);
    EXPECT_EQ(image.Row(1)[8], 0);
    EXPECT_EQ(image.Row(2)[0], 0);
    allocator.Release(image);

    const std::vector<uint8_t> nibbles(64, 0x21);  // pixels 2, 1, 2, 1, … in rows of 4 bytes
    ASSERT_TRUE(DecodePluginBitmap(Info(3, 2, 4, 0, 16), nibbles, allocator, image, bits));
    EXPECT_EQ(bits, 4);
    EXPECT_EQ(image.BitCount(), 8);
    const PaletteEntry& p = image.palette[image.Row(0)[0]];
    EXPECT_EQ(p.red, 20);
    EXPECT_EQ(image.palette[image.Row(0)[1]].red, 10);
    allocator.Release(image);
}

TEST(PluginBitmap, PatternsLeaveOutBuiltInsAndRepeats) {
    std::vector<std::wstring> list;
    AddPluginPatterns(L"*.JPG;*.WebP;*.jpeg;*.tiff;*.abc", list);
    AddPluginPatterns(L"*.webp;;*.Xyz", list);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"*.webp", L"*.abc", L"*.xyz"}));
    std::wstring many;
    for (int i = 0; i < 150; ++i) many += L"*.e" + std::to_wstring(i) + L";";
    AddPluginPatterns(many, list);
    EXPECT_EQ(list.size(), kPluginListLimit);
    EXPECT_EQ(list.back(), L"*.e96");
}

TEST(PluginBitmap, DescriptionJoinsPairsBelow260Characters) {
    EXPECT_EQ(DescribePlugin({L"*.a", L""}).patterns, L"");
    const PluginDescription d = DescribePlugin({L"*.a", L"A", L"*.b", L"B", L"*.c"});
    EXPECT_EQ(d.patterns, L"*.a;*.b");
    EXPECT_EQ(d.descriptions, L"A/B");
    const std::wstring long1(200, L'x'), long2(60, L'y');
    const PluginDescription cut = DescribePlugin({L"*.a", long1, L"*.b", long2, L"*.c", L"C"});
    EXPECT_EQ(cut.descriptions, long1);  // 200 + 1 + 60 would reach 261
    EXPECT_EQ(cut.patterns, L"*.a");
}

}  // namespace
}  // namespace pelio
