// PNG writing from rasters: libpng reads every kind back; chunks, filters and palettes.
#include <gtest/gtest.h>

#include <random>

#include "core/image/codec_error.h"
#include "core/image/png_reader.h"
#include "core/image/png_writer.h"
#include "tests/core/image/png_test_util.h"

namespace pelio {
namespace {

struct ParsedChunk {
    std::string type;
    std::vector<uint8_t> data;
};

std::vector<ParsedChunk> Chunks(const std::vector<uint8_t>& f) {
    std::vector<ParsedChunk> out;
    for (size_t at = 8; at + 12 <= f.size();) {
        uint32_t n = uint32_t(f[at] << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3]);
        out.push_back({std::string(f.begin() + at + 4, f.begin() + at + 8),
                       std::vector<uint8_t>(f.begin() + at + 8, f.begin() + at + 8 + n)});
        at += 12 + n;
    }
    return out;
}

std::vector<uint8_t> Find(const std::vector<uint8_t>& f, const std::string& type) {
    for (auto& c : Chunks(f))
        if (c.type == type) return c.data;
    return {};
}

// The filter type bytes of a non-interlaced file.
std::vector<int> FilterTypes(const std::vector<uint8_t>& f, size_t rowBytes, size_t rows) {
    std::vector<uint8_t> z = Find(f, "IDAT");
    std::vector<uint8_t> raw(rows * (rowBytes + 1));
    uLongf size = uLongf(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &size, z.data(), uLong(z.size())), Z_OK);
    std::vector<int> types;
    for (size_t y = 0; y < rows; ++y) types.push_back(raw[y * (rowBytes + 1)]);
    return types;
}

PngRaster Raster(uint32_t w, uint32_t h, int depth, int type, std::mt19937& random, int colours = 0) {
    PngRaster r;
    r.width = w;
    r.height = h;
    r.bitDepth = depth;
    r.colourType = type;
    r.rowBytes = (size_t(w) * (type == 2 ? 24 : depth) + 7) / 8;
    r.rows.resize(r.rowBytes * h);
    for (uint8_t& b : r.rows) b = uint8_t(random());
    for (auto& e : r.palette) {
        const int c = colours ? int(&e - r.palette.data()) % colours : int(random());
        e = PaletteEntry{uint8_t(c * 37), uint8_t(c * 91 + (colours ? 0 : int(random()))), uint8_t(c * 13), 0};
    }
    return r;
}

std::vector<uint8_t> Write(PngRaster r, const PngWriteParams& p, int* errorOut = nullptr) {
    VectorSink sink;
    int error = 0;
    bool ok = WritePngRaster(r, p, sink, error);
    if (errorOut) *errorOut = error;
    EXPECT_EQ(ok, error == 0);
    return sink.bytes;
}

// A raster pixel's colour (palette resolved) and libpng's of the written file.
std::array<int, 3> RasterColour(const PngRaster& r, uint32_t x, uint32_t y) {
    const uint8_t* row = r.rows.data() + y * r.rowBytes;
    if (r.colourType == 2) return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    const int per = 8 / r.bitDepth;
    const int v = r.bitDepth == 8 ? row[x] : (row[x / per] >> (8 - r.bitDepth * (x % per + 1))) & ((1 << r.bitDepth) - 1);
    if (r.colourType == 0) return {v, v, v};
    return {r.palette[v].red, r.palette[v].green, r.palette[v].blue};
}

std::array<int, 3> LibpngColour(const test::LibpngImage& L, uint32_t x, uint32_t y) {
    if (L.colourType == 2) return {L.At(x, y, 0), L.At(x, y, 1), L.At(x, y, 2)};
    const int v = L.At(x, y, 0);
    if (L.colourType == 0) return {v, v, v};
    return {L.palette[v].red, L.palette[v].green, L.palette[v].blue};
}

