// JPEG encoder: settings as the library reads them back, the comment, the size-limit search.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/image/codec_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_markers.h"
#include "tests/core/image/jpeg_test_util.h"

namespace pelio {
namespace {

// A 24-bit (or 8-bit grey-ramp) picture in plain memory.
struct TestImage {
    TestImage(int32_t w, int32_t h, int bits = 24) {
        image.header.width = w;
        image.header.height = h;
        image.header.bitCount = static_cast<uint16_t>(bits);
        for (int i = 0; i < 256; ++i)
            image.palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                            static_cast<uint8_t>(i / 2), 0};
        allocator.Allocate(image);
        for (int32_t y = 0; y < h; ++y)
            for (size_t x = 0; x < image.Stride(); ++x)
                image.Row(y)[x] = static_cast<uint8_t>((x * 7 + static_cast<size_t>(y) * 3) & 255);
    }
    ~TestImage() { allocator.Release(image); }
    MemoryAllocator allocator;
    Image image;
};

std::vector<uint8_t> Encode(const Image& image, const SaveOptions& options) {
    VectorSink sink;
    int error = 0;
    EXPECT_TRUE(EncodeJpeg(image, options, sink, error)) << error;
    return sink.bytes;
}

// What the library reads back from a header.
struct Header {
    int components = 0, hSampling = 0, vSampling = 0, densityUnit = 0, xDensity = 0,
        yDensity = 0;
    bool progressive = false;
};

Header ReadHeader(const std::vector<uint8_t>& file) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), file.size());
    jpeg_read_header(&d, TRUE);
    Header h{d.num_components, d.comp_info[0].h_samp_factor, d.comp_info[0].v_samp_factor,
             d.density_unit, d.X_density, d.Y_density, d.progressive_mode != 0};
    jpeg_destroy_decompress(&d);
    return h;
}

TEST(JpegEncode, SettingsReachTheFile) {
    struct Case {
        int sampling;
        bool grey, progressive;
        int components, h, v;
    } cases[] = {{0, false, false, 3, 2, 2}, {1, false, false, 3, 2, 1}, {2, false, false, 3, 1, 1},
                 {7, false, false, 3, 2, 2}, {0, true, false, 1, 1, 1}, {1, false, true, 3, 2, 1},
                 {2, true, true, 1, 1, 1}};
    TestImage t(33, 21);
    for (const Case& c : cases) {
        SaveOptions options;
        options.settings.sampling = c.sampling;
        options.settings.gray = c.grey;
        options.settings.progressive = c.progressive;
        const Header h = ReadHeader(Encode(t.image, options));
        EXPECT_EQ(h.components, c.components) << c.sampling << c.grey << c.progressive;
        EXPECT_EQ(h.hSampling, c.h) << c.sampling;
        EXPECT_EQ(h.vSampling, c.v) << c.sampling;
        EXPECT_EQ(h.progressive, c.progressive);
    }
}

TEST(JpegEncode, PixelsSurviveInBgrOrderBottomUp) {
    for (int bits : {24, 8}) {
        TestImage t(24, 16, bits);
        SaveOptions options;
        options.settings.quality = 100;
        options.settings.sampling = 2;
        const test::Reference ref = test::LibraryDecode(Encode(t.image, options));
        ASSERT_EQ(ref.components, 3);
        int worst = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x)
                for (int c = 0; c < 3; ++c) {
                    const uint8_t* row = t.image.Row(15 - y);
                    const int want = bits == 24 ? row[3 * x + c]
                                                : (&t.image.palette[row[x]].blue)[c];
                    worst = std::max(worst, std::abs(ref.pixels[(y * 24 + x) * 3 + c] - want));
                }
        EXPECT_LE(worst, 12) << bits;
    }
}

TEST(JpegEncode, ResolutionWrittenAsDotsPerInch) {
    struct Case {
        int32_t xPels, yPels;
        int unit, x, y;
    } cases[] = {{2835, 2835, 1, 72, 72}, {11811, 3780, 1, 300, 96}, {0, 2835, 0, 1, 1},
                 {2835, 0, 0, 1, 1}};
    TestImage t(8, 8);
    for (const Case& c : cases) {
        t.image.header.xPelsPerMeter = c.xPels;
        t.image.header.yPelsPerMeter = c.yPels;
        const Header h = ReadHeader(Encode(t.image, SaveOptions{}));
        EXPECT_EQ(h.densityUnit, c.unit) << c.xPels << " " << c.yPels;
        EXPECT_EQ(h.xDensity, c.x);
        EXPECT_EQ(h.yDensity, c.y);
    }
}

TEST(JpegEncode, DensityRoundTripsBothWays) {
    EXPECT_EQ(PixelsPerMetre(1, 72), 2835);
    EXPECT_EQ(DotsPerInch(2835), 72);
    EXPECT_EQ(PixelsPerMetre(2, 72), 7200);
}

