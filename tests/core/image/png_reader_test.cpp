// PNG reading: strict checks, pixels against libpng, gamma, compositing and source facts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"
#include "core/image/png_reader.h"
#include "tests/core/image/png_test_util.h"

namespace pelio {
namespace {

using test::AppendChunk;
using test::BuildPng;
using test::Chunk;
using test::LibpngImage;
using test::PushU32BE;

struct Decoded {
    MemoryAllocator allocator;
    DecodeResult result;
    bool ok = false;
    ~Decoded() {
        if (result.image.bits) allocator.Release(result.image);
    }
    // Red, green, blue of a pixel counted from the top.
    std::array<uint8_t, 3> Rgb(uint32_t x, uint32_t y) const {
        const Image& im = result.image;
        const uint8_t* row = im.Row(im.Height() - 1 - int32_t(y));
        if (im.BitCount() == 8) {
            const PaletteEntry& e = im.palette[row[x]];
            return {e.red, e.green, e.blue};
        }
        return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    }
};

void Decode(const std::vector<uint8_t>& file, Decoded& d, const LoadOptions& o = {}) {
    d.ok = DecodePng(file, o, d.allocator, d.result);
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The reader's rules applied to what libpng decodes: 16 bits to 8 by the high byte, grey
// levels by depth, gamma, the background choice and compositing with the blend table.
struct Expected {
    int bits = 8;
    std::vector<std::array<uint8_t, 3>> rgb;
};

Expected Model(const LibpngImage& L, const LoadOptions& o) {
    const PngAlphaTable& blend = PngBlendTable();
    const int display = o.gamma ? std::max(1, o.displayGamma) : 0;
    const bool gamma = display > 0 && L.hasGama && L.gama > 0;
    std::array<uint8_t, 256> g{};
    for (int i = 0; i < 256; ++i) g[i] = uint8_t(i);
    if (gamma) {
        const double e = 1.0 / ((L.gama / 100000.0) * (display / 1000.0));
        for (int i = 1; i < 256; ++i) g[i] = uint8_t(std::floor(255.0 * std::pow(i / 255.0, e) + 0.5));
    }
    const int step = L.depth == 1 ? 255 : L.depth == 2 ? 85 : L.depth == 4 ? 17 : 1;
    auto to8 = [&](uint16_t s) { return uint8_t(L.depth == 16 ? s >> 8 : L.depth < 8 ? s * step : s); };
    const bool transparent = o.alpha && (L.hasTrns || (L.colourType & 4));
    std::array<uint8_t, 3> bg{o.background.red, o.background.green, o.background.blue};
    if (o.fileBackground && L.hasBkgd) {
        if (L.colourType == 3) {
            const png_color& c = L.palette[L.bkgd.index];
            bg = {c.red, c.green, c.blue};
        } else if (L.colourType & 2) {
            bg = {to8(L.bkgd.red), to8(L.bkgd.green), to8(L.bkgd.blue)};
        } else {
            bg = {to8(L.bkgd.gray), to8(L.bkgd.gray), to8(L.bkgd.gray)};
        }
        for (uint8_t& v : bg) v = v ? g[v] : 0;
    }
    auto mix = [&](int a, uint8_t v, uint8_t b) { return uint8_t(blend[a][v] + blend[255 - a][b]); };
    Expected ex;
    ex.bits = (L.colourType & 2) && L.colourType != 3 ? 24 : 8;
    if (L.colourType == 0 && L.depth == 16 && transparent) ex.bits = 24;
    for (uint32_t y = 0; y < L.height; ++y) {
        for (uint32_t x = 0; x < L.width; ++x) {
            std::array<uint8_t, 3> c{};
            switch (L.colourType) {
            case 0: {
                uint16_t s = L.At(x, y, 0);
                uint8_t v = g[to8(s)];
                c = {v, v, v};
                if (transparent && s == L.trns.gray) c = bg;
                break;
            }
            case 2: {
                for (int k = 0; k < 3; ++k) c[k] = g[to8(L.At(x, y, k))];
                if (transparent && L.At(x, y, 0) == L.trns.red && L.At(x, y, 1) == L.trns.green &&
                    L.At(x, y, 2) == L.trns.blue)
                    c = bg;
                break;
            }
            case 3: {
                uint16_t i = L.At(x, y, 0);
                const png_color& p = L.palette[i];
                c = {g[p.red], g[p.green], g[p.blue]};
                int a = i < L.paletteAlpha.size() ? L.paletteAlpha[i] : 255;
                if (transparent)
                    for (int k = 0; k < 3; ++k) c[k] = mix(a, c[k], bg[k]);
                break;
            }
            case 4: {
                uint8_t v = to8(L.At(x, y, 0));
                if (transparent) v = mix(to8(L.At(x, y, 1)), v, bg[0]);
                c = {g[v], g[v], g[v]};
                break;
            }
            case 6: {
                for (int k = 0; k < 3; ++k) c[k] = g[to8(L.At(x, y, k))];
                if (transparent)
                    for (int k = 0; k < 3; ++k) c[k] = mix(to8(L.At(x, y, 3)), c[k], bg[k]);
                break;
            }
            }
            ex.rgb.push_back(c);
        }
    }
    return ex;
}

// Our decode of `file` against the model over libpng's; a message naming the first mismatch.
std::string CompareWithLibpng(const std::vector<uint8_t>& file, const LoadOptions& o) {
    LibpngImage L = test::ReadWithLibpng(file);
    if (!L.ok) return "libpng refused the file";
    Decoded d;
    Decode(file, d, o);
    if (!d.ok) return "error " + std::to_string(d.result.error);
    Expected ex = Model(L, o);
    const Image& im = d.result.image;
    if (im.BitCount() != ex.bits) return "bit count " + std::to_string(im.BitCount());
    if (uint32_t(im.Width()) != L.width || uint32_t(im.Height()) != L.height) return "size";
    for (uint32_t y = 0; y < L.height; ++y)
        for (uint32_t x = 0; x < L.width; ++x) {
            auto got = d.Rgb(x, y), want = ex.rgb[size_t(y) * L.width + x];
            if (got != want)
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       std::to_string(got[0]) + "," + std::to_string(got[1]) + "," +
                       std::to_string(got[2]) + " not " + std::to_string(want[0]) + "," +
                       std::to_string(want[1]) + "," + std::to_string(want[2]);
        }
    const int sourceBits = L.colourType == 2 || L.colourType == 6 ? L.depth * 3 : L.depth;
    if (im.sourceBits != sourceBits) return "sourceBits " + std::to_string(im.sourceBits);
    if (d.result.info.interlaced != L.interlace) return "interlaced";
    if (d.result.info.transparency != int(L.hasTrns || (L.colourType & 4))) return "transparency";
    return "";
}

std::vector<LoadOptions> OptionSets() {
    LoadOptions plain;
    LoadOptions noGamma;
    noGamma.gamma = false;
    LoadOptions noAlpha;
    noAlpha.alpha = false;
    LoadOptions fixedBg;
    fixedBg.fileBackground = false;
    fixedBg.background = PaletteEntry{200, 40, 90, 0};
    LoadOptions display1;
    display1.displayGamma = 0;  // counts as 1
    return {plain, noGamma, noAlpha, fixedBg, display1};
}

TEST(PngReader, SuiteMatchesLibpng) {
    const std::filesystem::path dir = PELIO_TESTDATA_DIR "/pngsuite";
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "PNG suite not found at " << dir;
    // The suite's broken files and the check each one trips.
    const std::map<std::string, int> broken = {
        {"xc1n0g08.png", kPngIhdrColourType}, {"xc9n2c08.png", kPngIhdrColourType},
        {"xcrn0g04.png", kCodecBadFile},      {"xcsn0g01.png", kPngCrc},
        {"xd0n2c08.png", kPngIhdrBitDepth},   {"xd3n2c08.png", kPngIhdrBitDepth},
        {"xd9n2c08.png", kPngIhdrBitDepth},   {"xdtn0g01.png", kPngCriticalChunk},
        {"xhdn0g08.png", kPngCrc},            {"xlfn0g04.png", kCodecBadFile},
        {"xs1n0g01.png", kCodecBadFile},      {"xs2n0g01.png", kCodecBadFile},
        {"xs4n0g01.png", kCodecBadFile},      {"xs7n0g01.png", kCodecBadFile},
    };
    int valid = 0, invalid = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") continue;
        std::vector<uint8_t> file = ReadFile(entry.path());
        if (name[0] == 'x') {
            Decoded d;
            Decode(file, d);
            EXPECT_FALSE(d.ok) << name;
            auto it = broken.find(name);
            EXPECT_EQ(d.result.error, it == broken.end() ? -1 : it->second) << name;
            ++invalid;
            continue;
        }
        for (const LoadOptions& o : OptionSets())
            EXPECT_EQ(CompareWithLibpng(file, o), "") << name << " gamma " << o.gamma
                                                      << " alpha " << o.alpha << " fbg "
                                                      << o.fileBackground;
        ++valid;
    }
    EXPECT_GT(valid, 100);
    EXPECT_EQ(invalid, int(broken.size()));
}

// Random filtered rows (any bytes are valid filtered data) for every pixel format, each row
// with its own filter type, against libpng.
TEST(PngReader, EveryFormatAndFilterMatchesLibpng) {
    struct Format {
        int depth, type;
    } formats[] = {{1, 0}, {2, 0}, {4, 0}, {8, 0}, {16, 0}, {8, 2}, {16, 2}, {1, 3}, {2, 3},
                   {4, 3}, {8, 3}, {8, 4},  {16, 4}, {8, 6}, {16, 6}};
    std::mt19937 random(5);
    for (const Format& f : formats) {
        for (int interlace = 0; interlace < 2; ++interlace) {
            for (uint32_t w : {1u, 5u, 13u}) {
                const uint32_t h = 11;
                const int channels = f.type == 2 ? 3 : f.type == 4 ? 2 : f.type == 6 ? 4 : 1;
                const size_t bpp = size_t(f.depth) * channels;
                std::vector<uint8_t> raw;
                int filter = 0;
                auto addRows = [&](uint32_t cols, uint32_t rows) {
                    if (cols == 0) return;
                    for (uint32_t r = 0; r < rows; ++r) {
                        raw.push_back(uint8_t(filter++ % 5));
                        for (size_t i = 0; i < (cols * bpp + 7) / 8; ++i) raw.push_back(uint8_t(random()));
                    }
                };
                if (interlace) {
                    for (const auto& p : std::array<std::array<uint32_t, 4>, 7>{
                             {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}})
                        addRows(w > p[0] ? (w - p[0] + p[2] - 1) / p[2] : 0,
                                h > p[1] ? (h - p[1] + p[3] - 1) / p[3] : 0);
                } else {
                    addRows(w, h);
                }
                std::vector<Chunk> before;
                if (f.type == 3) {
                    std::vector<uint8_t> plte;
                    for (int i = 0; i < (1 << f.depth) * 3; ++i) plte.push_back(uint8_t(random()));
                    before.push_back({"PLTE", plte});
                    before.push_back({"tRNS", {0, 128, 255, 7}});
                }
                if (f.type == 0 || f.type == 2) {
                    // A transparent colour taken from the first pixel so that it matches.
                    std::vector<uint8_t> t(f.type == 0 ? 2 : 6, 0);
                    if (f.depth == 16) std::copy_n(raw.begin() + 1, t.size(), t.begin());
                    before.push_back({"tRNS", t});
                }
                auto file = BuildPng(w, h, f.depth, f.type, raw, before, {}, 0, interlace);
                for (const LoadOptions& o : OptionSets())
                    EXPECT_EQ(CompareWithLibpng(file, o), "")
                        << "depth " << f.depth << " type " << f.type << " width " << w
                        << " interlace " << interlace;
            }
        }
    }
}

TEST(PngReader, RunsOfPaethRowsMatchLibpng) {
    // Runs of one to four Paeth rows between other filters; the widest rows span several
    // inflate blocks.
    const int pattern[] = {4, 4, 1, 4, 4, 4, 2, 4, 3, 4, 4, 4, 4, 0, 4};
    struct Format {
        int depth, type;
    } formats[] = {{8, 0}, {16, 0}, {8, 2}, {16, 2}, {8, 4}, {16, 4}, {8, 6}, {16, 6}, {8, 3}};
    std::mt19937 random(11);
    for (const Format& f : formats) {
        for (int interlace = 0; interlace < 2; ++interlace) {
            for (uint32_t w : {1u, 2u, 7u, 9000u}) {
                const uint32_t h = w > 100 ? 31 : 17;
                const int channels = f.type == 2 ? 3 : f.type == 4 ? 2 : f.type == 6 ? 4 : 1;
                const size_t bpp = size_t(f.depth) * channels;
                std::vector<uint8_t> raw;
                size_t row = 0;
                auto addRows = [&](uint32_t cols, uint32_t rows) {
                    if (cols == 0) return;
                    for (uint32_t r = 0; r < rows; ++r) {
                        raw.push_back(uint8_t(pattern[row++ % std::size(pattern)]));
                        for (size_t i = 0; i < (cols * bpp + 7) / 8; ++i) raw.push_back(uint8_t(random()));
                    }
                };
                if (interlace) {
                    for (const Adam7Pass& p : kAdam7) addRows(PassExtent(w, p.x0, p.dx), PassExtent(h, p.y0, p.dy));
                } else {
                    addRows(w, h);
                }
                std::vector<Chunk> before;
                if (f.type == 3) {
                    std::vector<uint8_t> plte;
                    for (int i = 0; i < 256 * 3; ++i) plte.push_back(uint8_t(random()));
                    before.push_back({"PLTE", plte});
                }
                if (f.type == 2) {
                    std::vector<uint8_t> t(6, 0);
                    if (f.depth == 16) std::copy_n(raw.begin() + 1, t.size(), t.begin());
                    before.push_back({"tRNS", t});
                }
                auto file = BuildPng(w, h, f.depth, f.type, raw, before, {}, 0, interlace);
                for (const LoadOptions& o : OptionSets())
                    EXPECT_EQ(CompareWithLibpng(file, o), "")
                        << "depth " << f.depth << " type " << f.type << " width " << w
                        << " interlace " << interlace;
            }
        }
    }
}

TEST(PngReader, RunsOfAverageAndPaethRowsMatchLibpng) {
    // Runs of one to nine rows of one filter: rows of average and of Paeth go four at a time,
    // so runs end at every place in a group of four. Widths of one to seven pixels leave a
    // group no pixel where all four rows are in their middle; the widest rows span inflate
    // blocks. The transparent colour is a pixel inside the third row of the image.
    struct Run {
        int filter, rows;
    };
    const Run runs[] = {{4, 4}, {3, 5}, {0, 1}, {4, 9}, {3, 4}, {2, 2}, {4, 6}, {3, 7}, {1, 1}, {4, 8},
                        {3, 3}, {4, 1}, {3, 6}, {4, 7}, {3, 1}, {4, 2}, {3, 8}, {4, 3}, {3, 2}};
    std::vector<uint8_t> filters;
    for (const Run& run : runs) filters.insert(filters.end(), size_t(run.rows), uint8_t(run.filter));
    struct Format {
        int depth, type;
    } formats[] = {{8, 0}, {16, 0}, {8, 2}, {16, 2}, {8, 4}, {16, 4}, {8, 6}, {16, 6}, {8, 3}};
    std::mt19937 random(13);
    for (const Format& f : formats) {
        for (int interlace = 0; interlace < 2; ++interlace) {
            for (uint32_t w : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 33u, 9000u}) {
                const uint32_t h = w > 100 ? 45 : uint32_t(filters.size());
                const int channels = f.type == 2 ? 3 : f.type == 4 ? 2 : f.type == 6 ? 4 : 1;
                const size_t bpp = size_t(f.depth) * channels;
                std::vector<uint8_t> raw;
                size_t row = 0;
                auto addRows = [&](uint32_t cols, uint32_t rows) {
                    if (cols == 0) return;
                    for (uint32_t r = 0; r < rows; ++r) {
                        raw.push_back(filters[row++ % filters.size()]);
                        for (size_t i = 0; i < (cols * bpp + 7) / 8; ++i) raw.push_back(uint8_t(random()));
                    }
                };
                if (interlace) {
                    for (const Adam7Pass& p : kAdam7) addRows(PassExtent(w, p.x0, p.dx), PassExtent(h, p.y0, p.dy));
                } else {
                    addRows(w, h);
                }
                std::vector<Chunk> before;
                if (f.type == 3) {
                    std::vector<uint8_t> plte;
                    for (int i = 0; i < 256 * 3; ++i) plte.push_back(uint8_t(random()));
                    before.push_back({"PLTE", plte});
                }
                if (f.type == 2) {
                    const LibpngImage L = test::ReadWithLibpng(BuildPng(w, h, f.depth, f.type, raw, {}, {}, 0, interlace));
                    ASSERT_TRUE(L.ok);
                    std::vector<uint8_t> key;
                    for (int k = 0; k < 3; ++k) {
                        const uint16_t v = L.At(w / 2, 2, k);
                        key.push_back(uint8_t(v >> 8));
                        key.push_back(uint8_t(v));
                    }
                    before.push_back({"tRNS", key});
                }
                auto file = BuildPng(w, h, f.depth, f.type, raw, before, {}, 0, interlace);
                for (const LoadOptions& o : OptionSets())
                    EXPECT_EQ(CompareWithLibpng(file, o), "")
                        << "depth " << f.depth << " type " << f.type << " width " << w
                        << " interlace " << interlace;
            }
        }
    }
}

// A minimal valid 2×2 8-bit grey file with chunks inserted, for the checks.
std::vector<uint8_t> GreyFile(const std::vector<Chunk>& before = {}, const std::vector<Chunk>& after = {},
                              size_t idatPart = 0) {
    return BuildPng(2, 2, 8, 0, {0, 10, 20, 0, 30, 40}, before, after, idatPart);
}

std::vector<uint8_t> Patched(std::vector<uint8_t> f, size_t at, std::vector<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), f.begin() + at);
    return f;
}

