// BMP reading, writing and the clipboard layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/image/bmp_codec.h"
#include "core/image/codec_error.h"
#include "tests/core/image/bmp_test_util.h"

namespace pelio {
namespace {

using test::BmpSpec;
using test::MakeBmp;
using test::PushU32;

struct Decoded {
    MemoryAllocator allocator;
    DecodeResult result;
    bool ok = false;
    ~Decoded() {
        if (result.image.bits) allocator.Release(result.image);
    }
    const uint8_t* Pixel(int x, int y) const {
        return result.image.Row(y) + x * (result.image.BitCount() / 8);
    }
};

void Decode(const std::vector<uint8_t>& file, Decoded& d) {
    d.ok = DecodeBmp(file, LoadOptions{}, d.allocator, d.result);
}

// Refuses every allocation but records what was asked.
struct RefusingAllocator final : PixelAllocator {
    size_t asked = 0;
    bool Allocate(Image& image) override {
        asked = image.PixelBytes();
        return false;
    }
    void Release(Image&) override {}
};

TEST(BmpReader, SizeBitCountAndCompressionChecks) {
    struct Case {
        const char* what;
        int32_t w, h;
        uint16_t bits;
        uint32_t compression;
        int error;  // 1: passed the checks (the refusing allocator answered)
    } cases[] = {
        {"25000 square accepted", 25000, 25000, 24, 0, kCodecNoMemory},
        {"width 25001", 25001, 1, 24, 0, kCodecUnsupported},
        {"height 25001", 1, 25001, 24, 0, kCodecUnsupported},
        {"width 0", 0, 1, 24, 0, kCodecUnsupported},
        {"top-down", 4, -2, 24, 0, kCodecUnsupported},
        {"RLE8", 4, 2, 8, 1, kCodecUnsupported},
        {"RLE4", 4, 2, 4, 2, kCodecUnsupported},
        {"1-bit bitfields", 4, 2, 1, 3, kCodecUnsupported},
        {"24-bit bitfields", 4, 2, 24, 3, kCodecUnsupported},
        {"16-bit bitfields", 4, 2, 16, 3, kCodecNoMemory},
        {"32-bit plain", 4, 2, 32, 0, kCodecNoMemory},
        {"2 bits", 4, 2, 2, 0, kCodecUnsupported},
        {"0 bits", 4, 2, 0, 0, kCodecUnsupported},
        {"48 bits", 4, 2, 48, 0, kCodecUnsupported},
        {"JPEG inside", 4, 2, 24, 4, kCodecUnsupported},
    };
    for (const Case& c : cases) {
        BmpSpec s;
        s.width = c.w;
        s.height = c.h;
        s.bitCount = c.bits;
        s.compression = c.compression;
        s.pixels = {0};
        RefusingAllocator allocator;
        DecodeResult result;
        EXPECT_FALSE(DecodeBmp(MakeBmp(s), LoadOptions{}, allocator, result)) << c.what;
        EXPECT_EQ(result.error, c.error) << c.what;
    }
}

TEST(BmpReader, TwentyFourBitsAsStored) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    s.xRes = 3780;
    Decoded d;
    Decode(MakeBmp(s), d);
    ASSERT_TRUE(d.ok);
    const Image& img = d.result.image;
    EXPECT_EQ(img.BitCount(), 24);
    EXPECT_EQ(img.format, ImageFormat::Bmp);
    EXPECT_EQ(img.sourceBits, 24);
    EXPECT_EQ(img.header.xPelsPerMeter, 3780);
    EXPECT_EQ(img.fileSize, 54 + 24);
    EXPECT_EQ(std::vector<uint8_t>(img.bits, img.bits + 24), s.pixels);
}

TEST(BmpReader, SixteenAndThirtyTwoBitMasks) {
    auto sixteen = [](uint32_t compression, std::vector<uint8_t> masks, uint16_t v) {
        BmpSpec s;
        s.width = 1;
        s.height = 1;
        s.bitCount = 16;
        s.compression = compression;
        s.extra = masks;
        s.pixels = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), 0, 0};
        return MakeBmp(s);
    };
    std::vector<uint8_t> m565;
    PushU32(m565, 0xF800);
    PushU32(m565, 0x07E0);
    PushU32(m565, 0x001F);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        uint8_t b, g, r;
    } cases[] = {
        {"555 white", sixteen(0, {}, 0x7FFF), 255, 255, 255},
        {"555 red 31", sixteen(0, {}, 0x7C00), 0, 0, 255},
        {"555 mid", sixteen(0, {}, (16 << 10) | (8 << 5) | 1), 8, 65, 131},
        {"565 green 63", sixteen(3, m565, 0x07E0), 0, 255, 0},
        {"565 blue 31", sixteen(3, m565, 0x001F), 255, 0, 0},
        {"565 mid", sixteen(3, m565, (10 << 11) | (32 << 5) | 3), 24, 129, 82},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.result.image.BitCount(), 24) << c.what;
        EXPECT_EQ(d.result.image.sourceBits, 16) << c.what;
        const uint8_t* p = d.Pixel(0, 0);
        EXPECT_EQ(p[0], c.b) << c.what;
        EXPECT_EQ(p[1], c.g) << c.what;
        EXPECT_EQ(p[2], c.r) << c.what;
    }

    // 32 bits: plain masks, rows of exactly width × 4 bytes.
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.bitCount = 32;
    s.pixels = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
    Decoded d;
    Decode(MakeBmp(s), d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(std::vector<uint8_t>(d.Pixel(0, 0), d.Pixel(0, 0) + 6),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(std::vector<uint8_t>(d.Pixel(0, 1), d.Pixel(0, 1) + 6),
              (std::vector<uint8_t>{7, 8, 9, 10, 11, 12}));

    // A zero mask leaves no field to scale: the conversion fails.
    std::vector<uint8_t> zero;
    PushU32(zero, 0xF800);
    PushU32(zero, 0);
    PushU32(zero, 0x001F);
    Decoded bad;
    Decode(sixteen(3, zero, 1), bad);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.result.error, kCodecReadFailed);
}

