// Quarter turns, flips and tone inversion.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/ops/geometry.h"
#include "core/ops/tone.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

// A picture addressed in display coordinates (x right, y down) over bottom-up storage.
struct Picture {
    int w = 0, h = 0, bytes = 3;
    size_t stride = 0;
    std::vector<uint8_t> data;
    Picture(int width, int height, int bits)
        : w(width), h(height), bytes(bits / 8), stride(RowStride(width, bits)), data(stride * height, 0) {}
    uint8_t* At(int x, int y) { return data.data() + size_t(h - 1 - y) * stride + size_t(x) * bytes; }
};

Picture Numbered(int w, int h, int bits) {
    Picture p(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < p.bytes; ++k) p.At(x, y)[k] = uint8_t((y * 31 + x * 7 + k * 101) & 0xFF);
    return p;
}

Picture Turn(Picture& src, TurnKind kind, int bits) {
    const bool swap = TurnSwapsSides(kind);
    Picture dst(swap ? src.h : src.w, swap ? src.w : src.h, bits);
    PixelJob job;
    job.width = src.w;
    job.height = src.h;
    job.bitCount = bits;
    job.stride = static_cast<int32_t>(src.stride);
    job.source = src.data.data();
    job.target = dst.data.data();
    EXPECT_TRUE(TurnPixels(job, kind));
    return dst;
}

TEST(TurnPixels, NinetyDegreesPutsTheLeftColumnBottomToTopAsTheTopRow) {
    for (int bits : {8, 24}) {
        Picture src = Numbered(3, 2, bits);
        Picture dst = Turn(src, TurnKind::Rotate90, bits);
        ASSERT_EQ(dst.w, 2);
        ASSERT_EQ(dst.h, 3);
        EXPECT_EQ(0, std::memcmp(dst.At(0, 0), src.At(0, 1), dst.bytes));
        EXPECT_EQ(0, std::memcmp(dst.At(1, 0), src.At(0, 0), dst.bytes));
    }
}

// Every kind at both depths against the display-coordinate mapping, on sizes with odd
// widths and on one that spans several tiles.
TEST(TurnPixels, EveryKindMapsEveryPixel) {
    struct Case {
        TurnKind kind;
        // destination (x', y') of source (x, y) in a w × h picture
        void (*map)(int x, int y, int w, int h, int& dx, int& dy);
    };
    const Case cases[] = {
        {TurnKind::Rotate90, [](int x, int y, int, int h, int& dx, int& dy) { dx = h - 1 - y, dy = x; }},
        {TurnKind::Rotate180, [](int x, int y, int w, int h, int& dx, int& dy) { dx = w - 1 - x, dy = h - 1 - y; }},
        {TurnKind::Rotate270, [](int x, int y, int w, int, int& dx, int& dy) { dx = y, dy = w - 1 - x; }},
        {TurnKind::FlipHorizontal, [](int x, int y, int w, int, int& dx, int& dy) { dx = w - 1 - x, dy = y; }},
        {TurnKind::FlipVertical, [](int x, int y, int, int h, int& dx, int& dy) { dx = x, dy = h - 1 - y; }},
    };
    // Widths of 4n leave no row padding: a read past a pixel would leave the buffer.
    const int sizes[][2] = {{1, 1}, {3, 2}, {5, 7}, {13, 1}, {1, 9}, {131, 70}, {8, 5}, {64, 33}, {4, 1}};
    for (int bits : {8, 24})
        for (const auto& size : sizes)
            for (const Case& c : cases) {
                Picture src = Numbered(size[0], size[1], bits);
                Picture dst = Turn(src, c.kind, bits);
                int mismatches = 0;
                for (int y = 0; y < src.h; ++y)
                    for (int x = 0; x < src.w; ++x) {
                        int dx = 0, dy = 0;
                        c.map(x, y, src.w, src.h, dx, dy);
                        mismatches += std::memcmp(dst.At(dx, dy), src.At(x, y), src.bytes) != 0;
                    }
                EXPECT_EQ(mismatches, 0) << "kind " << int(c.kind) << " bits " << bits << " "
                                         << size[0] << "x" << size[1];
                // Row padding of the target stays as it was (zero).
                for (int row = 0; row < dst.h; ++row)
                    for (size_t i = size_t(dst.w) * dst.bytes; i < dst.stride; ++i)
                        EXPECT_EQ(dst.data[row * dst.stride + i], 0);
            }
}

TEST(TurnPixels, RefusesUnknownKindsAndDepths) {
    Picture src = Numbered(4, 4, 24), dst(4, 4, 24);
    PixelJob job{4, 4, 24, int32_t(src.stride)};
    job.source = src.data.data();
    job.target = dst.data.data();
    EXPECT_FALSE(TurnPixels(job, static_cast<TurnKind>(0)));
    EXPECT_FALSE(TurnPixels(job, static_cast<TurnKind>(6)));
    job.bitCount = 32;
    EXPECT_FALSE(TurnPixels(job, TurnKind::Rotate90));
}

TEST(InvertPixels, TwiceIsTheIdentityAndPaddingStaysZero) {
    for (int bits : {8, 24}) {
        test::SampleImage a(7, 5, bits), b(7, 5, bits), c(7, 5, bits);
        Image& src = a.image;
        for (int r = 0; r < src.Height(); ++r)  // clear the padding the pattern filled
            std::memset(src.bits + r * src.Stride() + src.Width() * bits / 8, 0,
                        src.Stride() - src.Width() * bits / 8);
        for (Image* target : {&b.image, &c.image})  // fresh bitmap sections are zeroed
            std::memset(target->bits, 0, target->Stride() * target->Height());
        ASSERT_TRUE(InvertPixels(MakePixelJob(src, b.image)));
        if (bits == 24) {
            EXPECT_EQ(b.image.bits[0], uint8_t(255 - src.bits[0]));
            EXPECT_EQ(b.image.bits[src.Stride() - 1], 0);  // 7 × 3 = 21 of 24 bytes
        } else {
            EXPECT_EQ(0, std::memcmp(b.image.bits, src.bits, src.Stride() * src.Height()));
            EXPECT_EQ(b.image.palette[3].red, uint8_t(255 - src.palette[3].red));
            EXPECT_EQ(b.image.palette[3].reserved, 0);
        }
        ASSERT_TRUE(InvertPixels(MakePixelJob(b.image, c.image)));
        EXPECT_EQ(0, std::memcmp(c.image.bits, src.bits, src.Stride() * src.Height()));
        if (bits == 8)
            for (int i = 0; i < 256; ++i) {
                EXPECT_EQ(c.image.palette[i].blue, src.palette[i].blue);
                EXPECT_EQ(c.image.palette[i].red, src.palette[i].red);
            }
    }
}

}  // namespace
}  // namespace pelio