TEST(PngWriter, EveryKindReadsBackWithLibpng) {
    struct Kind {
        int depth, type;
    } kinds[] = {{8, 2}, {1, 3}, {2, 3}, {4, 3}, {8, 3}, {1, 0}, {2, 0}, {4, 0}, {8, 0}};
    std::mt19937 random(3);
    for (const Kind& k : kinds)
        for (int interlace = 0; interlace < 2; ++interlace)
            for (int filter = 0; filter <= 5; ++filter)
                for (uint32_t w : {1u, 7u, 33u}) {
                    PngRaster r = Raster(w, 9, k.depth, k.type, random, k.type == 3 ? 1 << k.depth : 0);
                    // Smooth rows give the filters something to choose between.
                    if (filter % 2 == 0 && k.type != 3)
                        for (size_t i = 0; i < r.rows.size(); ++i) r.rows[i] = uint8_t(i / 5);
                    PngWriteParams p;
                    p.filter = filter;
                    p.interlace = interlace;
                    p.level = filter;  // levels 0..5 on the way
                    std::vector<uint8_t> file = Write(r, p);
                    test::LibpngImage L = test::ReadWithLibpng(file);
                    ASSERT_TRUE(L.ok) << k.depth << "/" << k.type;
                    EXPECT_EQ(L.depth, k.depth);
                    EXPECT_EQ(L.colourType, k.type);
                    EXPECT_EQ(L.interlace, interlace);
                    bool same = true;
                    for (uint32_t y = 0; y < r.height; ++y)
                        for (uint32_t x = 0; x < w; ++x) same &= RasterColour(r, x, y) == LibpngColour(L, x, y);
                    EXPECT_TRUE(same) << "depth " << k.depth << " type " << k.type << " interlace "
                                      << interlace << " filter " << filter << " width " << w;
                    // Our reader agrees.
                    MemoryAllocator allocator;
                    DecodeResult d;
                    ASSERT_TRUE(DecodePng(file, LoadOptions{}, allocator, d));
                    ImageHolder hold(allocator, d.image);
                    EXPECT_EQ(d.info.interlaced, interlace);
                }
}

TEST(PngWriter, AutoFilterCountingRule) {
    auto flat = [](uint32_t w, uint32_t h, int type, uint8_t v) {
        PngRaster r;
        r.width = w;
        r.height = h;
        r.colourType = type;
        r.bitDepth = 8;
        r.rowBytes = type == 2 ? 3 * w : w;
        r.rows.assign(r.rowBytes * h, v);
        return r;
    };
    auto rows = [](PngRaster r, std::vector<std::vector<uint8_t>> v) {
        r.rows.clear();
        for (auto& row : v) r.rows.insert(r.rows.end(), row.begin(), row.end());
        return r;
    };
    const PngRaster grey4x2 = flat(4, 2, 0, 0);
    struct Case {
        const char* what;
        PngRaster raster;
        std::vector<int> types;
    } cases[] = {
        {"flat black", flat(20, 4, 2, 0), {0, 0, 0, 0}},
        {"flat white", flat(20, 4, 2, 255), {0, 0, 0, 0}},
        // Sub leaves zero runs on the first row; Up gives zeros below, Paeth ties with it.
        {"flat mid-grey", flat(20, 4, 2, 128), {1, 2, 2, 2}},
        // Sub and Paeth tie on the first row: Sub.  Second row: Up's zeros win.
        {"grey ramp", rows(grey4x2, {{5, 5, 5, 5}, {5, 5, 5, 5}}), {1, 2}},
        // None already counts the most runs.
        {"zeros then 3s", rows(grey4x2, {{3, 3, 3, 3}, {0, 0, 0, 0}}), {0, 0}},
        // Average's 3, 3, 3, 3 beat Sub's 3, 1, 1, 1; the noisy row stays None.
        {"steps", rows(grey4x2, {{3, 4, 5, 6}, {9, 200, 9, 200}}), {3, 0}},
    };
    for (Case& c : cases) {
        PngWriteParams p;
        p.filter = 0;
        std::vector<uint8_t> file = Write(c.raster, p);
        EXPECT_EQ(FilterTypes(file, c.raster.rowBytes, c.raster.height), c.types) << c.what;
        // A fixed filter is used on every row, and palettes always use None.
        p.filter = 5;
        EXPECT_EQ(FilterTypes(Write(c.raster, p), c.raster.rowBytes, c.raster.height),
                  std::vector<int>(c.raster.height, 4)) << c.what;
        c.raster.colourType = 3;
        c.raster.rowBytes = c.raster.width;
        c.raster.rows.resize(c.raster.width * c.raster.height);
        EXPECT_EQ(FilterTypes(Write(c.raster, p), c.raster.rowBytes, c.raster.height),
                  std::vector<int>(c.raster.height, 0)) << c.what;
    }
}