TEST(BmpReader, SixteenBitRowsArePaddedToEvenPixelCounts) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 16;
    // Row 0: three pixels plus one pixel of padding; row 1 starts 8 bytes in.
    s.pixels = {0x1F, 0, 0, 0, 0, 0, 0xAA, 0xAA, 0, 0x7C, 0, 0, 0, 0, 0xAA, 0xAA};
    Decoded d;
    Decode(MakeBmp(s), d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.Pixel(0, 0)[0], 255);  // blue
    EXPECT_EQ(d.Pixel(0, 1)[2], 255);  // red
}

TEST(BmpReader, PaletteDepthsBecomeEightBits) {
    // 1 bit, colours used 0: an 8-byte palette; width 10 crosses a byte boundary.
    BmpSpec s;
    s.width = 10;
    s.height = 1;
    s.bitCount = 1;
    s.extra = {10, 20, 30, 0, 40, 50, 60, 0};
    s.pixels = {0xA5, 0xC0, 0, 0};
    Decoded d;
    Decode(MakeBmp(s), d);
    ASSERT_TRUE(d.ok);
    const Image& img = d.result.image;
    EXPECT_EQ(img.BitCount(), 8);
    EXPECT_EQ(img.sourceBits, 1);
    EXPECT_EQ(std::vector<uint8_t>(img.bits, img.bits + 10),
              (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1, 1, 1}));
    EXPECT_EQ(img.palette[0], (PaletteEntry{10, 20, 30, 0}));
    EXPECT_EQ(img.palette[1], (PaletteEntry{40, 50, 60, 0}));

    // 4 bits with three colours used.
    BmpSpec f;
    f.width = 3;
    f.height = 1;
    f.bitCount = 4;
    f.clrUsed = 3;
    f.extra = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    f.pixels = {0x12, 0x00, 0, 0};
    Decoded d4;
    Decode(MakeBmp(f), d4);
    ASSERT_TRUE(d4.ok);
    EXPECT_EQ(std::vector<uint8_t>(d4.result.image.bits, d4.result.image.bits + 3),
              (std::vector<uint8_t>{1, 2, 0}));
    EXPECT_EQ(d4.result.image.palette[2], (PaletteEntry{3, 3, 3, 0}));
}