TEST(JpegEncode, OneCommentOfAtMost10000Bytes) {
    struct Case {
        bool write;
        size_t length, stored;  // stored 0: no COM segment
    } cases[] = {{true, 12000, 10000}, {true, 10000, 10000}, {true, 5, 5}, {true, 0, 0},
                 {false, 50, 0}};
    TestImage t(8, 8);
    for (const Case& c : cases) {
        SaveOptions options;
        options.writeComment = c.write;
        options.comment.assign(c.length, 'k');
        const std::vector<uint8_t> file = Encode(t.image, options);
        std::vector<size_t> comments;
        WalkJpegMarkers(std::span<const uint8_t>(file), [&](const JpegSegment& s) {
            if (s.marker == 0xFE) comments.push_back(s.dataSize);
            return true;
        });
        EXPECT_EQ(comments, c.stored ? std::vector<size_t>{c.stored} : std::vector<size_t>{})
            << c.length;
    }
}

TEST(JpegEncode, QualityAbove100Becomes75) {
    TestImage t(32, 32);
    SaveOptions at75, at150, at100;
    at150.settings.quality = 150;
    at100.settings.quality = 100;
    EXPECT_EQ(Encode(t.image, at150), Encode(t.image, at75));
    EXPECT_NE(Encode(t.image, at100), Encode(t.image, at75));
}

// Fails every write: the library's write error ends the save with its message.
class BrokenSink final : public ByteSink {
public:
    bool Write(const void*, size_t) override { return false; }
};

TEST(JpegEncode, FailedWriteIsALibraryError) {
    TestImage t(16, 16);
    for (bool limit : {false, true}) {
        SaveOptions options;
        options.settings.jpgLimit = limit;
        BrokenSink sink;
        int error = 0;
        EXPECT_FALSE(EncodeJpeg(t.image, options, sink, error));
        EXPECT_EQ(error, limit ? kCodecCreateFailed : kJpegLibraryError);
        if (!limit) {
            EXPECT_NE(LastJpegLibraryMessage().find("write"), std::string::npos);
        }
    }
}

struct SearchCase {
    const char* name;
    size_t limit;
    size_t (*sizeAt)(int);
    std::vector<int> trials;
    int result;
};

size_t Linear(int q) { return static_cast<size_t>(q) * 1000; }
size_t Huge(int) { return 1u << 30; }

TEST(JpegEncode, SizeLimitSearchTriesTheseQualities) {
    const SearchCase cases[] = {
        {"fits at 100", 100000, Linear, {100}, 100},
        {"nothing fits", 10, Huge, {100, 69, 38, 7, 6, 5, 4, 3, 2, 1}, 1},
        {"fits at 50", 50000, Linear, {100, 69, 38, 54, 39, 47, 51, 48, 50}, 50},
        {"fits at 90", 90000, Linear, {100, 69, 85, 93, 86, 90, 92, 91, 90}, 90},
        {"fits at 3", 3000, Linear, {100, 69, 38, 7, 6, 5, 4, 3}, 3},
        {"fits at 10", 10000, Linear, {100, 69, 38, 7, 23, 8, 16, 9, 13, 10, 12, 11, 10}, 10},
        // 23 and 8 do not fit after 7 did: 7 is encoded again for the file.
        {"fits at 7", 7000, Linear, {100, 69, 38, 7, 23, 8, 7}, 7},
    };
    for (const SearchCase& c : cases) {
        std::vector<int> trials;
        const std::optional<int> q = SearchJpegQuality(c.limit, [&](int quality) {
            trials.push_back(quality);
            return std::optional<size_t>(c.sizeAt(quality));
        });
        EXPECT_EQ(trials, c.trials) << c.name;
        EXPECT_EQ(q, std::optional<int>(c.result)) << c.name;
    }
}

TEST(JpegEncode, SizeLimitedSaveFitsAndGrowsPastASmallBuffer) {
    struct Case {
        int32_t w, h;
        int limitKb;
    } cases[] = {{1, 1, 1}, {2, 2, 100}, {200, 150, 4}, {200, 150, 1000}};
    for (const Case& c : cases) {
        TestImage t(c.w, c.h);
        SaveOptions options;
        options.settings.jpgLimit = true;
        options.settings.jpgLmtVal = c.limitKb;
        // Larger than the tiny pictures uncompressed.
        options.writeComment = c.w <= 2;
        options.comment.assign(3000, 'c');
        const std::vector<uint8_t> file = Encode(t.image, options);
        const test::Reference ref = test::LibraryDecode(file);
        EXPECT_EQ(ref.width, c.w);
        EXPECT_EQ(ref.height, c.h);
        if (c.limitKb >= 4) {
            EXPECT_LE(file.size(), static_cast<size_t>(c.limitKb) * 1024);
        }
    }
}

}  // namespace
}  // namespace pelio