TEST(PngWriter, PaletteCompaction) {
    std::mt19937 random(9);
    // 256 entries holding 10 colours: a 30-byte PLTE; pixels keep their colours.
    PngRaster r = Raster(16, 16, 8, 3, random, 10);
    for (size_t i = 0; i < r.rows.size(); ++i) r.rows[i] = uint8_t(i);
    std::vector<uint8_t> file = Write(r, PngWriteParams{});
    EXPECT_EQ(Find(file, "PLTE").size(), 30u);
    test::LibpngImage L = test::ReadWithLibpng(file);
    ASSERT_TRUE(L.ok);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(RasterColour(r, x, y), LibpngColour(L, x, y));
    struct Case {
        const char* what;
        int depth;
        std::vector<int> colours;  // per entry
        std::vector<int> map;
    } cases[] = {
        {"all distinct", 2, {1, 2, 3, 4}, {0, 1, 2, 3}},
        {"duplicates", 2, {5, 6, 5, 7}, {0, 1, 0, 2}},
        {"entry 0 repeated", 4, {1, 1, 1, 1, 2, 2, 2, 2, 1, 3, 3, 3, 3, 3, 3, 2}, {0, 0, 0, 0, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 2, 1}},
        {"1 bit keeps both", 1, {4, 4}, {0, 1}},
    };
    for (const Case& c : cases) {
        PngRaster p;
        p.width = uint32_t(c.colours.size());
        p.height = 1;
        p.bitDepth = c.depth;
        p.colourType = 3;
        p.rowBytes = (p.width * c.depth + 7) / 8;
        p.rows.assign(p.rowBytes, 0);
        for (size_t i = 0; i < c.colours.size(); ++i) {
            p.palette[i] = PaletteEntry{uint8_t(c.colours[i]), 0, 0, 0};
            const int per = 8 / c.depth;
            p.rows[i / per] |= uint8_t(i << (8 - c.depth * (i % per + 1)));
        }
        PngRaster q = p;
        const int kept = CompactPalette(q);
        int distinct = 0;
        for (int m : c.map) distinct = std::max(distinct, m + 1);
        EXPECT_EQ(kept, c.depth == 1 ? 2 : distinct) << c.what;
        for (size_t i = 0; i < c.colours.size(); ++i) {
            EXPECT_EQ(RasterColour(q, uint32_t(i), 0), RasterColour(p, uint32_t(i), 0)) << c.what << " " << i;
            const int per = 8 / c.depth;
            EXPECT_EQ((q.rows[i / per] >> (8 - c.depth * (i % per + 1))) & ((1 << c.depth) - 1), c.map[i]) << c.what;
        }
    }
}

TEST(PngWriter, TransparencyChunks) {
    auto palette = [](int depth, std::vector<std::array<uint8_t, 3>> colours) {
        PngRaster r;
        r.width = 1;
        r.height = 1;
        r.bitDepth = depth;
        r.colourType = 3;
        r.rowBytes = 1;
        r.rows = {0};
        for (size_t i = 0; i < colours.size(); ++i)
            r.palette[i] = PaletteEntry{colours[i][2], colours[i][1], colours[i][0], 0};
        for (size_t i = colours.size(); i < 256; ++i) r.palette[i] = PaletteEntry{1, 2, 3, 0};
        return r;
    };
    PngRaster rgb;
    rgb.width = rgb.height = 1;
    rgb.colourType = 2;
    rgb.rowBytes = 3;
    rgb.rows = {1, 2, 3};
    PngRaster grey = rgb;
    grey.colourType = 0;
    grey.rowBytes = 1;
    grey.rows = {1};
    const std::array<uint8_t, 3> W{255, 255, 255}, K{0, 0, 0}, R{200, 0, 0};
    struct Case {
        const char* what;
        PngRaster raster;
        std::array<uint8_t, 3> colour;
        std::vector<uint8_t> trns, bkgd;
    } cases[] = {
        {"truecolour", rgb, {10, 20, 255}, {0, 10, 0, 20, 0, 255}, {0, 10, 0, 20, 0, 255}},
        {"grey level", grey, {100, 200, 50}, {0, 153}, {0, 153}},
        // White at 3 and 7 is one entry after compaction.
        {"palette duplicates", palette(8, {K, R, K, W, R, K, K, W}), W, {255, 255, 0}, {2}},
        {"palette 1 bit", palette(1, {W, W}), W, {0, 0}, {1}},
        {"palette 4 bit last", palette(4, {K, W, R}), W, {255, 0}, {1}},
        {"nearest", palette(2, {K, {250, 250, 250}, {250, 250, 250}, R}), W, {255, 0}, {1}},
        {"nearest first on ties", palette(2, {{10, 0, 0}, {0, 10, 0}, K, R}), {5, 5, 0}, {0}, {0}},
    };
    for (const Case& c : cases) {
        PngWriteParams p;
        p.transparent = true;
        p.transparentRed = c.colour[0];
        p.transparentGreen = c.colour[1];
        p.transparentBlue = c.colour[2];
        std::vector<uint8_t> file = Write(c.raster, p);
        EXPECT_EQ(Find(file, "tRNS"), c.trns) << c.what;
        EXPECT_EQ(Find(file, "bKGD"), c.bkgd) << c.what;
        EXPECT_TRUE(test::ReadWithLibpng(file).ok) << c.what;
    }
}

