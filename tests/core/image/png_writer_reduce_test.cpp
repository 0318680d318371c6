// PNG saving through the colour engine: depths, greyscale and palette reduction.
#include <gtest/gtest.h>

#include "core/image/codec_error.h"
#include "core/image/png_reader.h"
#include "core/image/png_writer.h"
#include "tests/core/image/png_test_util.h"

namespace pelio {
namespace {

// An image of `colours` colours in vertical bands, black among them.
struct Picture {
    MemoryAllocator allocator;
    Image image;
    Picture(int w, int h, int bits, int colours) {
        image.header.width = w;
        image.header.height = h;
        image.header.bitCount = uint16_t(bits);
        for (int i = 0; i < 256; ++i)
            image.palette[i] = PaletteEntry{uint8_t(i % colours * 20), uint8_t(i % colours * 7),
                                            uint8_t(i % colours ? 90 : 0), 0};
        allocator.Allocate(image);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = image.Row(y) + x * (bits / 8);
                if (bits == 8) *p = uint8_t(x % colours);
                else p[0] = uint8_t(x % colours * 20), p[1] = uint8_t(x % colours * 7), p[2] = uint8_t(x % colours ? 90 : 0);
            }
    }
    ~Picture() { allocator.Release(image); }
};

std::vector<uint8_t> Save(const Image& image, SaveOptions o, int& error) {
    VectorSink sink;
    error = 0;
    const bool ok = EncodePng(image, o, sink, error);
    EXPECT_EQ(ok, error == 0);
    return sink.bytes;
}

TEST(PngWriterReduce, DepthsAndGreyscale) {
    struct Case {
        const char* what;
        int bits, depth;
        bool gray;
        int error, pngDepth, pngType;
    } cases[] = {
        {"24 to 24", 24, 24, false, 0, 8, 2},       {"8 to 24", 8, 24, false, 0, 8, 2},
        {"24 to 8", 24, 8, false, 0, 8, 3},         {"24 to 4", 24, 4, false, 0, 4, 3},
        {"24 to 1", 24, 1, false, 0, 1, 3},         {"8 to 2", 8, 2, false, 0, 2, 3},
        {"grey 8", 24, 8, true, 0, 8, 0},           {"grey 4 refused", 24, 4, true, kCodecSaveFailed, 0, 0},
        {"depth 16", 24, 16, false, kCodecSaveFailed, 0, 0},
    };
    for (const Case& c : cases) {
        Picture pic(13, 5, c.bits, 10);
        SaveOptions o;
        o.settings.depth = c.depth;
        o.settings.gray = c.gray;
        int error;
        std::vector<uint8_t> file = Save(pic.image, o, error);
        EXPECT_EQ(error, c.error) << c.what;
        if (c.error) continue;
        test::LibpngImage L = test::ReadWithLibpng(file);
        ASSERT_TRUE(L.ok) << c.what;
        EXPECT_EQ(L.depth, c.pngDepth) << c.what;
        EXPECT_EQ(L.colourType, c.pngType) << c.what;
    }
}

// Entries the reduction leaves unfilled are black, so black among the colours keeps the
// compacted palette at exactly the colours used.
TEST(PngWriterReduce, TenColoursMakeThirtyBytePalette) {
    Picture pic(40, 4, 24, 10);
    SaveOptions o;
    o.settings.depth = 8;
    o.settings.dither = 3;
    int error;
    std::vector<uint8_t> file = Save(pic.image, o, error);
    ASSERT_EQ(error, 0);
    test::LibpngImage L = test::ReadWithLibpng(file);
    ASSERT_TRUE(L.ok);
    EXPECT_EQ(L.palette.size(), 10u);
}

}  // namespace
}  // namespace pelio
