// GIF reading, frame composition, animation and writing, over files built in the tests.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"
#include "core/image/gif_codec.h"
#include "tests/core/image/gif_test_util.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

using test::GifBuilder;

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Decoded {
    MemoryAllocator allocator;
    DecodeResult result;
    GifAnimation animation;
    bool ok = false;
    ~Decoded() {
        if (result.image.bits) allocator.Release(result.image);
        ReleaseGifAnimation(animation, allocator);
    }
    // Index at (x, y) counted from the top of the picture.
    uint8_t At(const Image& image, int x, int y) const { return image.Row(image.Height() - 1 - y)[x]; }
    uint8_t At(int x, int y) const { return At(result.image, x, y); }
};

void Decode(const std::vector<uint8_t>& file, Decoded& d, LoadOptions options = {}) {
    d.ok = DecodeGifAnimation(file, options, d.allocator, d.result, &d.animation);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> v, size_t n) {
    v.resize(v.size() - n);
    return v;
}

std::vector<uint8_t> Ramp(int width, int height, int modulo) {
    std::vector<uint8_t> p(size_t(width) * height);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>((i * 7 + i / width) % modulo);
    return p;
}

TEST(GifLzw, RoundTripsAtEveryCodeSize) {
    std::mt19937 random(7);
    struct Case {
        const char* what;
        size_t size;
        bool runs;  // long runs reach codes defined by the code just read
    } cases[] = {
        {"one pixel", 1, false}, {"two pixels", 2, false},   {"noise past a full table", 20000, false},
        {"long runs", 50000, true}, {"exactly one row", 255, false},
    };
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        for (const Case& c : cases) {
            std::vector<uint8_t> pixels(c.size);
            for (size_t i = 0; i < c.size; ++i)
                pixels[i] = static_cast<uint8_t>(c.runs ? (i / 97) % (1 << codeSize)
                                                        : random() % (1u << codeSize));
            std::vector<uint8_t> data;
            GifLzwEncode(pixels, codeSize, data);
            std::vector<uint8_t> back(c.size, 0xEE);
            EXPECT_EQ(GifLzwDecode(data, codeSize, back), c.size) << c.what << " size " << codeSize;
            EXPECT_EQ(back, pixels) << c.what << " size " << codeSize;
        }
    }
}