TEST(PngWriter, ChunksAndTheirOrder) {
    std::mt19937 random(2);
    PngRaster r = Raster(5, 5, 4, 3, random);
    PngWriteParams p;
    p.gamma = true;
    p.transparent = true;
    p.comment = true;
    p.commentText = "line\r\nnext";
    p.xPelsPerMeter = 2835;
    p.yPelsPerMeter = 1000;
    std::vector<uint8_t> file = Write(r, p);
    std::vector<std::string> order;
    for (auto& c : Chunks(file)) order.push_back(c.type);
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "gAMA", "pHYs", "PLTE", "tRNS", "bKGD", "IDAT", "tEXt", "IEND"}));
    EXPECT_EQ(Find(file, "gAMA"), (std::vector<uint8_t>{0, 0, 0xB1, 0x8F}));  // 45455
    EXPECT_EQ(Find(file, "pHYs"), (std::vector<uint8_t>{0, 0, 0x0B, 0x13, 0, 0, 0x03, 0xE8, 1}));
    EXPECT_EQ(Find(file, "tEXt"), test::Text("Comment", "line\nnext"));
    MemoryAllocator allocator;
    DecodeResult d;
    ASSERT_TRUE(DecodePng(file, LoadOptions{}, allocator, d));
    ImageHolder hold(allocator, d.image);
    EXPECT_EQ(d.info.comment, 1);
    EXPECT_EQ(d.image.header.xPelsPerMeter, 2835);

    struct Gamma {
        int saveGamma;
        uint32_t value;
    } gammas[] = {{2200, 45455}, {1000, 100000}, {0, 100000000}, {3, 33333333}};
    for (const Gamma& g : gammas) {
        PngWriteParams q;
        q.gamma = true;
        q.saveGamma = g.saveGamma;
        std::vector<uint8_t> v = Find(Write(r, q), "gAMA");
        ASSERT_EQ(v.size(), 4u);
        EXPECT_EQ(uint32_t(v[0] << 24 | v[1] << 16 | v[2] << 8 | v[3]), g.value) << g.saveGamma;
    }
    // Only what is asked for; an empty comment writes nothing; one resolution of 0 neither.
    PngWriteParams bare;
    bare.comment = true;
    bare.xPelsPerMeter = 100;
    order.clear();
    for (auto& c : Chunks(Write(r, bare))) order.push_back(c.type);
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
    // At most 10000 bytes of text, carriage returns not counted.
    PngWriteParams lng;
    lng.comment = true;
    lng.commentText = std::string(5000, '\r') + std::string(10005, 'a');
    EXPECT_EQ(Find(Write(r, lng), "tEXt").size(), 8u + 10000u);
}

TEST(PngWriter, LevelsAndFailures) {
    std::mt19937 random(4);
    PngRaster r = Raster(40, 30, 8, 2, random);
    for (int level : {-1, 0, 1, 9}) {
        PngWriteParams p;
        p.level = level;
        std::vector<uint8_t> file = Write(r, p);
        EXPECT_TRUE(test::ReadWithLibpng(file).ok) << level;
    }
    for (int level : {-2, 10}) {
        PngWriteParams p;
        p.level = level;
        int error = 0;
        Write(r, p, &error);
        EXPECT_EQ(error, kPngDeflate) << level;
    }
    struct FailingSink final : ByteSink {
        bool Write(const void*, size_t) override { return false; }
    } failing;
    int error = 0;
    PngRaster copy = r;
    EXPECT_FALSE(WritePngRaster(copy, PngWriteParams{}, failing, error));
    EXPECT_EQ(error, kCodecSaveFailed);
}

}  // namespace
}  // namespace pelio