// IHDR with a given data, CRC fixed, followed by a valid rest of file.
std::vector<uint8_t> WithIhdr(std::vector<uint8_t> ihdr, uint32_t length = 13) {
    std::vector<uint8_t> f = test::Signature();
    PushU32BE(f, length);
    size_t at = f.size();
    f.insert(f.end(), {'I', 'H', 'D', 'R'});
    f.insert(f.end(), ihdr.begin(), ihdr.end());
    PushU32BE(f, uint32_t(crc32(0, f.data() + at, uInt(f.size() - at))));
    std::vector<uint8_t> good = GreyFile();
    f.insert(f.end(), good.begin() + 33, good.end());
    return f;
}

TEST(PngReader, EachViolationHasItsCode) {
    const std::vector<uint8_t> good = GreyFile();
    std::vector<uint8_t> badSig = Patched(good, 1, {'Q'});
    std::vector<uint8_t> shortFile(good.begin(), good.begin() + 32);
    std::vector<uint8_t> notIhdr = test::Signature();
    AppendChunk(notIhdr, "IHDx", test::IhdrData(2, 2, 8, 0));
    notIhdr.insert(notIhdr.end(), good.begin() + 33, good.end());
    std::vector<uint8_t> ihdrCrc = Patched(good, 29, {0xEE});
    auto ihdr = [](uint32_t w, uint32_t h, int depth, int type, int comp = 0, int filt = 0, int inter = 0) {
        auto d = test::IhdrData(w, h, depth, type, inter);
        d[10] = uint8_t(comp);
        d[11] = uint8_t(filt);
        return WithIhdr(d);
    };
    auto withLongIhdr = [] {
        auto d = test::IhdrData(2, 2, 8, 0);
        d.push_back(0);
        return WithIhdr(d, 14);
    };
    std::vector<uint8_t> hugeLength = GreyFile({{"abCD", {1, 2}}});
    hugeLength[33] = 0x80;
    std::vector<uint8_t> pastEnd = GreyFile({{"abCD", {1, 2}}});
    pastEnd[35] = 0x7F;
    std::vector<uint8_t> noIend = GreyFile();
    noIend.resize(noIend.size() - 12);
    std::vector<uint8_t> iendCrc = good;
    iendCrc.back() ^= 1;
    std::vector<uint8_t> idatCrc = GreyFile();
    idatCrc[idatCrc.size() - 13] ^= 1;  // last byte of the one IDAT's CRC
    auto splitWithBadSecond = [] {
        std::vector<uint8_t> f = GreyFile({}, {}, 4);
        // First IDAT: 4 data bytes at 33..48; the second one's CRC follows its 4 bytes.
        f[49 + 8 + 4] ^= 1;
        return f;
    };
    auto twoRuns = [] {
        std::vector<uint8_t> f = GreyFile({}, {{"tEXt", test::Text("a", "b")}, {"IDAT", {}}});
        return f;
    };
    std::vector<uint8_t> plteRgb = BuildPng(1, 1, 8, 3, {0, 0});
    std::vector<uint8_t> noIdat = test::Signature();
    AppendChunk(noIdat, "IHDR", test::IhdrData(2, 2, 8, 0));
    AppendChunk(noIdat, "IEND", {});
    std::vector<uint8_t> badZlib = Patched(good, 41, {0xFF, 0xFF});
    // Fix the IDAT CRC after patching its zlib header.
    auto refix = [](std::vector<uint8_t> f) {
        size_t at = 33;
        uint32_t n = uint32_t(f[at] << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3]);
        uint32_t crc = uint32_t(crc32(0, f.data() + at + 4, n + 4));
        for (int i = 0; i < 4; ++i) f[at + 8 + n + i] = uint8_t(crc >> (24 - 8 * i));
        return f;
    };
    // A stream cut short: rows missing and no end of stream.
    std::vector<uint8_t> cut = test::Signature();
    AppendChunk(cut, "IHDR", test::IhdrData(2, 2, 8, 0));
    auto z = test::Deflate({0, 10, 20, 0, 30, 40});
    AppendChunk(cut, "IDAT", std::vector<uint8_t>(z.begin(), z.begin() + 4));
    AppendChunk(cut, "IEND", {});

    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int error;
    } cases[] = {
        {"valid", good, 0},
        {"32 bytes", shortFile, kCodecBadFile},
        {"signature", badSig, kCodecBadFile},
        {"IHDR length 14", withLongIhdr(), kPngIhdrLength},
        {"first chunk not IHDR", notIhdr, kPngIhdrType},
        {"IHDR CRC", ihdrCrc, kPngCrc},
        {"width 0", ihdr(0, 2, 8, 0), kCodecUnsupported},
        {"height 25001", ihdr(2, 25001, 8, 0), kCodecUnsupported},
        {"width 2^31", ihdr(0x80000000u, 2, 8, 0), kCodecUnsupported},
        {"compression 1", ihdr(2, 2, 8, 0, 1), kPngIhdrCompression},
        {"filter method 1", ihdr(2, 2, 8, 0, 0, 1), kPngIhdrFilter},
        {"interlace 2", ihdr(2, 2, 8, 0, 0, 0, 2), kPngIhdrInterlace},
        {"colour type 1", ihdr(2, 2, 8, 1), kPngIhdrColourType},
        {"colour type 7", ihdr(2, 2, 8, 7), kPngIhdrColourType},
        {"depth 3", ihdr(2, 2, 3, 0), kPngIhdrBitDepth},
        {"depth 4 RGB", ihdr(2, 2, 4, 2), kPngIhdrColourType},
        {"depth 16 palette", ihdr(2, 2, 16, 3), kPngIhdrColourType},
        {"chunk length 2^31", hugeLength, kPngChunkLength},
        {"chunk past the end", pastEnd, kCodecBadFile},
        {"second IHDR", GreyFile({{"IHDR", test::IhdrData(2, 2, 8, 0)}}), kPngChunkOrder},
        {"no IEND", noIend, kCodecBadFile},
        {"IEND CRC", iendCrc, kPngCrc},
        {"IDAT CRC", idatCrc, kPngCrc},
        {"later IDAT of the run CRC", splitWithBadSecond(), kPngIdatLength},
        {"second IDAT run", twoRuns(), kPngChunkOrder},
        {"palette without PLTE", plteRgb, kPngCriticalChunk},
        {"no IDAT", noIdat, kPngCriticalChunk},
        {"zlib header", refix(badZlib), kPngInflate},
        {"stream cut short", cut, kPngInflate},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        EXPECT_EQ(d.ok, c.error == 0) << c.what;
        EXPECT_EQ(d.result.error, c.error) << c.what;
        if (!d.ok) {
            EXPECT_EQ(d.result.image.bits, nullptr) << c.what;
        }
    }
}