// A strict reader: codes up to and including the end code, which must come at the reader's
// width, followed by nothing but the zero bits that fill its byte. Nothing when anything is off.
std::optional<std::vector<uint8_t>> StrictLzwDecode(const std::vector<uint8_t>& data, int minCodeSize) {
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    std::vector<std::vector<uint8_t>> table;
    int width = 0;
    auto reset = [&] {
        table.assign(clear + 2, {});
        for (uint32_t i = 0; i < clear; ++i) table[i] = {uint8_t(i)};
        width = minCodeSize + 1;
    };
    reset();
    size_t bit = 0;
    std::vector<uint8_t> out;
    int prev = -1;
    for (;;) {
        if (bit + width > data.size() * 8) return std::nullopt;  // no end code
        uint32_t code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= uint32_t((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == clear) {
            reset();
            prev = -1;
            continue;
        }
        if (code == end) break;
        std::vector<uint8_t> entry;
        if (code < table.size() && !table[code].empty()) {
            entry = table[code];
        } else if (code == table.size() && prev >= 0) {
            entry = table[prev];
            entry.push_back(table[prev][0]);
        } else {
            return std::nullopt;
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (prev >= 0 && table.size() < 4096) {
            table.push_back(table[prev]);
            table.back().push_back(entry[0]);
            if (table.size() == (1u << width) && width < 12) ++width;
        }
        prev = static_cast<int>(code);
    }
    if ((bit + 7) / 8 != data.size() || (bit % 8 && data.back() >> (bit % 8) != 0)) return std::nullopt;
    return out;
}

// Every length up to a few code-width steps, in noise and in one long run: the end code comes
// at the width the reader has reached after the last data code.
TEST(GifLzw, EndCodeAtTheReadersWidth) {
    std::mt19937 random(11);
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        for (bool run : {false, true}) {
            std::vector<uint8_t> pattern(400);
            for (uint8_t& p : pattern) p = run ? 0 : static_cast<uint8_t>(random() % (1u << codeSize));
            for (size_t n = 1; n <= pattern.size(); ++n) {
                std::vector<uint8_t> pixels(pattern.begin(), pattern.begin() + ptrdiff_t(n)), data;
                GifLzwEncode(pixels, codeSize, data);
                EXPECT_EQ(StrictLzwDecode(data, codeSize), pixels)
                    << "code size " << codeSize << (run ? " run of " : " noise of ") << n;
            }
        }
    }
}

TEST(GifLzw, StopsAtBadCodesAndFullOutput) {
    // Code size 2: clear 4, end 5, first free 6; three-bit codes packed LSB first.
    auto pack = [](std::initializer_list<int> codes) {
        std::vector<uint8_t> out;
        uint32_t acc = 0;
        int bits = 0;
        for (int c : codes) {
            acc |= uint32_t(c) << bits;
            bits += 3;
            while (bits >= 8) {
                out.push_back(uint8_t(acc));
                acc >>= 8;
                bits -= 8;
            }
        }
        if (bits) out.push_back(uint8_t(acc));
        return out;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
        size_t outSize;
        std::vector<uint8_t> expected;
    } cases[] = {
        {"literals then end", pack({4, 1, 2, 3, 5}), 5, {1, 2, 3, 0xEE, 0xEE}},
        {"code being defined", pack({4, 1, 6, 5}), 4, {1, 1, 1, 0xEE}},
        {"code beyond the next free one", pack({4, 1, 7, 2}), 3, {1, 0xEE, 0xEE}},
        {"non-literal first code", pack({4, 6, 1}), 2, {0xEE, 0xEE}},
        {"output full mid-string", pack({4, 1, 6, 6}), 2, {1, 1}},
        {"no data", {}, 2, {0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.outSize, 0xEE);
        GifLzwDecode(c.data, 2, out);
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

TEST(GifReader, RefusesBadStructure) {
    const auto pixels = Ramp(4, 4, 4);
    auto good = [&] { return GifBuilder().Screen(4, 4, 2); };
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int error;
    } cases[] = {
        {"not a GIF", GifBuilder().Screen(4, 4, 2, 0, "88a").Frame(0, 0, 4, 4, pixels, 0, false, 2).Trailer().bytes, kCodecBadFile},
        {"shorter than a screen", {'G', 'I', 'F', '8', '9', 'a', 4, 0}, kCodecBadFile},
        {"width 0", GifBuilder().Screen(0, 4, 2).Trailer().bytes, kCodecUnsupported},
        {"height 25001", GifBuilder().Screen(4, 25001, 2).Trailer().bytes, kCodecUnsupported},
        {"global table cut", Cut(good().bytes, 1), kCodecBadFile},
        {"trailer before a frame", good().Trailer().bytes, kCodecBadFile},
        {"no trailer", good().bytes, kCodecBadFile},
        {"unknown label", good().bytes + std::vector<uint8_t>{0x21, 0x42, 0}, kCodecReadFailed},
        {"unknown block", good().bytes + std::vector<uint8_t>{'x'}, kCodecReadFailed},
        {"frame past the right edge", good().Frame(1, 0, 4, 4, pixels, 0, false, 2).Trailer().bytes, kCodecBadFile},
        {"frame past the bottom", good().Frame(0, 3, 4, 2, pixels, 0, false, 2).Trailer().bytes, kCodecBadFile},
        {"no colour table", GifBuilder().Screen(4, 4, 0).Frame(0, 0, 4, 4, pixels, 0, false, 2).Trailer().bytes, kCodecBadFile},
        {"code size 1", good().Frame(0, 0, 4, 4, pixels, 0, false, 1).Trailer().bytes, kCodecBadFile},
        {"code size 9", good().Frame(0, 0, 4, 4, pixels, 0, false, 9).Trailer().bytes, kCodecBadFile},
        {"graphic control cut", good().bytes + std::vector<uint8_t>{0x21, 0xF9, 4, 1, 0}, kCodecBadFile},
        {"comment cut", good().bytes + std::vector<uint8_t>{0x21, 0xFE, 9, 'a'}, kCodecBadFile},
    };
    for (Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        EXPECT_FALSE(d.ok) << c.what;
        EXPECT_EQ(d.result.error, c.error) << c.what;
        EXPECT_EQ(d.result.image.bits, nullptr) << c.what;
    }
    // Image data: a sub-block running past the end, and no data at all.
    auto cut = good().Frame(0, 0, 4, 4, pixels, 0, false, 2).bytes;
    cut.resize(cut.size() - 3);
    auto empty = good().bytes + std::vector<uint8_t>{',', 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 0, ';'};
    for (const auto* file : {&cut, &empty}) {
        Decoded d;
        Decode(*file, d);
        EXPECT_EQ(d.result.error, kCodecBadFile);
    }
}

TEST(GifReader, FirstFrameComposition) {
    // A 2 x 2 frame at (1, 1) on a 4 x 3 screen with background index 5.
    const std::vector<uint8_t> pixels = {1, 2, 3, 4};
    Decoded d;
    Decode(GifBuilder().Screen(4, 3, 3, 5).Comment("hi").Frame(1, 1, 2, 2, pixels, 0, false, 3).Trailer().bytes, d);
    ASSERT_TRUE(d.ok) << d.result.error;
    const Image& image = d.result.image;
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.BitCount(), 8);
    EXPECT_EQ(image.format, ImageFormat::Gif);
    EXPECT_EQ(image.sourceBits, 3);
    const uint8_t expected[3][4] = {{5, 5, 5, 5}, {5, 1, 2, 5}, {5, 3, 4, 5}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(d.At(x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(image.palette[2], (PaletteEntry{1, 253, 2, 0}));
    EXPECT_EQ(image.palette[8], PaletteEntry{}) << "entries past the table are black";
    EXPECT_EQ(d.result.info, (SourceInfo{0, 0, 0, 1}));
    EXPECT_FALSE(d.animation.animated);
}

TEST(GifReader, InterlacedRowsLandOnTheirPassRows) {
    for (int height : {1, 2, 3, 5, 9, 17}) {
        const auto pixels = Ramp(3, height, 256);
        Decoded d;
        Decode(GifBuilder().Screen(3, height, 8).Frame(0, 0, 3, height, pixels, 0, true).Trailer().bytes, d);
        ASSERT_TRUE(d.ok) << height;
        EXPECT_EQ(d.result.info.interlaced, 1);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3; ++x) ASSERT_EQ(d.At(x, y), pixels[y * 3 + x]) << height << ": " << x << "," << y;
    }
}

TEST(GifReader, TransparentEntryTakesTheBackground) {
    const PaletteEntry fixed{10, 20, 30, 0};
    const PaletteEntry fromFile{3 / 2, 255 - 3, 3, 0};  // global entry 3, the background index
    struct Case {
        const char* what;
        bool alpha, fileBackground, global, transparent;
        PaletteEntry entry7;
    } cases[] = {
        {"file background", true, true, true, true, fromFile},
        {"fixed background", true, false, true, true, fixed},
        {"file wanted but no global table", true, true, false, true, fixed},
        {"alpha off", false, true, true, true, PaletteEntry{7 / 2, 255 - 7, 7 + 100, 0}},
        {"no transparency flag", true, true, true, false, PaletteEntry{7 / 2, 255 - 7, 7 + 100, 0}},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Screen(2, 2, c.global ? 3 : 0, 3).Control(c.transparent, 7).Frame(0, 0, 2, 2, {7, 1, 2, 7}, 3, false, 3);
        LoadOptions options;
        options.alpha = c.alpha;
        options.fileBackground = c.fileBackground;
        options.background = PaletteEntry{10, 20, 30, 0};
        Decoded d;
        Decode(b.Trailer().bytes, d, options);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.result.image.palette[7], c.entry7) << c.what;
        EXPECT_EQ(d.result.image.palette[1], (PaletteEntry{0, 254, 101, 0})) << c.what << ": local table";
        EXPECT_EQ(d.At(0, 0), 7) << c.what << ": the index stays";
        EXPECT_EQ(d.result.info.transparency, c.transparent ? 1 : 0) << c.what;
    }
}

TEST(GifReader, AnimationFramesAndLimits) {
    const auto pixels = Ramp(2, 2, 4);
    auto frames = [&](int count, bool loop, bool trailer) {
        GifBuilder b;
        b.Screen(2, 2, 2);
        if (loop) b.Loop(3);
        for (int i = 0; i < count; ++i) b.Control(false, 0, 0, i).Frame(0, 0, 2, 2, pixels, 0, false, 2);
        if (trailer) b.Trailer();
        return b.bytes;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int error, frames;
        bool animated;
    } cases[] = {
        {"no loop extension: one frame", frames(4, false, true), 0, 1, false},
        {"no loop extension, no trailer", frames(4, false, false), 0, 1, false},
        {"loop extension", frames(4, true, true), 0, 4, true},
        {"animation without a trailer", frames(4, true, false), kCodecBadFile, 0, false},
        {"300 frames keep 256", frames(300, true, false), 0, kGifMaxFrames, true},
    };
    for (Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        EXPECT_EQ(d.result.error, c.error) << c.what;
        EXPECT_EQ(d.animation.frameCount, c.frames) << c.what;
        EXPECT_EQ(d.animation.animated, c.animated) << c.what;
        if (c.frames > 1) {
            EXPECT_EQ(d.animation.loopCount, 3) << c.what;
            EXPECT_EQ(d.animation.frames.size(), size_t(c.frames - 1)) << c.what;
            ASSERT_EQ(d.animation.delays.size(), size_t(c.frames)) << c.what;
            EXPECT_EQ(d.animation.delays.back(), c.frames - 1) << c.what;
        }
        // Without a record the later frames are still walked and checked.
        MemoryAllocator allocator;
        DecodeResult plain;
        EXPECT_EQ(DecodeGif(c.file, LoadOptions{}, allocator, plain), c.error == 0) << c.what;
        EXPECT_EQ(plain.error, c.error) << c.what;
        if (plain.image.bits) allocator.Release(plain.image);
    }
}

TEST(GifReader, LaterFramesComposeOverThePrevious) {
    // Screen 3 x 2, background 9. Frame 0 fills it; frame 1 covers (1,0)-(2,0) with index 4
    // transparent; frame 2 (disposal 2) covers (0,1) only.
    GifBuilder b;
    b.Screen(3, 2, 4, 9).Loop(0);
    b.Frame(0, 0, 3, 2, {1, 2, 3, 4, 5, 6}, 0, false, 4);
    b.Control(true, 4).Frame(1, 0, 2, 1, {4, 7}, 3, false, 3, 50);
    b.Control(false, 0, 2).Frame(0, 1, 1, 1, {8}, 0, false, 4);
    Decoded d;
    Decode(b.Trailer().bytes, d);
    ASSERT_TRUE(d.ok) << d.result.error;
    ASSERT_EQ(d.animation.frames.size(), 2u);
    const Image& f1 = d.animation.frames[0];
    const Image& f2 = d.animation.frames[1];
    const uint8_t expected1[2][3] = {{1, 2, 7}, {4, 5, 6}};
    const uint8_t expected2[2][3] = {{9, 9, 9}, {8, 9, 9}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(d.At(f1, x, y), expected1[y][x]) << "frame 1 at " << x << "," << y;
            EXPECT_EQ(d.At(f2, x, y), expected2[y][x]) << "frame 2 at " << x << "," << y;
        }
    EXPECT_EQ(f1.palette[4], (PaletteEntry{2, 251, 54, 0})) << "own table, no replacement";
    EXPECT_EQ(f1.palette[9], PaletteEntry{}) << "local table cleared beyond its size";
    EXPECT_EQ(f2.palette[9], (PaletteEntry{4, 246, 9, 0})) << "global table";
    EXPECT_EQ(d.result.image.palette[4], (PaletteEntry{2, 251, 4, 0}));
}

TEST(GifWriter, HeaderLayoutAndCodeSize) {
    Image image;
    image.header.width = 3;
    image.header.height = 2;
    image.header.bitCount = 8;
    image.palette[0] = PaletteEntry{0, 0, 0, 0};
    image.palette[1] = PaletteEntry{255, 255, 255, 0};
    MemoryAllocator allocator;
    ASSERT_TRUE(allocator.Allocate(image));
    ImageHolder hold(allocator, image);
    image.Row(0)[0] = 1;
    struct Case {
        int depth;
        bool interlace, transparent;
        int codeSize;
    } cases[] = {{1, false, false, 2}, {1, true, true, 2}, {4, false, true, 4}, {8, true, false, 8}};
    for (const Case& c : cases) {
        SaveOptions options;
        options.settings.depth = c.depth;
        options.settings.interlace = c.interlace;
        options.settings.dither = 3;
        options.transparent = c.transparent;
        VectorSink sink;
        int error = 0;
        ASSERT_TRUE(EncodeGif(image, options, sink, error)) << c.depth;
        const auto& f = sink.bytes;
        const size_t table = 3u << c.depth;
        ASSERT_GT(f.size(), 13 + table + 12);
        EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "GIF89a");
        EXPECT_EQ(f[6] | f[7] << 8, 3);
        EXPECT_EQ(f[8] | f[9] << 8, 2);
        EXPECT_EQ(f[10], 0x80 | (c.depth - 1) << 4 | (c.depth - 1)) << c.depth;
        EXPECT_EQ(f[12], 0);
        size_t at = 13 + table;
        if (c.transparent) {
            const std::vector<uint8_t> control(f.begin() + at, f.begin() + at + 8);
            // White is the last exact match among the entries.
            EXPECT_EQ(control, (std::vector<uint8_t>{0x21, 0xF9, 4, 1, 0, 0, f[11], 0})) << c.depth;
            EXPECT_EQ(f[13 + 3 * f[11]], 255);
            at += 8;
        }
        EXPECT_EQ(f[at], ',');
        EXPECT_EQ(f[at + 9], c.interlace ? 0x40 : 0) << c.depth;
        EXPECT_EQ(f[at + 10], c.codeSize) << c.depth;
        EXPECT_EQ(f.back(), ';');
    }
}

// 8 × 7 black at depth 1: the end code, after entry 31 is defined, takes 5 bits.
TEST(GifWriter, SmallestEndCodeWidening) {
    test::SampleImage black(8, 7, 24);
    std::memset(black.image.bits, 0, black.image.PixelBytes());
    SaveOptions options;
    options.settings.depth = 1;
    VectorSink sink;
    int error = 0;
    ASSERT_TRUE(EncodeGif(black.image, options, sink, error));
    const std::vector<uint8_t> tail(sink.bytes.end() - 11, sink.bytes.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{2, 7, 0x84, 0x8f, 0xa9, 0xcb, 0xed, 0x50, 0x00, 0, ';'}));
}

TEST(GifWriter, NearestEntryMarkedTransparent) {
    // Two grey levels only; white is not among them, so the lighter one is the nearest.
    Image image;
    image.header.width = 4;
    image.header.height = 1;
    image.header.bitCount = 8;
    image.palette[0] = PaletteEntry{40, 40, 40, 0};
    image.palette[1] = PaletteEntry{200, 200, 200, 0};
    MemoryAllocator allocator;
    ASSERT_TRUE(allocator.Allocate(image));
    ImageHolder hold(allocator, image);
    const uint8_t row[4] = {0, 1, 1, 0};
    std::memcpy(image.bits, row, 4);
    SaveOptions options;
    options.settings.depth = 8;
    options.settings.dither = 3;
    options.transparent = true;
    VectorSink sink;
    int error = 0;
    ASSERT_TRUE(EncodeGif(image, options, sink, error));
    Decoded d;
    Decode(sink.bytes, d, LoadOptions{true, 2200, false});
    ASSERT_TRUE(d.ok);
    const uint8_t t = sink.bytes[11];
    EXPECT_EQ(d.result.image.palette[t], (PaletteEntry{200, 200, 200, 0}));
    EXPECT_EQ(d.result.info.transparency, 1);
}

TEST(GifWriter, ReadsBackAsTheReducedPixels) {
    MemoryAllocator allocator;
    Image image;
    image.header.width = 37;
    image.header.height = 23;
    image.header.bitCount = 24;
    ASSERT_TRUE(allocator.Allocate(image));
    ImageHolder hold(allocator, image);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            uint8_t* p = image.Row(y) + 3 * x;
            p[0] = uint8_t(x * 7);
            p[1] = uint8_t(y * 11);
            p[2] = uint8_t((x ^ y) * 5);
        }
    for (int depth = 1; depth <= 8; ++depth)
        for (bool interlace : {false, true}) {
            SaveOptions options;
            options.settings.depth = depth;
            options.settings.dither = 0;
            options.settings.interlace = interlace;
            VectorSink sink;
            int error = 0;
            ASSERT_TRUE(EncodeGif(image, options, sink, error)) << depth;
            // The same reduction done directly: rows as stored, one byte per pixel.
            ColourEngine engine;
            engine.width = 37;
            engine.height = 23;
            engine.sourceBits = 24;
            engine.targetBits = depth;
            engine.ditherMode = 0;
            Palette palette{};
            std::vector<uint8_t> reduced(37 * 23);
            ASSERT_TRUE(ConvertUnpacked(nullptr, image.bits, palette, engine, reduced.data()));
            Decoded d;
            Decode(sink.bytes, d);
            ASSERT_TRUE(d.ok) << depth;
            EXPECT_EQ(d.result.image.sourceBits, depth);
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    ASSERT_EQ(d.result.image.palette[d.result.image.Row(y)[x]], palette[reduced[y * 37 + x]])
                        << "depth " << depth << " interlace " << interlace << " at " << x << "," << y;
        }
}

}  // namespace
}  // namespace pelio
