// TIFF reading and writing over files built in the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/image/codec_error.h"
#include "core/image/tiff_codec.h"
#include "tests/core/image/tiff_test_util.h"

namespace pelio {
namespace {

using test::TiffBuilder;
using T = TiffBuilder;

struct Decoded {
    MemoryAllocator allocator;
    DecodeResult result;
    bool ok = false;
    ~Decoded() {
        if (result.image.bits) allocator.Release(result.image);
    }
    // Pixel bytes at (x, y) counted from the top.
    const uint8_t* At(int x, int y) const {
        const Image& i = result.image;
        return i.Row(i.Height() - 1 - y) + x * (i.BitCount() / 8);
    }
};

void Decode(const std::vector<uint8_t>& file, Decoded& d) {
    d.ok = DecodeTiff(file, LoadOptions{}, d.allocator, d.result);
}

std::vector<uint16_t> GreyMap(int entries) {  // red, green, blue: (i, 2i, 3i) << 8
    std::vector<uint16_t> m;
    for (int c = 1; c <= 3; ++c)
        for (int i = 0; i < entries; ++i) m.push_back(static_cast<uint16_t>((i * c % 256) << 8 | 0x7F));
    return m;
}

std::vector<uint32_t> Widen(const std::vector<uint16_t>& v) { return {v.begin(), v.end()}; }

TEST(TiffReader, RefusesBadFiles) {
    auto basic = [](uint32_t w = 2, uint32_t h = 2) { return T().Basic(w, h, {8}, 1, std::vector<uint8_t>(w * h, 5)); };
    auto bytes = [](const T& b) { return b.Build(); };
    auto patched = [&](std::vector<uint8_t> f, size_t at, uint8_t v) {
        f[at] = v;
        return f;
    };
    auto without = [](std::vector<uint8_t> f, size_t keep) {
        f.resize(keep);
        return f;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int error;
    } cases[] = {
        {"byte order XX", patched(bytes(basic()), 0, 'X'), kCodecBadFile},
        {"not 42", patched(bytes(basic()), 2, 43), kCodecBadFile},
        {"too short", {'I', 'I', 42, 0}, kCodecBadFile},
        {"IFD past the end", patched(bytes(basic()), 5, 0x10), kCodecBadFile},
        {"entries past the end", without(bytes(basic()), 40), kCodecBadFile},
        {"width as ASCII", bytes(T().Field(256, T::kAscii, {2}).Field(257, T::kShort, {2})), kCodecBadFile},
        {"width 0", bytes(basic(0, 2)), kCodecBadFile},
        {"height 25001", bytes(basic(2, 25001)), kCodecUnsupported},
        {"no width", bytes(T().Field(257, T::kShort, {2}).Strips({0}, {4}).Pixels({1, 2, 3, 4})), kCodecBadFile},
        {"bits 8, 8, 16", bytes(T().Basic(1, 1, {8, 8, 16}, 2, {1, 2, 3, 4})), kCodecUnsupported},
        {"bits 4, 4, 4", bytes(T().Basic(1, 1, {4, 4, 4}, 2, {1, 2})), kCodecUnsupported},
        {"compression 5", bytes(basic().Field(259, T::kShort, {5})), kCodecUnsupported},
        {"PackBits", bytes(basic().Field(259, T::kShort, {32773})), kCodecUnsupported},
        {"strips as RATIONAL", bytes(T().Field(256, T::kShort, {1}).Field(257, T::kShort, {1}).Field(273, T::kRational, {8, 1})), kCodecBadFile},
        {"more offsets than counts", bytes(basic().Strips({0, 1}, {1})), kCodecBadFile},
        {"strip past the end", bytes(T().Basic(2, 2, {8}, 1, {}).Strips({0}, {4})), kCodecReadFailed},
        {"photometric missing", bytes(T().Field(256, T::kShort, {2}).Field(257, T::kShort, {1}).Strips({0}, {1}).Pixels({0})), kCodecReadFailed},
        {"colour map past the end", bytes(T().Basic(1, 1, {4}, 3, {0}).Field(320, T::kLong, {4000})), kCodecReadFailed},
        {"palette without a map", bytes(T().Basic(1, 1, {8}, 3, {0})), kCodecUnsupported},
        {"RGB with one bits value", bytes(T().Basic(1, 1, {8}, 2, {1, 2, 3})), kCodecUnsupported},
        {"separated", bytes(T().Basic(1, 1, {8}, 5, {1})), kCodecUnsupported},
        {"2 bits", bytes(T().Basic(4, 1, {2}, 1, {0x1B})), kCodecUnsupported},
        {"16-bit grey", bytes(T().Basic(1, 1, {16}, 1, {1, 2})), kCodecUnsupported},
        {"planes apart", bytes(T().Basic(1, 1, {8, 8, 8}, 2, {1, 2, 3}).Field(284, T::kShort, {2})), kCodecUnsupported},
        {"tiles beside strips", bytes(basic().Field(322, T::kShort, {16}).Field(323, T::kShort, {16})), kCodecUnsupported},
        {"tiles, no strips", bytes(T().Field(256, T::kShort, {1}).Field(257, T::kShort, {1}).Field(262, T::kShort, {1})), kCodecUnsupported},
    };
    for (Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        EXPECT_FALSE(d.ok) << c.what;
        EXPECT_EQ(d.result.error, c.error) << c.what;
        EXPECT_EQ(d.result.image.bits, nullptr) << c.what;
    }
}

TEST(TiffReader, PaletteAndGreyPixelsWithByteAlignedRows) {
    struct Case {
        const char* what;
        uint32_t bits, photometric, width, height;
        std::vector<uint8_t> pixels;
        std::vector<std::vector<uint8_t>> expected;  // indices, top row first
        std::vector<uint8_t> levels;                 // grey palette entries 0, 1, last
    } cases[] = {
        {"1 bit, width 10: each row starts on a byte", 1, 1, 10, 2, {0xA0, 0x40, 0x01, 0xC0},
         {{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 1, 1, 1}}, {0, 255, 255}},
        {"1 bit white is zero", 1, 0, 3, 1, {0x60}, {{0, 1, 1}}, {255, 0, 0}},
        {"4 bits, width 3", 4, 1, 3, 2, {0x12, 0x30, 0xF0, 0x10}, {{1, 2, 3}, {15, 0, 1}}, {0, 17, 255}},
        {"4 bits white is zero", 4, 0, 2, 1, {0x0F}, {{0, 15}}, {255, 238, 0}},
        {"8 bits black is zero", 8, 1, 3, 1, {9, 200, 255}, {{9, 200, 255}}, {0, 1, 255}},
        {"8 bits, no photometric tag", 8, 99, 2, 1, {4, 5}, {{4, 5}}, {}},
    };
    for (bool big : {false, true})
        for (const Case& c : cases) {
            T b(big);
            b.Field(256, T::kShort, {c.width}).Field(257, T::kLong, {c.height}).Field(258, T::kShort, {c.bits});
            if (c.photometric != 99) b.Field(262, T::kShort, {c.photometric});
            b.Strips({0}, {uint32_t(c.pixels.size())}).Pixels(c.pixels);
            Decoded d;
            Decode(b.Build(), d);
            if (c.photometric == 99) {  // no palette can be made
                EXPECT_EQ(d.result.error, kCodecReadFailed) << c.what;
                continue;
            }
            ASSERT_TRUE(d.ok) << c.what << " " << d.result.error;
            EXPECT_EQ(d.result.image.BitCount(), 8) << c.what;
            EXPECT_EQ(d.result.image.sourceBits, int(c.bits)) << c.what;
            for (uint32_t y = 0; y < c.height; ++y)
                for (uint32_t x = 0; x < c.width; ++x)
                    EXPECT_EQ(*d.At(x, y), c.expected[y][x]) << c.what << " big " << big << " at " << x << "," << y;
            const auto& p = d.result.image.palette;
            const int last = (1 << c.bits) - 1;
            EXPECT_EQ(p[0], (PaletteEntry{c.levels[0], c.levels[0], c.levels[0], 0})) << c.what;
            EXPECT_EQ(p[1], (PaletteEntry{c.levels[1], c.levels[1], c.levels[1], 0})) << c.what;
            EXPECT_EQ(p[last], (PaletteEntry{c.levels[2], c.levels[2], c.levels[2], 0})) << c.what;
        }
}

TEST(TiffReader, ColourMapGivesThePalette) {
    for (bool big : {false, true}) {
        const auto map = GreyMap(16);
        Decoded d;
        Decode(T(big).Basic(2, 1, {4}, 3, {0x3E}).Field(320, T::kShort, Widen(map)).Build(), d);
        ASSERT_TRUE(d.ok) << d.result.error;
        EXPECT_EQ(*d.At(0, 0), 3);
        EXPECT_EQ(*d.At(1, 0), 14);
        EXPECT_EQ(d.result.image.palette[3], (PaletteEntry{9, 6, 3, 0}));
        EXPECT_EQ(d.result.image.palette[14], (PaletteEntry{42, 28, 14, 0}));
        EXPECT_EQ(d.result.image.palette[16], PaletteEntry{});
    }
}

TEST(TiffReader, RgbSamplesInEitherByteOrder) {
    // 16-bit samples: the high byte counts, whatever the file's order.
    const uint16_t samples[2][3] = {{0x12FF, 0x3400, 0xAB01}, {0xFFFF, 0x0000, 0x8080}};
    std::vector<std::vector<uint8_t>> images;
    for (bool big : {false, true}) {
        std::vector<uint8_t> pixels;
        for (const auto& px : samples)
            for (uint16_t s : px) {
                if (big) pixels.insert(pixels.end(), {uint8_t(s >> 8), uint8_t(s)});
                else pixels.insert(pixels.end(), {uint8_t(s), uint8_t(s >> 8)});
            }
        Decoded d;
        Decode(T(big).Basic(1, 2, {16, 16, 16}, 2, pixels).Build(), d);
        ASSERT_TRUE(d.ok) << big;
        EXPECT_EQ(d.result.image.BitCount(), 24);
        EXPECT_EQ(d.result.image.sourceBits, 48);
        const uint8_t* top = d.At(0, 0);
        EXPECT_EQ(std::vector<uint8_t>(top, top + 3), (std::vector<uint8_t>{0xAB, 0x34, 0x12})) << big;
        images.emplace_back(d.result.image.bits, d.result.image.bits + d.result.image.PixelBytes());
    }
    EXPECT_EQ(images[0], images[1]);
    Decoded d8;
    Decode(T(true).Basic(2, 1, {8, 8, 8}, 2, {1, 2, 3, 4, 5, 6}).Build(), d8);
    ASSERT_TRUE(d8.ok);
    EXPECT_EQ(std::vector<uint8_t>(d8.At(0, 0), d8.At(0, 0) + 6), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
}

// 8-bit red, green, blue to blue, green, red at widths around the five-pixel runs, and a
// last row cut short mid-pixel.
TEST(TiffReader, EightBitRgbRowsAtEveryWidth) {
    for (uint32_t width = 1; width <= 17; ++width) {
        std::vector<uint8_t> pixels(size_t(width) * 2 * 3);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + 1);
        const size_t cut = width * 3 + width / 2 * 3 + 1;  // the second row's first half and a byte
        std::vector<uint8_t> file = T().Basic(width, 2, {8, 8, 8}, 2, std::vector<uint8_t>(pixels.begin(), pixels.begin() + cut)).Build();
        Decoded d;
        Decode(file, d);
        ASSERT_TRUE(d.ok) << width;
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const size_t at = (size_t(y) * width + x) * 3;
                const bool stored = at + 3 <= cut;
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(d.At(int(x), int(y))[c], stored ? pixels[at + 2 - c] : 0)
                        << "width " << width << " at " << x << "," << y << " channel " << c;
            }
    }
}

TEST(TiffReader, StripsJoinAndShortDataLeavesZeros) {
    struct Case {
        const char* what;
        std::vector<uint32_t> starts, counts;
        uint16_t type;
        std::vector<uint8_t> expected;  // 3 x 2, top row first
    } cases[] = {
        {"two strips in reverse order", {3, 0}, {3, 3}, T::kLong, {4, 5, 6, 1, 2, 3}},
        {"SHORT pair held inline", {3, 0}, {3, 3}, T::kShort, {4, 5, 6, 1, 2, 3}},
        {"three SHORT strips", {0, 2, 4}, {2, 2, 2}, T::kShort, {1, 2, 3, 4, 5, 6}},
        {"half a picture", {0}, {4}, T::kLong, {1, 2, 3, 4, 0, 0}},
        {"more data than needed", {0}, {6}, T::kLong, {1, 2, 3, 4, 5, 6}},
        {"empty strip", {0}, {0}, T::kLong, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        T b;
        b.Field(256, T::kShort, {3}).Field(257, T::kShort, {2}).Field(258, T::kShort, {8}).Field(262, T::kShort, {1});
        b.Strips(c.starts, c.counts, c.type).Pixels({1, 2, 3, 4, 5, 6, 7});
        Decoded d;
        Decode(b.Build(), d);
        ASSERT_TRUE(d.ok) << c.what << " " << d.result.error;
        for (int i = 0; i < 6; ++i) EXPECT_EQ(*d.At(i % 3, i / 3), c.expected[i]) << c.what << " pixel " << i;
    }
}

TEST(TiffReader, ResolutionAndDescription) {
    struct Case {
        const char* what;
        std::vector<uint32_t> x, y;
        int unit;  // 0: tag absent
        int32_t xExpected, yExpected;
    } cases[] = {
        {"inch by default", {300, 1}, {150, 1}, 0, 11811, 5906},
        {"centimetre", {118, 1}, {5, 2}, 3, 11800, 250},
        {"no unit", {300, 1}, {300, 1}, 1, 0, 0},
        {"zero denominator", {300, 0}, {300, 1}, 2, 0, 11811},
        {"huge", {0xFFFFFFFF, 1}, {1, 1}, 2, INT32_MAX, 39},
    };
    for (const Case& c : cases) {
        T b = T().Basic(1, 1, {8}, 1, {0});
        b.Field(282, T::kRational, c.x).Field(283, T::kRational, c.y).Field(270, T::kAscii, {'a', 'b', 'c', 'd', 0});
        if (c.unit) b.Field(296, T::kShort, {uint32_t(c.unit)});
        Decoded d;
        Decode(b.Build(), d);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.result.image.header.xPelsPerMeter, c.xExpected) << c.what;
        EXPECT_EQ(d.result.image.header.yPelsPerMeter, c.yExpected) << c.what;
        EXPECT_EQ(d.result.info.comment, 1) << c.what;
        EXPECT_EQ(d.result.image.format, ImageFormat::Tiff);
    }
}

TEST(TiffReader, FirstPageOnly) {
    auto file = T().Basic(1, 1, {8}, 1, {7}).Build();
    // A second IFD after the first, claiming another size.
    const auto second = T().Basic(5, 5, {8}, 1, std::vector<uint8_t>(25, 1)).Build();
    const size_t nextAt = 8 + 2 + 12 * 7;  // the first IFD's next-IFD field
    const uint32_t at = static_cast<uint32_t>(file.size());
    PutU32LE(&file[nextAt], at + 8);
    file.insert(file.end(), second.begin(), second.end());
    Decoded d;
    Decode(file, d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.result.image.Width(), 1);
    EXPECT_EQ(*d.At(0, 0), 7);
}

// ---- Writer ----

uint32_t U32At(const std::vector<uint8_t>& f, size_t at) { return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24; }
uint16_t U16At(const std::vector<uint8_t>& f, size_t at) { return uint16_t(f[at] | f[at + 1] << 8); }

// The value field of `tag` in the first IFD, or -1.
int64_t TagValue(const std::vector<uint8_t>& f, uint16_t tag) {
    const int count = U16At(f, 8);
    for (int i = 0; i < count; ++i) {
        const size_t at = 10 + 12 * size_t(i);
        if (U16At(f, at) == tag) return U16At(f, at + 2) == 3 && U32At(f, at + 4) == 1 ? U16At(f, at + 8) : U32At(f, at + 8);
    }
    return -1;
}

struct TestImage {
    MemoryAllocator allocator;
    Image image;
    TestImage(int w, int h, int bits) {
        image.header.width = w;
        image.header.height = h;
        image.header.bitCount = uint16_t(bits);
        image.header.xPelsPerMeter = 11811;
        image.header.yPelsPerMeter = 3937;
        for (int i = 0; i < 256; ++i) image.palette[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
        allocator.Allocate(image);
        for (int y = 0; y < h; ++y)
            for (size_t x = 0; x < image.Stride(); ++x) image.Row(y)[x] = uint8_t(x * 37 + y * 11);
    }
    ~TestImage() { allocator.Release(image); }
};

std::vector<uint8_t> Encode(const Image& image, int depth, bool grey = false) {
    SaveOptions options;
    options.settings.depth = depth;
    options.settings.gray = grey;
    options.settings.dither = 3;
    VectorSink sink;
    int error = 0;
    EXPECT_TRUE(EncodeTiff(image, options, sink, error)) << depth;
    return sink.bytes;
}

TEST(TiffWriter, LayoutsAndOffsets) {
    struct Case {
        const char* what;
        int depth;
        bool grey;
        int entries, photometric;
        uint32_t xRes, yRes, pixels, pixelBytes;  // for a 5 x 3 picture
    } cases[] = {
        {"bilevel", 1, false, 11, 1, 146, 154, 162, 3},
        {"grey", 8, true, 11, 1, 146, 154, 162, 15},
        {"RGB", 24, false, 12, 2, 164, 172, 180, 45},
        {"16 colours", 4, false, 12, 3, 158, 166, 174 + 96, 9},
        {"256 colours", 8, false, 12, 3, 158, 166, 174 + 1536, 15},
    };
    TestImage source(5, 3, 24);
    for (const Case& c : cases) {
        const auto f = Encode(source.image, c.depth, c.grey);
        ASSERT_GT(f.size(), 20u) << c.what;
        EXPECT_EQ(std::string(f.begin(), f.begin() + 4), std::string("II*\0", 4)) << c.what;
        EXPECT_EQ(U32At(f, 4), 8u);
        EXPECT_EQ(U16At(f, 8), c.entries) << c.what;
        EXPECT_EQ(U32At(f, 10 + 12 * c.entries), 0u) << c.what << ": one IFD";
        EXPECT_EQ(TagValue(f, 262), c.photometric) << c.what;
        EXPECT_EQ(TagValue(f, 282), c.xRes) << c.what;
        EXPECT_EQ(TagValue(f, 283), c.yRes) << c.what;
        EXPECT_EQ(TagValue(f, 273), c.pixels) << c.what;
        EXPECT_EQ(TagValue(f, 279), c.pixelBytes) << c.what;
        EXPECT_EQ(TagValue(f, 278), 3) << c.what;
        EXPECT_EQ(TagValue(f, 296), 2) << c.what;
        EXPECT_EQ(f.size(), c.pixels + c.pixelBytes) << c.what;
        EXPECT_EQ(U32At(f, c.xRes), 2999994u) << c.what << ": 300 dpi";
        EXPECT_EQ(U32At(f, c.xRes + 4), 10000u);
        EXPECT_EQ(U32At(f, c.yRes), 999998u) << c.what;
        if (c.depth == 24) {
            EXPECT_EQ(TagValue(f, 258), 158);
            EXPECT_EQ(std::vector<uint8_t>(f.begin() + 158, f.begin() + 164), (std::vector<uint8_t>{8, 0, 8, 0, 8, 0}));
            EXPECT_EQ(TagValue(f, 277), 3);
        }
        if (c.photometric == 3) {
            EXPECT_EQ(TagValue(f, 320), 174) << c.what;
        }
    }
    SaveOptions options;
    options.settings.depth = 16;
    VectorSink sink;
    int error = 0;
    EXPECT_FALSE(EncodeTiff(source.image, options, sink, error));
    EXPECT_EQ(error, kCodecCreateFailed);
}

TEST(TiffWriter, ReadsBackAtEveryWidth) {
    for (int width = 1; width <= 17; ++width) {
        struct Case {
            int depth;
            bool grey;
            int sourceBits;
        } cases[] = {{1, false, 8}, {4, false, 8}, {8, false, 8}, {8, true, 8}, {24, false, 24}, {24, false, 8}};
        for (const Case& c : cases) {
            TestImage source(width, 3, c.sourceBits);
            // Few colours, so the palette layouts keep them exactly.
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width * c.sourceBits / 8; ++x) source.image.Row(y)[x] = uint8_t((x * 5 + y) % 2 ? 255 : 0);
            source.image.palette[0] = PaletteEntry{0, 0, 0, 0};
            source.image.palette[255] = PaletteEntry{255, 255, 255, 0};
            Decoded d;
            Decode(Encode(source.image, c.depth, c.grey), d);
            ASSERT_TRUE(d.ok) << width << " depth " << c.depth;
            EXPECT_EQ(d.result.image.sourceBits, c.depth == 24 ? 24 : c.depth);
            EXPECT_EQ(d.result.image.header.xPelsPerMeter, 11811);
            auto colour = [](const Image& i, int x, int y) {
                if (i.BitCount() == 24) {
                    const uint8_t* p = i.Row(y) + 3 * x;
                    return PaletteEntry{p[0], p[1], p[2], 0};
                }
                return i.palette[i.Row(y)[x]];
            };
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(colour(d.result.image, x, y), colour(source.image, x, y))
                        << "width " << width << " depth " << c.depth << " grey " << c.grey << " at " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace pelio