TEST(PngReader, PaletteChunkOrderAndCrc) {
    const std::vector<uint8_t> raw = {0, 0x01};
    const std::vector<uint8_t> plte = {255, 0, 0, 0, 255, 0};
    auto file = [&](std::vector<Chunk> before, std::vector<Chunk> after) {
        return BuildPng(2, 1, 8, 3, raw, before, after);
    };
    std::vector<uint8_t> badCrc = test::Signature();
    AppendChunk(badCrc, "IHDR", test::IhdrData(2, 1, 8, 3));
    AppendChunk(badCrc, "PLTE", plte, 1);
    AppendChunk(badCrc, "IDAT", test::Deflate(raw));
    AppendChunk(badCrc, "IEND", {});
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int error;
    } cases[] = {
        {"PLTE then IDAT", file({{"PLTE", plte}}, {}), 0},
        {"PLTE twice", file({{"PLTE", plte}, {"PLTE", plte}}, {}), kPngChunkOrder},
        {"PLTE after IDAT", file({}, {{"PLTE", plte}}), kPngChunkOrder},
        {"PLTE CRC", badCrc, kPngCrc},
        // Grey files skip a PLTE unchecked, wherever it is.
        {"grey with late PLTE", GreyFile({}, {{"PLTE", plte}, {"PLTE", {1}}}), 0},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        EXPECT_EQ(d.result.error, c.error) << c.what;
    }
}

