// JPEG decoder and encoder against the library's own decode of generated files.
#include "core/image/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/image/codec_error.h"
#include "tests/core/image/jpeg_test_util.h"

namespace pelio {
namespace {

using test::JpegPlan;
using test::LibraryDecode;
using test::MakeJpeg;

// The reference's pixels as our bitmap holds them: bottom-up, padded rows, BGR or indices.
std::vector<uint8_t> ExpectedBitmap(const test::Reference& r) {
    const int bits = r.components == 1 ? 8 : 24;
    const size_t stride = RowStride(r.width, bits);
    std::vector<uint8_t> out(stride * r.height, 0);
    for (int y = 0; y < r.height; ++y) {
        const uint8_t* s = &r.pixels[static_cast<size_t>(y) * r.width * r.components];
        uint8_t* d = &out[stride * (r.height - 1 - y)];
        for (int x = 0; x < r.width; ++x) {
            if (r.components == 4) {
                const uint8_t* k = s + 4 * x;
                d[3 * x + 0] = static_cast<uint8_t>(k[2] * k[3] / 255);
                d[3 * x + 1] = static_cast<uint8_t>(k[1] * k[3] / 255);
                d[3 * x + 2] = static_cast<uint8_t>(k[0] * k[3] / 255);
            } else {
                std::memcpy(d + x * r.components, s + x * r.components, r.components);
            }
        }
    }
    return out;
}

std::vector<uint8_t> Pixels(const Image& image) {
    return std::vector<uint8_t>(image.bits, image.bits + image.PixelBytes());
}

struct DecodeCase {
    const char* name;
    JpegPlan plan;
};

class JpegDecodeMatchesLibrary : public testing::TestWithParam<DecodeCase> {};

TEST_P(JpegDecodeMatchesLibrary, PixelsEqual) {
    const std::vector<uint8_t> file = MakeJpeg(GetParam().plan);
    const test::Reference ref = LibraryDecode(file);
    MemoryAllocator allocator;
    DecodeResult result;
    ASSERT_TRUE(DecodeJpeg(file, LoadOptions{}, allocator, result)) << result.error;
    ImageHolder hold(allocator, result.image);
    const Image& image = result.image;
    EXPECT_EQ(image.Width(), ref.width);
    EXPECT_EQ(image.Height(), ref.height);
    EXPECT_EQ(image.BitCount(), ref.components == 1 ? 8 : 24);
    EXPECT_EQ(image.sourceBits, image.BitCount());
    EXPECT_EQ(image.format, ImageFormat::Jpeg);
    EXPECT_EQ(image.fileSize, static_cast<int32_t>(file.size()));
    EXPECT_EQ(Pixels(image), ExpectedBitmap(ref));
    EXPECT_EQ(result.info.interlaced, GetParam().plan.progressive ? 1 : 0);
    if (ref.components == 1)
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<uint8_t>(i);
            ASSERT_EQ(image.palette[i], (PaletteEntry{v, v, v, 0})) << i;
        }
}

JpegPlan Plan(int w, int h, int components, int hs, int vs, bool progressive) {
    JpegPlan s;
    s.width = w;
    s.height = h;
    s.components = components;
    s.hSampling = hs;
    s.vSampling = vs;
    s.progressive = progressive;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Jpeg, JpegDecodeMatchesLibrary,
    testing::Values(DecodeCase{"Baseline420", Plan(61, 37, 3, 2, 2, false)},
                    DecodeCase{"Baseline422", Plan(50, 33, 3, 2, 1, false)},
                    DecodeCase{"Baseline444", Plan(17, 9, 3, 1, 1, false)},
                    DecodeCase{"Progressive420", Plan(77, 45, 3, 2, 2, true)},
                    DecodeCase{"Progressive444", Plan(30, 30, 3, 1, 1, true)},
                    DecodeCase{"Grey", Plan(43, 21, 1, 1, 1, false)},
                    DecodeCase{"GreyProgressive", Plan(16, 64, 1, 1, 1, true)},
                    DecodeCase{"Cmyk", Plan(35, 19, 4, 1, 1, false)},
                    DecodeCase{"OnePixel", Plan(1, 1, 3, 2, 2, false)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegDecode, FileCutInTheScanDecodesItsFirstRows) {
    JpegPlan plan = Plan(64, 64, 3, 2, 2, false);
    const std::vector<uint8_t> file = MakeJpeg(plan);
    const test::Reference ref = LibraryDecode(file);
    const std::vector<uint8_t> cut(file.begin(), file.begin() + file.size() * 2 / 3);
    MemoryAllocator allocator;
    DecodeResult result;
    ASSERT_TRUE(DecodeJpeg(cut, LoadOptions{}, allocator, result)) << result.error;
    ImageHolder hold(allocator, result.image);
    ASSERT_EQ(result.image.Width(), 64);
    ASSERT_EQ(result.image.Height(), 64);
    // The first 16-row band lies well inside the two thirds that remain.
    const std::vector<uint8_t> expected = ExpectedBitmap(ref);
    const size_t stride = result.image.Stride();
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(0, std::memcmp(result.image.Row(63 - y), &expected[stride * (63 - y)], stride))
            << "row " << y;
}

TEST(JpegDecode, FileCutInTheHeaderFailsWithTheLibraryMessage) {
    const std::vector<uint8_t> file = MakeJpeg(Plan(16, 16, 3, 2, 2, false));
    const std::vector<uint8_t> cut(file.begin(), file.begin() + 30);
    MemoryAllocator allocator;
    DecodeResult result;
    EXPECT_FALSE(DecodeJpeg(cut, LoadOptions{}, allocator, result));
    EXPECT_EQ(result.error, kJpegLibraryError);
    EXPECT_EQ(result.image.bits, nullptr);
    EXPECT_FALSE(LastJpegLibraryMessage().empty());
}

TEST(JpegDecode, RefusesSizesPastTheLimit) {
    struct Case {
        int width, height, error;
    } cases[] = {{25000, 1, kCodecOk}, {25001, 1, kCodecUnsupported}, {1, 25001, kCodecUnsupported}};
    for (const Case& c : cases) {
        JpegPlan plan = Plan(c.width, c.height, 1, 1, 1, false);
        plan.quality = 10;
        const std::vector<uint8_t> file = MakeJpeg(plan);
        MemoryAllocator allocator;
        DecodeResult result;
        EXPECT_EQ(DecodeJpeg(file, LoadOptions{}, allocator, result), c.error == kCodecOk);
        ImageHolder hold(allocator, result.image);
        EXPECT_EQ(result.error, c.error) << c.width << "x" << c.height;
    }
}

TEST(JpegDecode, GarbageFailsWithTheLibraryMessage) {
    const std::vector<uint8_t> cases[] = {{}, {0xFF, 0xD8}, {'B', 'M', 0, 0, 0, 0}};
    for (const auto& file : cases) {
        MemoryAllocator allocator;
        DecodeResult result;
        EXPECT_FALSE(DecodeJpeg(file, LoadOptions{}, allocator, result));
        EXPECT_EQ(result.error, kJpegLibraryError);
        EXPECT_EQ(result.image.bits, nullptr);
    }
}

TEST(JpegDecode, DensityBecomesPixelsPerMetre) {
    struct Case {
        int unit, x, y;
        int32_t xPels, yPels;
    } cases[] = {{1, 72, 72, 2835, 2835}, {1, 300, 96, 11811, 3780}, {2, 28, 40, 2800, 4000},
                 {0, 1, 1, 0, 0}, {0, 2, 3, 0, 0}};
    for (const Case& c : cases) {
        JpegPlan plan = Plan(8, 8, 3, 2, 2, false);
        plan.densityUnit = c.unit;
        plan.xDensity = c.x;
        plan.yDensity = c.y;
        MemoryAllocator allocator;
        DecodeResult result;
        ASSERT_TRUE(DecodeJpeg(MakeJpeg(plan), LoadOptions{}, allocator, result));
        ImageHolder hold(allocator, result.image);
        EXPECT_EQ(result.image.header.xPelsPerMeter, c.xPels) << c.unit << " " << c.x;
        EXPECT_EQ(result.image.header.yPelsPerMeter, c.yPels) << c.unit << " " << c.y;
    }
}

TEST(JpegDecode, CaptionCountsCommentsAndNotesApp1) {
    struct Case {
        std::vector<uint8_t> markers;
        int comment, text;
    } cases[] = {{{}, 0, 0},
                 {{JPEG_COM}, 1, 0},
                 {{JPEG_COM, JPEG_COM, JPEG_APP0 + 1}, 2, 1},
                 {{JPEG_APP0 + 1, JPEG_APP0 + 2}, 0, 1},
                 {{JPEG_APP0 + 13}, 0, 0}};
    for (const Case& c : cases) {
        JpegPlan plan = Plan(8, 8, 3, 2, 2, false);
        for (uint8_t m : c.markers) plan.markers.push_back({m, 'a', 'b', 'c'});
        MemoryAllocator allocator;
        DecodeResult result;
        ASSERT_TRUE(DecodeJpeg(MakeJpeg(plan), LoadOptions{}, allocator, result));
        ImageHolder hold(allocator, result.image);
        EXPECT_EQ(result.info.comment, c.comment);
        EXPECT_EQ(result.info.text, c.text);
    }
}

TEST(JpegDecode, SharedTestImagesMatchTheLibrary) {
    const std::filesystem::path dir = PELIO_TESTDATA_DIR "/jpeg";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no test images in " << dir;
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".jpg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        const test::Reference ref = LibraryDecode(file);
        MemoryAllocator allocator;
        DecodeResult result;
        if (ref.pixels.empty()) {
            EXPECT_FALSE(DecodeJpeg(file, LoadOptions{}, allocator, result)) << entry.path();
            EXPECT_EQ(result.error, kJpegLibraryError);
            continue;
        }
        ASSERT_TRUE(DecodeJpeg(file, LoadOptions{}, allocator, result)) << entry.path();
        ImageHolder hold(allocator, result.image);
        EXPECT_EQ(Pixels(result.image), ExpectedBitmap(ref)) << entry.path();
        ++seen;
    }
    if (seen == 0) GTEST_SKIP() << "no JPEG files in " << dir;
}

}  // namespace
}  // namespace pelio