TEST(BmpReader, HostileAndShortFilesStayInBounds) {
    // Colours used far beyond 256: only 256 entries are kept.
    BmpSpec big;
    big.width = 2;
    big.height = 1;
    big.bitCount = 8;
    big.clrUsed = 100000;
    big.extra.assign(1024, 7);
    big.pixels = {0, 255, 0, 0};
    Decoded d1;
    Decode(MakeBmp(big), d1);
    ASSERT_TRUE(d1.ok);
    EXPECT_EQ(d1.result.image.palette[255], (PaletteEntry{7, 7, 7, 0}));

    // Pixel data cut short: what is there is kept, the rest stays zero.
    BmpSpec cut;
    cut.width = 2;
    cut.height = 2;
    cut.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 9};
    Decoded d2;
    Decode(MakeBmp(cut), d2);
    ASSERT_TRUE(d2.ok);
    EXPECT_EQ(d2.Pixel(0, 1)[0], 9);
    EXPECT_EQ(d2.Pixel(0, 1)[1], 0);

    // A file cut inside the header, an empty file.
    std::vector<uint8_t> file = MakeBmp(BmpSpec{});
    for (size_t n : {size_t{0}, size_t{2}, size_t{20}, size_t{53}}) {
        Decoded d;
        Decode(std::vector<uint8_t>(file.begin(), file.begin() + n), d);
        EXPECT_FALSE(d.ok) << n;
        EXPECT_EQ(d.result.error, kCodecReadFailed) << n;
    }
    // 16-bit data shorter than the picture.
    BmpSpec s16;
    s16.width = 4;
    s16.height = 4;
    s16.bitCount = 16;
    s16.pixels = {0xFF, 0x7F, 0xFF};
    Decoded d4;
    Decode(MakeBmp(s16), d4);
    ASSERT_TRUE(d4.ok);
    EXPECT_EQ(d4.Pixel(0, 0)[0], 255);
    EXPECT_EQ(d4.Pixel(1, 0)[0], 0);
}

// Records what the decoder asks for and gives it.
struct CountingAllocator final : PixelAllocator {
    MemoryAllocator memory;
    size_t asked = 0;
    bool Allocate(Image& image) override {
        asked += image.PixelBytes();
        return memory.Allocate(image);
    }
    void Release(Image& image) override { memory.Release(image); }
};

// Without a byte at the pixel offset there is no picture, whatever the header claims, and no
// memory is reserved for one; a single byte there is a file cut inside its rows.
TEST(BmpReader, NoPixelDataIsAReadError) {
    struct Case {
        int32_t side;
        uint16_t bits;
        uint32_t compression;
        uint32_t offsetPastEnd;  // pixel offset minus file size
        size_t pixelBytes;
    } cases[] = {
        {25000, 24, 0, 0, 0}, {25000, 24, 0, 6, 0},   {25000, 8, 0, 0, 0},  {25000, 1, 0, 0, 0},
        {25000, 4, 0, 0, 0},  {25000, 32, 3, 0, 0},   {25000, 16, 0, 0, 0}, {1, 24, 0, 0, 0},
        {300, 24, 0, 0xFFFFFF00u, 0}, {100, 24, 0, 0, 1}, {100, 8, 0, 0, 1},
    };
    for (const Case& c : cases) {
        BmpSpec s;
        s.width = s.height = c.side;
        s.bitCount = c.bits;
        s.compression = c.compression;
        if (c.compression == 3) {
            PushU32(s.extra, 0xFF0000);
            PushU32(s.extra, 0xFF00);
            PushU32(s.extra, 0xFF);
        }
        if (c.bits <= 8) s.extra.resize(s.extra.size() + (4u << c.bits), 0x40);
        s.pixels.assign(c.pixelBytes, 0x80);
        std::vector<uint8_t> file = MakeBmp(s);
        PutU32LE(&file[10], static_cast<uint32_t>(file.size() - c.pixelBytes + c.offsetPastEnd));
        CountingAllocator allocator;
        DecodeResult result;
        const bool ok = DecodeBmp(file, LoadOptions{}, allocator, result);
        const std::string what = std::to_string(c.side) + " at " + std::to_string(c.bits) + " bits, " +
                                 std::to_string(file.size()) + " bytes";
        if (c.pixelBytes > 0) {
            ASSERT_TRUE(ok) << what;
            EXPECT_EQ(result.image.bits[0], 0x80) << what;
            allocator.Release(result.image);
            continue;
        }
        EXPECT_FALSE(ok) << what;
        EXPECT_EQ(result.error, kCodecReadFailed) << what;
        EXPECT_EQ(allocator.asked, 0u) << what;
    }
}