TEST(PngReader, TextAndCommentCounts) {
    const std::string k80(80, 'k'), k79(79, 'k');
    std::vector<uint8_t> badCrc = test::Signature();
    std::vector<uint8_t> g = GreyFile();
    badCrc.insert(badCrc.end(), g.begin() + 8, g.begin() + 33);
    AppendChunk(badCrc, "tEXt", test::Text("Comment", "x"), 1);
    badCrc.insert(badCrc.end(), g.begin() + 33, g.end());
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int text, comment;
    } cases[] = {
        {"none", GreyFile(), 0, 0},
        {"Title", GreyFile({{"tEXt", test::Text("Title", "t")}}), 1, 0},
        {"long Comment after IDAT", GreyFile({}, {{"tEXt", test::Text("Comment", std::string(300, 'c'))}}), 1, 1},
        {"Comment with no text", GreyFile({{"tEXt", test::Text("Comment", "")}}), 1, 1},
        {"two Comments and a Title",
         GreyFile({{"tEXt", test::Text("Comment", "a")}, {"tEXt", test::Text("Title", "b")}},
                  {{"tEXt", test::Text("Comment", "c")}}),
         3, 2},
        {"79-byte keyword", GreyFile({{"tEXt", test::Text(k79, "t")}}), 1, 0},
        {"80-byte keyword", GreyFile({{"tEXt", test::Text(k80, "t")}}), 0, 0},
        {"empty keyword", GreyFile({{"tEXt", test::Text("", "text")}}), 0, 0},
        {"no NUL", GreyFile({{"tEXt", {'a', 'b', 'c'}}}), 0, 0},
        {"length 1", GreyFile({{"tEXt", {'a'}}}), 0, 0},
        {"Comments prefix", GreyFile({{"tEXt", test::Text("Comments", "x")}}), 1, 0},
        {"bad CRC", badCrc, 0, 0},
        {"zTXt not counted", GreyFile({{"zTXt", test::Text("Comment", "x")}}), 0, 0},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, d);
        ASSERT_TRUE(d.ok) << c.what << " error " << d.result.error;
        EXPECT_EQ(d.result.info.text, c.text) << c.what;
        EXPECT_EQ(d.result.info.comment, c.comment) << c.what;
    }
}

