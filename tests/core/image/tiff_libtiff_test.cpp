// The TIFF codec against libtiff: the sample files decode to libtiff's pixels, compressed
// ones are refused, and libtiff reads our files as the pixels we wrote.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/image/codec_error.h"
#include "core/image/tiff_codec.h"

namespace pelio {
namespace {

namespace fs = std::filesystem;

struct Tiff {
    TIFF* tiff;
    explicit Tiff(const fs::path& path) {
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
        tiff = TIFFOpen(path.c_str(), "r");
    }
    ~Tiff() {
        if (tiff) TIFFClose(tiff);
    }
    uint32_t U32(ttag_t tag) const {
        uint32_t v = 0;
        TIFFGetField(tiff, tag, &v);
        return v;
    }
    uint16_t U16(ttag_t tag, uint16_t fallback = 0) const {
        uint16_t v = fallback;
        TIFFGetFieldDefaulted(tiff, tag, &v);
        return v;
    }
};

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Compares our decoded image with libtiff's scanlines; false (with failures) on a mismatch.
void ExpectSamePixels(const Tiff& t, const Image& image, const std::string& name) {
    const uint32_t w = t.U32(TIFFTAG_IMAGEWIDTH), h = t.U32(TIFFTAG_IMAGELENGTH);
    const uint16_t bits = t.U16(TIFFTAG_BITSPERSAMPLE), photometric = t.U16(TIFFTAG_PHOTOMETRIC);
    ASSERT_EQ(uint32_t(image.Width()), w) << name;
    ASSERT_EQ(uint32_t(image.Height()), h) << name;
    std::vector<uint8_t> line(TIFFScanlineSize(t.tiff));
    if (photometric == PHOTOMETRIC_RGB) {
        ASSERT_EQ(image.BitCount(), 24) << name;
    } else {
        ASSERT_EQ(image.BitCount(), 8) << name;
        const int entries = 1 << bits;
        if (photometric == PHOTOMETRIC_PALETTE) {
            uint16_t *r, *g, *b;
            ASSERT_TRUE(TIFFGetField(t.tiff, TIFFTAG_COLORMAP, &r, &g, &b)) << name;
            for (int i = 0; i < entries; ++i)
                ASSERT_EQ(image.palette[i], (PaletteEntry{uint8_t(b[i] >> 8), uint8_t(g[i] >> 8), uint8_t(r[i] >> 8), 0}))
                    << name << " entry " << i;
        } else {
            for (int i = 0; i < entries; ++i) {
                const int level = i * 255 / (entries - 1);
                const auto v = uint8_t(photometric == PHOTOMETRIC_MINISWHITE ? 255 - level : level);
                ASSERT_EQ(image.palette[i], (PaletteEntry{v, v, v, 0})) << name << " entry " << i;
            }
        }
    }
    for (uint32_t y = 0; y < h; ++y) {
        ASSERT_EQ(TIFFReadScanline(t.tiff, line.data(), y, 0), 1) << name << " row " << y;
        const uint8_t* ours = image.Row(int32_t(h - 1 - y));
        for (uint32_t x = 0; x < w; ++x) {
            if (photometric == PHOTOMETRIC_RGB) {
                for (int c = 0; c < 3; ++c) {
                    const uint8_t v = bits == 16 ? uint8_t(reinterpret_cast<const uint16_t*>(line.data())[3 * x + c] >> 8)
                                                 : line[3 * x + c];
                    ASSERT_EQ(ours[3 * x + 2 - c], v) << name << " at " << x << "," << y << " sample " << c;
                }
            } else {
                const uint8_t v = bits == 8 ? line[x]
                                  : bits == 4 ? (line[x / 2] >> (x & 1 ? 0 : 4)) & 15
                                              : (line[x / 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(ours[x], v) << name << " at " << x << "," << y;
            }
        }
    }
}

TEST(TiffLibtiff, SampleFilesDecodeToLibtiffsPixels) {
    const fs::path dir = PELIO_TESTDATA_DIR "/tiff";
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no TIFF test files in " << dir;
    int compared = 0, refusedCompressed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".tif") continue;
        const std::string name = entry.path().filename().string();
        const Tiff t(entry.path());
        if (!t.tiff) continue;
        const auto bytes = ReadAll(entry.path());
        MemoryAllocator allocator;
        DecodeResult result;
        const bool ok = DecodeTiff(bytes, LoadOptions{}, allocator, result);
        ImageHolder hold(allocator, result.image);
        if (t.U16(TIFFTAG_COMPRESSION) != COMPRESSION_NONE) {
            EXPECT_FALSE(ok) << name;
            EXPECT_EQ(result.error, kCodecUnsupported) << name;
            ++refusedCompressed;
            continue;
        }
        const uint16_t bits = t.U16(TIFFTAG_BITSPERSAMPLE), spp = t.U16(TIFFTAG_SAMPLESPERPIXEL, 1),
                       photometric = t.U16(TIFFTAG_PHOTOMETRIC),
                       planar = t.U16(TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        const bool supported =
            !TIFFIsTiled(t.tiff) && planar == PLANARCONFIG_CONTIG &&
            ((photometric == PHOTOMETRIC_RGB && spp == 3 && (bits == 8 || bits == 16)) ||
             (photometric <= PHOTOMETRIC_PALETTE && photometric != PHOTOMETRIC_RGB && spp == 1 &&
              (bits == 1 || bits == 4 || bits == 8)));
        EXPECT_EQ(ok, supported) << name << " error " << result.error;
        if (!ok) {
            EXPECT_EQ(result.error, kCodecUnsupported) << name;
            continue;
        }
        if (!supported) continue;
        EXPECT_EQ(result.image.sourceBits, photometric == PHOTOMETRIC_RGB ? 3 * bits : bits) << name;
        ExpectSamePixels(t, result.image, name);
        ++compared;
    }
    EXPECT_GT(compared, 0);
    EXPECT_GT(refusedCompressed, 0);
}

TEST(TiffLibtiff, LibtiffReadsOurFiles) {
    MemoryAllocator allocator;
    const fs::path path = fs::temp_directory_path() / ("pelio-tiff-" + std::to_string(::getpid()) + ".tif");
    struct Case {
        int depth;
        bool grey;
        int bits;
    } cases[] = {{1, false, 8}, {4, false, 8}, {4, false, 24}, {8, true, 24}, {8, false, 8}, {24, false, 8}, {24, false, 24}};
    for (int width : {1, 7, 9, 13, 22}) {
        for (const Case& c : cases) {
            Image image;
            image.header.width = width;
            image.header.height = 5;
            image.header.bitCount = uint16_t(c.bits);
            for (int i = 0; i < 256; ++i) image.palette[i] = PaletteEntry{uint8_t(i * 7), uint8_t(i), uint8_t(255 - i), 0};
            ASSERT_TRUE(allocator.Allocate(image));
            ImageHolder hold(allocator, image);
            for (int y = 0; y < 5; ++y)
                for (size_t x = 0; x < image.Stride(); ++x) image.Row(y)[x] = uint8_t(x * 29 + y * 83);
            SaveOptions options;
            options.settings.depth = c.depth;
            options.settings.gray = c.grey;
            options.settings.dither = 0;
            VectorSink sink;
            int error = 0;
            ASSERT_TRUE(EncodeTiff(image, options, sink, error));
            {
                std::ofstream out(path, std::ios::binary);
                out.write(reinterpret_cast<const char*>(sink.bytes.data()), std::streamsize(sink.bytes.size()));
            }
            DecodeResult ours;
            ASSERT_TRUE(DecodeTiff(sink.bytes, LoadOptions{}, allocator, ours));
            ImageHolder holdOurs(allocator, ours.image);
            const Tiff t(path);
            ASSERT_NE(t.tiff, nullptr);
            ExpectSamePixels(t, ours.image, "width " + std::to_string(width) + " depth " + std::to_string(c.depth));
            float xRes = 0;
            TIFFGetField(t.tiff, TIFFTAG_XRESOLUTION, &xRes);
            EXPECT_FLOAT_EQ(xRes, 0);
        }
    }
    fs::remove(path);
}

}  // namespace
}  // namespace pelio