TEST(BmpReader, PaletteFollowsALargerInformationHeader) {
    // A 124-byte header: the palette starts after it, not after the first 40 bytes.
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.clrUsed = 2;
    s.headerSize = 124;
    s.extra = {0, 0, 255, 0, 0, 255, 0, 0};
    s.pixels = {0, 1, 0, 0};
    Decoded d;
    Decode(MakeBmp(s), d);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.result.image.palette[0], (PaletteEntry{0, 0, 255, 0}));
    EXPECT_EQ(d.result.image.palette[1], (PaletteEntry{0, 255, 0, 0}));
}

// One 5 × 2 picture behind an information header of `headerSize` bytes: the 12-byte header
// has 16-bit sizes and 3-byte palette entries, the others the 40-byte layout as far as they
// reach and 4-byte entries.
std::vector<uint8_t> WithHeader(uint32_t headerSize, uint16_t bits, uint32_t compression = 0) {
    const bool core = headerSize == 12;
    std::vector<uint8_t> file(14 + std::max<uint32_t>(headerSize, 40), 0);
    file[0] = 'B';
    file[1] = 'M';
    uint8_t* h = &file[14];
    PutU32LE(h, headerSize);
    if (core) {
        PutU16LE(h + 4, 5);
        PutU16LE(h + 6, 2);
        PutU16LE(h + 8, 1);
        PutU16LE(h + 10, bits);
    } else {
        PutU32LE(h + 4, 5);
        PutU32LE(h + 8, 2);
        PutU16LE(h + 12, 1);
        PutU16LE(h + 14, bits);
        PutU32LE(h + 16, compression);
    }
    file.resize(14 + headerSize);
    for (int i = 0; bits <= 8 && i < (1 << bits); ++i) {
        file.insert(file.end(), {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i ^ 0x5A)});
        if (!core) file.push_back(0);
    }
    PutU32LE(&file[10], static_cast<uint32_t>(file.size()));
    const size_t stride = RowStride(5, bits);
    for (size_t y = 0; y < 2; ++y)
        for (size_t i = 0; i < stride; ++i) file.push_back(static_cast<uint8_t>(bits == 1 ? 0xA8 >> y : 17 * y + i + 1));
    return file;
}

// Blue, green, red of each pixel of a decoded picture.
std::vector<uint8_t> Colours(const Image& image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            if (image.BitCount() == 8) {
                const PaletteEntry& e = image.palette[image.Row(y)[x]];
                out.insert(out.end(), {e.blue, e.green, e.red});
            } else {
                out.insert(out.end(), image.Row(y) + 3 * x, image.Row(y) + 3 * x + 3);
            }
        }
    return out;
}

// Every header size shows the picture of the 40-byte header in its colours; an OS/2 header's
// compression 3 is not bit fields and is refused.
TEST(BmpReader, HeaderSizesPlaceFieldsAndPalette) {
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        Decoded reference;
        Decode(WithHeader(40, bits), reference);
        ASSERT_TRUE(reference.ok) << bits;
        const std::vector<uint8_t> expected = Colours(reference.result.image);
        for (uint32_t size : {12, 16, 20, 52, 56, 64, 108, 124}) {
            if (size == 12 && bits > 8 && bits != 24) continue;
            Decoded d;
            Decode(WithHeader(size, bits), d);
            ASSERT_TRUE(d.ok) << size << " " << bits;
            EXPECT_EQ(d.result.image.Width(), 5);
            EXPECT_EQ(d.result.image.sourceBits, bits);
            EXPECT_EQ(Colours(d.result.image), expected) << "header " << size << ", " << bits << " bits";
        }
    }
    for (uint32_t size : {20, 64}) {
        Decoded d;
        Decode(WithHeader(size, 16, 3), d);
        EXPECT_FALSE(d.ok) << size;
        EXPECT_EQ(d.result.error, kCodecUnsupported) << size;
    }
    const std::vector<uint8_t> core = WithHeader(12, 8);
    Decoded cut;
    Decode(std::vector<uint8_t>(core.begin(), core.begin() + 24), cut);
    EXPECT_EQ(cut.result.error, kCodecReadFailed);
}