TEST(PngReader, SplitIdatDecodesAsOne) {
    std::vector<uint8_t> raw;
    std::mt19937 random(1);
    for (int y = 0; y < 40; ++y) {
        raw.push_back(uint8_t(y % 5));
        for (int i = 0; i < 3 * 30; ++i) raw.push_back(uint8_t(random() % 7));
    }
    Decoded one, many, empties;
    Decode(BuildPng(30, 40, 8, 2, raw), one);
    Decode(BuildPng(30, 40, 8, 2, raw, {}, {}, 1), many);
    ASSERT_TRUE(one.ok && many.ok);
    EXPECT_EQ(0, std::memcmp(one.result.image.bits, many.result.image.bits, one.result.image.PixelBytes()));
    // Empty IDAT chunks inside the run are harmless.
    std::vector<uint8_t> f = test::Signature();
    AppendChunk(f, "IHDR", test::IhdrData(30, 40, 8, 2));
    auto z = test::Deflate(raw);
    AppendChunk(f, "IDAT", {});
    AppendChunk(f, "IDAT", std::vector<uint8_t>(z.begin(), z.begin() + 10));
    AppendChunk(f, "IDAT", {});
    AppendChunk(f, "IDAT", std::vector<uint8_t>(z.begin() + 10, z.end()));
    AppendChunk(f, "IEND", {});
    Decode(f, empties);
    ASSERT_TRUE(empties.ok) << empties.result.error;
    EXPECT_EQ(0, std::memcmp(one.result.image.bits, empties.result.image.bits, one.result.image.PixelBytes()));
}