TEST(BmpPacked, ReadsClipboardLayouts) {
    // 8 bits, colours used 0: 1024 palette bytes, then the pixels.
    BmpSpec s;
    s.packed = true;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.extra.assign(1024, 0);
    s.extra[4] = 200;  // entry 1 blue
    s.pixels = {1, 0, 0, 0};
    MemoryAllocator allocator;
    Image image;
    ASSERT_TRUE(DecodePackedBitmap(MakeBmp(s), allocator, image));
    EXPECT_EQ(image.format, ImageFormat::Bmp);
    EXPECT_EQ(image.sourceBits, 8);
    EXPECT_EQ(image.fileSize, 54 + 1024 + 4);
    EXPECT_EQ(image.palette[1].blue, 200);
    EXPECT_EQ(image.bits[0], 1);
    allocator.Release(image);

    // 16 bits with masks after the header.
    BmpSpec m;
    m.packed = true;
    m.width = 1;
    m.height = 1;
    m.bitCount = 16;
    m.compression = 3;
    PushU32(m.extra, 0xF800);
    PushU32(m.extra, 0x07E0);
    PushU32(m.extra, 0x001F);
    m.pixels = {0xE0, 0x07, 0, 0};
    ASSERT_TRUE(DecodePackedBitmap(MakeBmp(m), allocator, image));
    EXPECT_EQ(image.bits[1], 255);
    EXPECT_EQ(image.fileSize, 54 + 4);
    allocator.Release(image);

    // Refusals: too little data, a bad size.
    const std::vector<uint8_t> full = MakeBmp(s);
    const std::vector<uint8_t> shortOne(full.begin(), full.end() - 1);
    EXPECT_FALSE(DecodePackedBitmap(shortOne, allocator, image));
    BmpSpec wide = s;
    wide.width = 25001;
    EXPECT_FALSE(DecodePackedBitmap(MakeBmp(wide), allocator, image));
    EXPECT_FALSE(DecodePackedBitmap({}, allocator, image));
}

// An image in plain memory for the writer tests.
struct TestImage {
    MemoryAllocator allocator;
    Image image;
    TestImage(int w, int h, int bits) {
        image.header.width = w;
        image.header.height = h;
        image.header.bitCount = static_cast<uint16_t>(bits);
        image.header.xPelsPerMeter = 3780;
        image.header.yPelsPerMeter = 2835;
        allocator.Allocate(image);
    }
    ~TestImage() { allocator.Release(image); }
};

std::vector<uint8_t> Encode(const Image& image, int depth, int dither = 0) {
    SaveOptions options;
    options.settings.depth = depth;
    options.settings.dither = dither;
    VectorSink sink;
    int error = 0;
    EXPECT_TRUE(EncodeBmp(image, options, sink, error));
    EXPECT_EQ(error, 0);
    return sink.bytes;
}

uint32_t U32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | uint32_t{v[at + 3]} << 24;
}

TEST(BmpWriter, HeaderFieldsAndOffsets) {
    TestImage t(5, 3, 24);
    for (size_t i = 0; i < t.image.PixelBytes(); ++i) t.image.bits[i] = static_cast<uint8_t>(i * 7);
    struct Case {
        int depth;
        uint32_t offset, colours;
    } cases[] = {{24, 54, 0}, {8, 1078, 256}, {4, 118, 16}, {1, 62, 2}};
    for (const Case& c : cases) {
        std::vector<uint8_t> f = Encode(t.image, c.depth);
        const size_t pixelBytes = RowStride(5, c.depth) * 3;
        EXPECT_EQ(f[0], 'B');
        EXPECT_EQ(f[1], 'M');
        EXPECT_EQ(U32(f, 2), f.size()) << c.depth;
        EXPECT_EQ(f.size(), c.offset + pixelBytes) << c.depth;
        EXPECT_EQ(U32(f, 10), c.offset) << c.depth;
        EXPECT_EQ(U32(f, 14), 40u);
        EXPECT_EQ(U32(f, 18), 5u);
        EXPECT_EQ(U32(f, 22), 3u);
        EXPECT_EQ(f[26], 1);
        EXPECT_EQ(f[28], c.depth);
        EXPECT_EQ(U32(f, 30), 0u);
        EXPECT_EQ(U32(f, 34), 0u);
        EXPECT_EQ(U32(f, 38), 3780u);
        EXPECT_EQ(U32(f, 42), 2835u);
        EXPECT_EQ(U32(f, 46), c.colours) << c.depth;
        EXPECT_EQ(U32(f, 50), 0u);
    }
    // At its own depth the pixels follow the header unchanged.
    std::vector<uint8_t> f = Encode(t.image, 24);
    EXPECT_TRUE(std::equal(t.image.bits, t.image.bits + t.image.PixelBytes(), f.begin() + 54));
}

TEST(BmpWriter, RoundTripsEveryDepth) {
    TestImage rgb(7, 5, 24);
    for (size_t i = 0; i < rgb.image.PixelBytes(); ++i) rgb.image.bits[i] = static_cast<uint8_t>(i * 37 % 256);
    TestImage pal(7, 5, 8);
    for (int i = 0; i < 256; ++i)
        pal.image.palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 9, 0};
    for (size_t i = 0; i < pal.image.PixelBytes(); ++i) pal.image.bits[i] = static_cast<uint8_t>(i * 11);

    for (const Image* source : {&rgb.image, &pal.image}) {
        for (int depth : {1, 4, 8, 24}) {
            std::vector<uint8_t> file = Encode(*source, depth);
            Decoded d;
            Decode(file, d);
            ASSERT_TRUE(d.ok) << depth;
            const Image& back = d.result.image;
            EXPECT_EQ(back.Width(), 7);
            EXPECT_EQ(back.Height(), 5);
            EXPECT_EQ(back.sourceBits, depth);
            EXPECT_EQ(back.BitCount(), depth == 24 ? 24 : 8);
            if (depth == source->BitCount()) {
                EXPECT_TRUE(std::equal(source->bits, source->bits + source->PixelBytes(), back.bits));
                if (depth == 8) {
                    EXPECT_EQ(back.palette, source->palette);
                }
            }
            // Writing the decoded image again at its own depth reproduces the file.
            if (depth == back.BitCount()) {
                EXPECT_EQ(Encode(back, depth), file) << depth;
            }
        }
    }
}

TEST(BmpWriter, UnsupportedReductionIsASaveFailure) {
    TestImage t(3, 3, 24);
    SaveOptions options;
    options.settings.depth = 16;
    VectorSink sink;
    int error = 0;
    EXPECT_FALSE(EncodeBmp(t.image, options, sink, error));
    EXPECT_EQ(error, kCodecSaveFailed);
}

TEST(BmpPacked, PackBitmapLayout) {
    TestImage t(3, 2, 8);
    t.image.palette[1] = PaletteEntry{1, 2, 3, 0};
    t.image.bits[0] = 1;
    std::vector<uint8_t> p = PackBitmap(t.image);
    ASSERT_EQ(p.size(), 40u + 1024 + 8);
    EXPECT_EQ(U32(p, 0), 40u);
    EXPECT_EQ(U32(p, 4), 3u);
    EXPECT_EQ(p[14], 8);
    EXPECT_EQ(U32(p, 24), 3780u);
    EXPECT_EQ(U32(p, 32), 0u);
    EXPECT_EQ(p[40 + 4], 1);
    EXPECT_EQ(p[40 + 1024], 1);
    TestImage rgb(3, 2, 24);
    EXPECT_EQ(PackBitmap(rgb.image).size(), 40u + 24);

    // What the clipboard gets reads back the same.
    MemoryAllocator allocator;
    Image back;
    ASSERT_TRUE(DecodePackedBitmap(p, allocator, back));
    EXPECT_EQ(back.palette[1], t.image.palette[1]);
    EXPECT_EQ(back.bits[0], 1);
    allocator.Release(back);
}

TEST(BmpSuite, EveryFileDecodesOrFailsWithACode) {
    const std::filesystem::path root = PELIO_TESTDATA_DIR "/bmpsuite";
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "no " << root << ": test images absent";
    auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
    };
    Decoded pal8;
    Decode(read(root / "g" / "pal8.bmp"), pal8);
    ASSERT_TRUE(pal8.ok);
    int decoded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".bmp") continue;
        Decoded d;
        Decode(read(entry.path()), d);
        const std::string name = entry.path().filename().string();
        if (d.ok) {
            ++decoded;
            EXPECT_GT(d.result.image.Width(), 0);
            // The same picture behind other headers shows the same colours.
            if (name.starts_with("pal8os2") || name == "pal8v4.bmp" || name == "pal8v5.bmp") {
                EXPECT_EQ(Colours(d.result.image), Colours(pal8.result.image)) << name;
            }
        } else {
            EXPECT_NE(d.result.error, 0) << entry.path();
        }
        // Every good file decodes but for the refused kinds: RLE, top-down, and masks that are
        // not blue-green-red from the lowest bit up.
        if (entry.path().parent_path().filename() == "g" && name.find("rle") == std::string::npos &&
            name.find("topdown") == std::string::npos && name != "rgb32bf.bmp") {
            EXPECT_TRUE(d.ok) << name;
        }
    }
    EXPECT_GT(decoded, 40);
}

}  // namespace
}  // namespace pelio