// A stream that ends early keeps the complete rows and leaves the others zero; data beyond
// the last row is ignored.
TEST(PngReader, StreamShorterOrLongerThanTheRows) {
    const std::vector<uint8_t> rows = {0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9};  // 3×3 grey
    struct Case {
        const char* what;
        std::vector<uint8_t> raw;
        std::vector<uint8_t> top;  // grey levels from the top row down
    } cases[] = {
        {"exact", rows, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"two rows", {rows.begin(), rows.begin() + 8}, {1, 2, 3, 4, 5, 6, 0, 0, 0}},
        {"row and a half", {rows.begin(), rows.begin() + 6}, {1, 2, 3, 0, 0, 0, 0, 0, 0}},
        {"extra data", [&] { auto r = rows; r.insert(r.end(), 500, 0xAB); return r; }(),
         {1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(BuildPng(3, 3, 8, 0, c.raw), d);
        ASSERT_TRUE(d.ok) << c.what << " error " << d.result.error;
        for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(d.Rgb(i % 3, i / 3)[0], c.top[i]) << c.what << " " << i;
    }
}

// The stream's check value is verified wherever the IDAT chunks split it from the data and
// from itself; any changed byte of it fails the file.
TEST(PngReader, CheckValueVerifiedAcrossChunks) {
    const std::vector<uint8_t> rows = {0, 1, 2, 3, 1, 4, 5, 6, 2, 7, 8, 9};  // 3×3 grey
    const std::vector<uint8_t> z = test::Deflate(rows);
    const size_t n = z.size();
    struct Case {
        const char* what;
        std::vector<size_t> cuts;  // where a new IDAT chunk starts
    } cases[] = {
        {"one chunk", {}},
        {"check value alone", {n - 4}},
        {"one byte of it with the data", {n - 3}},
        {"three bytes of it with the data", {n - 1}},
        {"halves", {n - 2}},
        {"a byte a chunk", {n - 6, n - 5, n - 4, n - 3, n - 2, n - 1}},
        {"an empty chunk before it", {n - 4, n - 4}},
    };
    for (const Case& c : cases) {
        for (int spoilt = -1; spoilt < 4; ++spoilt) {
            std::vector<uint8_t> stream = z;
            if (spoilt >= 0) stream[n - 4 + size_t(spoilt)] ^= 0x10;
            std::vector<uint8_t> f = test::Signature();
            AppendChunk(f, "IHDR", test::IhdrData(3, 3, 8, 0));
            size_t from = 0;
            for (size_t cut : c.cuts) {
                AppendChunk(f, "IDAT", std::vector<uint8_t>(stream.begin() + from, stream.begin() + cut));
                from = cut;
            }
            AppendChunk(f, "IDAT", std::vector<uint8_t>(stream.begin() + from, stream.end()));
            AppendChunk(f, "IEND", {});
            Decoded d;
            Decode(f, d);
            EXPECT_EQ(d.ok, spoilt < 0) << c.what << " byte " << spoilt;
            EXPECT_EQ(d.result.error, spoilt < 0 ? 0 : kPngInflate) << c.what << " byte " << spoilt;
        }
    }
}

// The Adler-32 sum against zlib's: lengths about the 16-byte blocks and the 16 KiB between
// reductions, odd starts, sums continued from near the modulus, bytes of 255 for the largest
// sums, and a buffer summed in pieces.
TEST(PngReader, AdlerSumMatchesZlib) {
    std::vector<uint8_t> full(70000, 0xFF), mixed(70000);
    std::mt19937 random(3);
    for (uint8_t& v : mixed) v = uint8_t(random());
    for (const std::vector<uint8_t>* data : {&full, &mixed})
        for (size_t size : {0, 1, 15, 16, 17, 31, 33, 255, 16383, 16384, 16385, 16400, 32769, 69990})
            for (size_t offset : {0, 1, 7})
                for (uint32_t start : {1u, 0xFFF0FFF0u, 0x8000FFF0u}) {
                    const uint8_t* p = data->data() + offset;
                    EXPECT_EQ(PngAdler32(start, p, size), uint32_t(adler32(start, p, uInt(size))))
                        << "size " << size << " offset " << offset << " start " << start;
                }
    const uLong whole = adler32(1, mixed.data(), uInt(mixed.size()));
    uint32_t pieces = 1;
    for (size_t at = 0, step = 1; at < mixed.size(); at += step, step = step * 3 + 5) {
        const size_t end = std::min(mixed.size(), at + step);
        pieces = PngAdler32(pieces, mixed.data() + at, end - at);
        if (end == mixed.size()) break;
    }
    EXPECT_EQ(pieces, uint32_t(whole));
}

TEST(PngReader, SixteenBitTransparentColourComparesWholeSamples) {
    // Two pixels sharing the high bytes; only the first is the transparent colour.
    LoadOptions o;
    o.fileBackground = false;
    o.background = PaletteEntry{30, 20, 10, 0};
    struct Case {
        const char* what;
        int type;
        std::vector<uint8_t> raw, trns;
    } cases[] = {
        {"grey", 0, {0, 0x12, 0x34, 0x12, 0x35}, {0x12, 0x34}},
        {"RGB", 2, {0, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(BuildPng(2, 1, 16, c.type, c.raw, {{"tRNS", c.trns}}), d, o);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.result.image.BitCount(), 24) << c.what;
        EXPECT_EQ(d.Rgb(0, 0), (std::array<uint8_t, 3>{10, 20, 30})) << c.what;
        const uint8_t hi = c.raw[1];
        EXPECT_EQ(d.Rgb(1, 0)[0], hi) << c.what;
        EXPECT_EQ(d.result.info.transparency, 1) << c.what;
    }
}

TEST(PngReader, AlphaOverBackgroundAndSwitchedOff) {
    // 8-bit RGBA: opaque red, transparent green, half blue.
    const std::vector<uint8_t> raw = {0, 255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128};
    const std::vector<uint8_t> file = BuildPng(3, 1, 8, 6, raw);
    Decoded on, off;
    Decode(file, on);
    LoadOptions noAlpha;
    noAlpha.alpha = false;
    Decode(file, off, noAlpha);
    ASSERT_TRUE(on.ok && off.ok);
    EXPECT_EQ(on.Rgb(0, 0), (std::array<uint8_t, 3>{255, 0, 0}));
    EXPECT_EQ(on.Rgb(1, 0), (std::array<uint8_t, 3>{255, 255, 255}));
    EXPECT_EQ(on.Rgb(2, 0), (std::array<uint8_t, 3>{127, 127, 255}));
    EXPECT_EQ(off.Rgb(1, 0), (std::array<uint8_t, 3>{0, 255, 0}));
    EXPECT_EQ(off.Rgb(2, 0), (std::array<uint8_t, 3>{0, 0, 255}));
    EXPECT_EQ(off.result.info.transparency, 1);
    EXPECT_EQ(on.result.image.sourceBits, 24);
}

TEST(PngReader, TransparencyChunkRules) {
    const std::vector<uint8_t> plte = {10, 10, 10, 20, 20, 20};
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int transparency;
        std::array<uint8_t, 3> pixel0;
    } cases[] = {
        {"tRNS longer than PLTE", BuildPng(1, 1, 8, 3, {0, 0}, {{"PLTE", plte}, {"tRNS", {0, 0, 0}}}), 0, {10, 10, 10}},
        {"tRNS before PLTE", BuildPng(1, 1, 8, 3, {0, 0}, {{"tRNS", {0}}, {"PLTE", plte}}), 0, {10, 10, 10}},
        {"tRNS after IDAT", BuildPng(1, 1, 8, 3, {0, 0}, {{"PLTE", plte}}, {{"tRNS", {0}}}), 0, {10, 10, 10}},
        {"tRNS entry 0 clear", BuildPng(1, 1, 8, 3, {0, 0}, {{"PLTE", plte}, {"tRNS", {0}}}), 1, {255, 255, 255}},
        {"second tRNS ignored", BuildPng(1, 1, 8, 3, {0, 0}, {{"PLTE", plte}, {"tRNS", {255}}, {"tRNS", {0}}}), 1, {10, 10, 10}},
        {"grey tRNS wrong length", BuildPng(1, 1, 8, 0, {0, 5}, {{"tRNS", {0, 5, 0}}}), 0, {5, 5, 5}},
        {"grey tRNS", BuildPng(1, 1, 8, 0, {0, 5}, {{"tRNS", {0, 5}}}), 1, {255, 255, 255}},
        {"grey+alpha ignores tRNS", BuildPng(1, 1, 8, 4, {0, 5, 255}, {{"tRNS", {0, 5}}}), 1, {5, 5, 5}},
        {"bKGD used", BuildPng(1, 1, 8, 0, {0, 5}, {{"bKGD", {0, 9}}, {"tRNS", {0, 5}}}), 1, {9, 9, 9}},
        {"bKGD after IDAT skipped", BuildPng(1, 1, 8, 0, {0, 5}, {{"tRNS", {0, 5}}}, {{"bKGD", {0, 9}}}), 1, {255, 255, 255}},
        {"bKGD of 1-bit grey", BuildPng(1, 1, 1, 0, {0, 0}, {{"bKGD", {0, 0}}, {"tRNS", {0, 0}}}), 1, {0, 0, 0}},
        {"bKGD of 2-bit grey", BuildPng(1, 1, 2, 0, {0, 0}, {{"bKGD", {0, 2}}, {"tRNS", {0, 0}}}), 1, {170, 170, 170}},
    };
    LoadOptions o;
    o.background = PaletteEntry{255, 255, 255, 0};
    for (const Case& c : cases) {
        Decoded d;
        Decode(c.file, d, o);
        ASSERT_TRUE(d.ok) << c.what << " error " << d.result.error;
        EXPECT_EQ(d.result.info.transparency, c.transparency) << c.what;
        EXPECT_EQ(d.Rgb(0, 0), c.pixel0) << c.what;
    }
}

TEST(PngReader, GammaAndResolution) {
    auto gama = [](uint32_t v) { std::vector<uint8_t> d; PushU32BE(d, v); return d; };
    auto phys = [](uint32_t x, uint32_t y, uint8_t unit) {
        std::vector<uint8_t> d;
        PushU32BE(d, x);
        PushU32BE(d, y);
        d.push_back(unit);
        return d;
    };
    const std::vector<uint8_t> raw = {0, 64, 128};
    // gAMA 45455 with display 2200: exponent 1, levels unchanged; 100000: exponent 1/2.2.
    const uint8_t brightened = uint8_t(std::floor(255 * std::pow(64 / 255.0, 1 / 2.2) + 0.5));
    struct Case {
        const char* what;
        std::vector<Chunk> before;
        uint8_t level0;
        int32_t xRes, yRes;
    } cases[] = {
        {"none", {}, 64, 0, 0},
        {"cancelling", {{"gAMA", gama(45455)}}, 64, 0, 0},
        {"linear file", {{"gAMA", gama(100000)}}, brightened, 0, 0},
        {"zero skipped", {{"gAMA", gama(0)}}, 64, 0, 0},
        {"second gAMA skipped", {{"gAMA", gama(45455)}, {"gAMA", gama(100000)}}, 64, 0, 0},
        {"pHYs metres", {{"pHYs", phys(2835, 3000, 1)}}, 64, 2835, 3000},
        {"pHYs no unit", {{"pHYs", phys(2835, 3000, 0)}}, 64, 0, 0},
        {"pHYs 2^31", {{"pHYs", phys(0x80000000u, 3000, 1)}}, 64, 0, 0},
    };
    for (const Case& c : cases) {
        Decoded d;
        Decode(BuildPng(2, 1, 8, 0, raw, c.before), d);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_NEAR(d.Rgb(0, 0)[0], c.level0, 1) << c.what;
        EXPECT_EQ(d.result.image.header.xPelsPerMeter, c.xRes) << c.what;
        EXPECT_EQ(d.result.image.header.yPelsPerMeter, c.yRes) << c.what;
    }
}

TEST(PngReader, BlendTableCorners) {
    const PngAlphaTable& b = PngBlendTable();
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(b[0][v], 0);
        EXPECT_EQ(b[255][v], v);
        EXPECT_EQ(b[v][255], v);
    }
    EXPECT_EQ(b[128][255], 128);
    EXPECT_EQ(b[128][1], 1);   // 0.502 rounds up
    EXPECT_EQ(b[127][1], 0);   // 0.498 rounds down
    EXPECT_EQ(&b, &PngBlendTable());
}

// Refuses every allocation.
struct RefusingAllocator final : PixelAllocator {
    bool Allocate(Image&) override { return false; }
    void Release(Image&) override {}
};

TEST(PngReader, AllocationFailureIsCodeOne) {
    RefusingAllocator refuse;
    for (int type : {0, 2}) {
        DecodeResult r;
        std::vector<uint8_t> raw = type == 0 ? std::vector<uint8_t>{0, 1} : std::vector<uint8_t>{0, 1, 2, 3};
        EXPECT_FALSE(DecodePng(BuildPng(1, 1, 8, type, raw), LoadOptions{}, refuse, r));
        EXPECT_EQ(r.error, kCodecNoMemory);
    }
}

}  // namespace
}  // namespace pelio
