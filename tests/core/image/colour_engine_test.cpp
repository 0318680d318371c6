// The colour engine against a slow, plain model of its rules, and its edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "core/image/colour_engine.h"
#include "core/image/nearest_colour.h"

namespace pelio {
namespace {

// ---- The model: every rule written out with plain loops. ----

size_t Stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

int ModelPart(int mode, int e, int weight) {  // weight 7, 5, 3 or 1
    if (mode == 0) return (weight * e) >> 4;
    if (mode == 1) return weight * e / 24;
    return (weight * e) >> 5;
}

uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Error diffusion over `channels` interleaved samples per pixel, rows `stride` apart.
void ModelDiffuse(std::vector<uint8_t>& work, size_t stride, int channels, int width, int height,
                  int x, int y, int mode, const int* error) {
    if (mode < 0 || mode > 2) return;
    auto add = [&](int nx, int ny, int weight) {
        if (nx < 0 || nx >= width || ny >= height) return;  // dropped, not redistributed
        for (int c = 0; c < channels; ++c) {
            uint8_t& s = work[stride * ny + static_cast<size_t>(nx) * channels + c];
            s = Clamp(s + ModelPart(mode, error[c], weight));
        }
    };
    add(x + 1, y, 7);
    add(x, y + 1, 5);
    add(x - 1, y + 1, 3);
    add(x + 1, y + 1, 1);
}

struct ModelResult {
    Palette palette{};
    std::vector<uint8_t> indices;  // width × height, scan order
};

std::vector<uint8_t> ModelGrey(const Palette* pal, const uint8_t* src, int width, int height,
                               int bits) {
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* row = src + Stride(width, bits) * y;
            int v;
            if (bits == 24) {
                const uint8_t* p = row + 3 * x;
                v = ((306 * p[2]) >> 10) + ((603 * p[1]) >> 10) + ((117 * p[0]) >> 10);
            } else {
                const PaletteEntry& e = (*pal)[row[x]];
                v = (603 * e.green + 306 * e.red + 117 * e.blue) >> 10;
            }
            grey[static_cast<size_t>(width) * y + x] = static_cast<uint8_t>(v);
        }
    return grey;
}

ModelResult ModelBlackAndWhite(const Palette* pal, const uint8_t* src, int width, int height,
                               int bits, int mode) {
    ModelResult r;
    std::vector<uint8_t> grey = ModelGrey(pal, src, width, height, bits);
    r.palette[0] = {0, 0, 0, 0};
    r.palette[1] = {255, 255, 255, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = grey[static_cast<size_t>(width) * y + x];
            const int bit = v >= 128 ? 1 : 0;
            r.indices.push_back(static_cast<uint8_t>(bit));
            const int e = bit ? v - 255 : v;
            ModelDiffuse(grey, width, 1, width, height, x, y, mode, &e);
        }
    return r;
}

struct Colour {
    int b, g, r;
    bool operator<(const Colour& o) const {
        return std::tie(b, g, r) < std::tie(o.b, o.g, o.r);
    }
    bool operator==(const Colour& o) const { return b == o.b && g == o.g && r == o.r; }
};

std::vector<Colour> ModelReferences(int bits, int& threshold) {
    const int thresholds[] = {34560, 32512, 16129, 8064, 3612, 1512, 800};
    threshold = thresholds[bits - 2];
    if (bits == 2) return {{0, 0, 0}, {255, 64, 0}, {0, 64, 255}, {255, 255, 255}};
    if (bits == 4)
        return {{0, 0, 0},     {255, 0, 0},   {255, 128, 0},   {0, 255, 0},   {128, 255, 0},
                {255, 255, 0}, {255, 0, 128}, {128, 128, 128}, {0, 255, 128}, {0, 0, 255},
                {128, 0, 255}, {255, 0, 255}, {0, 128, 255},   {0, 255, 255}, {255, 255, 255}};
    std::vector<int> levels = bits == 3   ? std::vector<int>{0, 255}
                              : bits == 5 ? std::vector<int>{0, 128, 255}
                              : bits == 6 ? std::vector<int>{0, 85, 170, 255}
                              : bits == 7 ? std::vector<int>{0, 85, 140, 195, 255}
                                          : std::vector<int>{0, 85, 135, 175, 215, 255};
    std::vector<Colour> refs;
    for (int r : levels)
        for (int g : levels)
            for (int b : levels) refs.push_back({b, g, r});
    return refs;
}

ModelResult ModelReduce(const Palette* pal, const uint8_t* src, int width, int height, int bits,
                        int targetBits, int mode) {
    ModelResult r;
    const int n = 1 << targetBits;
    const size_t workStride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> work(workStride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* row = src + Stride(width, bits) * y;
            uint8_t* w = &work[workStride * y + 3 * x];
            if (bits == 24) {
                std::memcpy(w, row + 3 * x, 3);
            } else {
                const PaletteEntry& e = (*pal)[row[x]];
                w[0] = e.blue, w[1] = e.green, w[2] = e.red;
            }
        }
    auto at = [&](int x, int y) {
        const uint8_t* w = &work[workStride * y + 3 * x];
        return Colour{w[0], w[1], w[2]};
    };
    std::set<Colour> distinct;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) distinct.insert(at(x, y));
    const int c = static_cast<int>(distinct.size());
    auto entry = [](const Colour& k) {
        return PaletteEntry{static_cast<uint8_t>(k.b), static_cast<uint8_t>(k.g),
                            static_cast<uint8_t>(k.r), 0};
    };
    auto sum = [](const PaletteEntry& e) { return e.blue + e.green + e.red; };

    if (c <= n) {
        std::vector<PaletteEntry> list;
        if (bits == 24) {
            std::vector<Colour> seen;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (std::find(seen.begin(), seen.end(), at(x, y)) == seen.end())
                        seen.push_back(at(x, y));
            for (const Colour& k : seen) list.push_back(entry(k));
            for (int i = 0; i < c; ++i) {
                int least = i;
                for (int j = i; j < c; ++j)
                    if (sum(list[j]) < sum(list[least])) least = j;
                std::swap(list[i], list[least]);
            }
        } else {
            // The colours that pixels use, in palette order, repeats removed.
            std::set<int> used;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) used.insert(src[Stride(width, 8) * y + x]);
            for (int i : used) {
                const PaletteEntry& e = (*pal)[i];
                bool repeat = false;
                for (const PaletteEntry& l : list)
                    repeat = repeat || (l.blue == e.blue && l.green == e.green && l.red == e.red);
                if (!repeat) list.push_back(e);
            }
        }
        for (int i = 0; i < c; ++i) r.palette[i] = list[i];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int i = 0; i < c; ++i)
                    if (Colour{r.palette[i].blue, r.palette[i].green, r.palette[i].red} ==
                        at(x, y)) {
                        r.indices.push_back(static_cast<uint8_t>(i));
                        break;
                    }
        return r;
    }

    auto cellOf = [](const Colour& k, int s) {
        return ((k.r >> s) << (16 - 2 * s)) + ((k.g >> s) << (8 - s)) + (k.b >> s);
    };
    auto occupied = [&](int s) {
        std::set<int> cells;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) cells.insert(cellOf(at(x, y), s));
        return static_cast<int>(cells.size());
    };
    int s = 6;
    if (occupied(4) <= n) s = 3;
    else if (occupied(5) <= n) s = 4;
    else if (occupied(6) <= n) s = 5;
    struct Cell {
        uint64_t b = 0, g = 0, r = 0;
        int64_t count = 0;
    };
    std::vector<Cell> cells(size_t{1} << (3 * (8 - s)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Cell& cell = cells[cellOf(at(x, y), s)];
            cell.b += at(x, y).b, cell.g += at(x, y).g, cell.r += at(x, y).r, ++cell.count;
        }
    for (Cell& cell : cells)
        if (cell.count) cell.b /= cell.count, cell.g /= cell.count, cell.r /= cell.count;

    int filled = 0;
    const int64_t minCount = (static_cast<int64_t>(height) * width) >> 16;
    int threshold;
    for (const Colour& ref : ModelReferences(targetBits, threshold)) {
        int best = threshold, pick = -1;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].count < minCount) continue;
            const int db = static_cast<int>(cells[i].b) - ref.b;
            const int dg = static_cast<int>(cells[i].g) - ref.g;
            const int dr = static_cast<int>(cells[i].r) - ref.r;
            const int d = db * db + dg * dg + dr * dr;
            if (d < best) best = d, pick = static_cast<int>(i);
        }
        if (pick >= 0) {
            const Cell& cell = cells[pick];
            r.palette[filled++] = {static_cast<uint8_t>(cell.b), static_cast<uint8_t>(cell.g),
                                   static_cast<uint8_t>(cell.r), 0};
            cells[pick].count = 0;
        }
    }
    while (filled < n) {
        int pick = -1;
        int64_t most = 0;
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i].count > most) most = cells[i].count, pick = static_cast<int>(i);
        if (pick < 0) break;
        const Cell& cell = cells[pick];
        r.palette[filled++] = {static_cast<uint8_t>(cell.b), static_cast<uint8_t>(cell.g),
                               static_cast<uint8_t>(cell.r), 0};
        cells[pick].count = 0;
    }
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && sum(r.palette[j - 1]) > sum(r.palette[j]); --j)
            std::swap(r.palette[j - 1], r.palette[j]);

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour k = at(x, y);
            int best = 195076, pick = 0;
            for (int i = 0; i < n; ++i) {
                const PaletteEntry& e = r.palette[i];
                const int d = (k.b - e.blue) * (k.b - e.blue) + (k.g - e.green) * (k.g - e.green) +
                              (k.r - e.red) * (k.r - e.red);
                if (d < best) best = d, pick = i;
            }
            r.indices.push_back(static_cast<uint8_t>(pick));
            const PaletteEntry& e = r.palette[pick];
            const int error[3] = {k.b - e.blue, k.g - e.green, k.r - e.red};
            ModelDiffuse(work, workStride, 3, width, height, x, y, mode, error);
        }
    return r;
}

// The indices packed as Convert stores them: most significant field first, rows padded.
std::vector<uint8_t> ModelPack(const std::vector<uint8_t>& indices, int width, int height,
                               int bits) {
    const size_t stride = Stride(width, bits);
    std::vector<uint8_t> out(stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            out[stride * y + bit / 8] |=
                static_cast<uint8_t>(indices[static_cast<size_t>(width) * y + x]
                                     << (8 - bits - bit % 8));
        }
    return out;
}

// ---- Pictures. ----

struct Picture {
    const char* name;
    int width, height, bits;
    Palette palette{};
    std::vector<uint8_t> pixels{};
};

// Rows padded to 4 bytes, the padding full of noise that must never matter.
Picture MakePicture(const char* name, int width, int height, int bits, uint32_t seed,
                    int kind) {
    Picture p{name, width, height, bits};
    std::mt19937 rng(seed);
    const size_t stride = Stride(width, bits);
    p.pixels.resize(stride * height);
    for (uint8_t& b : p.pixels) b = static_cast<uint8_t>(rng());
    std::vector<Colour> few;
    for (int i = 0; i < 5; ++i)
        few.push_back({static_cast<int>(rng() % 256), static_cast<int>(rng() % 256),
                       static_cast<int>(rng() % 256)});
    for (PaletteEntry& e : p.palette)
        e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
             0};
    if (bits < 8) return p;  // packed indices: any bytes will do
    auto clustered = [&] {  // all in one cell of 8 × 8 × 8 colours
        return Colour{96 + static_cast<int>(rng() % 8), 96 + static_cast<int>(rng() % 8),
                      96 + static_cast<int>(rng() % 8)};
    };
    if (bits == 8 && kind == 3)
        for (PaletteEntry& e : p.palette) {
            const Colour k = clustered();
            e = {static_cast<uint8_t>(k.b), static_cast<uint8_t>(k.g), static_cast<uint8_t>(k.r),
                 0};
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* row = p.pixels.data() + stride * y;
            if (bits == 8) {
                // kind 0 and 3: any entry; 1: a few entries; 2: a ramp over the entries
                row[x] = static_cast<uint8_t>(kind == 1   ? 7 * (rng() % 5)
                                              : kind == 2 ? (x * 7 + y * 3) % 256
                                                          : rng());
                continue;
            }
            Colour k;
            if (kind == 0) {
                k = {static_cast<int>(rng() % 256), static_cast<int>(rng() % 256),
                     static_cast<int>(rng() % 256)};
            } else if (kind == 1) {
                k = few[rng() % few.size()];
            } else if (kind == 2) {
                k = {x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1),
                     (x + y) * 127 / std::max(1, width + height - 2)};
            } else {
                k = clustered();
            }
            row[3 * x] = static_cast<uint8_t>(k.b);
            row[3 * x + 1] = static_cast<uint8_t>(k.g);
            row[3 * x + 2] = static_cast<uint8_t>(k.r);
        }
    if (bits == 8) {
        p.palette[14] = p.palette[7];  // a repeated colour
        p.palette[3] = {1, 2, 3, 0};   // unused entries ahead of used ones
    }
    return p;
}

std::vector<Picture> GoldenPictures() {
    std::vector<Picture> pictures;
    const int sizes[][2] = {{1, 1}, {1, 20}, {33, 1}, {2, 2}, {3, 7}, {17, 11}, {33, 20}, {32, 9}};
    uint32_t seed = 1;
    for (const auto& size : sizes) {
        for (int kind = 0; kind < 4; ++kind) {
            static const char* const k24[] = {"random", "few colours", "gradient", "clustered"};
            static const char* const k8[] = {"8-bit random", "8-bit few", "8-bit ramp",
                                             "8-bit clustered"};
            pictures.push_back(MakePicture(k24[kind], size[0], size[1], 24, seed++, kind));
            pictures.push_back(MakePicture(k8[kind], size[0], size[1], 8, seed++, kind));
        }
    }
    pictures.push_back(MakePicture("large gradient", 290, 230, 24, seed++, 2));
    pictures.push_back(MakePicture("large random", 257, 256, 24, seed++, 0));
    pictures.push_back(MakePicture("large clustered", 270, 250, 24, seed++, 3));
    return pictures;
}

ColourEngine Engine(const Picture& p, int targetBits, int mode) {
    ColourEngine e;
    e.width = p.width;
    e.height = p.height;
    e.sourceBits = p.bits;
    e.targetBits = targetBits;
    e.ditherMode = mode;
    return e;
}

// Compares the first `count` palette entries and the pixels.
void ExpectSame(const Palette& want, const Palette& got, int count,
                const std::vector<uint8_t>& wantPixels, const std::vector<uint8_t>& gotPixels) {
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(want[i], got[i]) << "palette entry " << i;
        if (want[i] != got[i]) break;
    }
    ASSERT_EQ(wantPixels.size(), gotPixels.size());
    for (size_t i = 0; i < wantPixels.size(); ++i) {
        ASSERT_EQ(wantPixels[i], gotPixels[i]) << "byte " << i;
    }
}

// ---- Golden comparison. ----

TEST(ColourEngine, ReductionsMatchTheModel) {
    for (const Picture& p : GoldenPictures()) {
        for (int mode : {0, 1, 2, 3, 9}) {
            for (int target = 1; target <= 8; ++target) {
                SCOPED_TRACE(testing::Message() << p.name << " " << p.width << "x" << p.height
                                                << " mode " << mode << " target " << target);
                const ModelResult want =
                    target == 1 ? ModelBlackAndWhite(&p.palette, p.pixels.data(), p.width,
                                                     p.height, p.bits, mode)
                                : ModelReduce(&p.palette, p.pixels.data(), p.width, p.height,
                                              p.bits, target, mode);
                const int n = 1 << target;

                ColourEngine e = Engine(p, target, mode);
                std::vector<uint8_t> unpacked(static_cast<size_t>(p.width) * p.height, 0xEE);
                Palette palette;
                palette.fill({9, 9, 9, 9});
                ASSERT_TRUE(ConvertUnpacked(&p.palette, p.pixels.data(), palette, e,
                                            unpacked.data()));
                ExpectSame(want.palette, palette, n, want.indices, unpacked);

                const bool packedTarget = target == 1 || target == 2 || target == 4 ||
                                          (target == 8 && p.bits == 24);
                if (!packedTarget) continue;
                e = Engine(p, target, mode);
                PrepareTarget(e);
                std::vector<uint8_t> packed(static_cast<size_t>(e.targetSize), 0xEE);
                palette.fill({9, 9, 9, 9});
                ASSERT_TRUE(Convert(palette, packed.data(), e, &p.palette, p.pixels.data()));
                ExpectSame(want.palette, palette, n,
                           ModelPack(want.indices, p.width, p.height, target), packed);
            }
        }
    }
}

TEST(ColourEngine, ExpansionsAndCopiesMatchTheModel) {
    struct Case {
        int from, to;
    } cases[] = {{1, 8}, {2, 8}, {4, 8}, {8, 8}, {1, 24}, {4, 24}, {8, 24}, {24, 24}};
    for (const Case& c : cases) {
        for (int width : {1, 3, 8, 13, 33}) {
            SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " width " << width);
            const int height = 5;
            Picture p = MakePicture("", width, height, c.from, 77u + width, 0);
            ColourEngine e = Engine(p, c.to, 0);
            PrepareTarget(e);
            std::vector<uint8_t> got(static_cast<size_t>(e.targetSize), 0xEE);
            Palette palette{};
            palette[200] = {5, 6, 7, 8};  // beyond the copied entries: kept
            ASSERT_TRUE(Convert(palette, got.data(), e, &p.palette, p.pixels.data()));

            const size_t inStride = Stride(width, c.from), outStride = Stride(width, c.to);
            std::vector<uint8_t> want(outStride * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int bit = x * c.from;
                    const int index = c.from == 24 ? 0
                                      : (p.pixels[inStride * y + bit / 8] >>
                                         (8 - c.from - bit % 8)) &
                                            ((1 << c.from) - 1);
                    uint8_t* out = &want[outStride * y + x * (c.to / 8)];
                    if (c.to == 8) {
                        out[0] = static_cast<uint8_t>(index);
                    } else if (c.from == 24) {
                        std::memcpy(out, &p.pixels[inStride * y + 3 * x], 3);
                    } else {
                        const PaletteEntry& k = p.palette[index];
                        out[0] = k.blue, out[1] = k.green, out[2] = k.red;
                    }
                }
            if (c.from == c.to) want = p.pixels;  // a plain copy, padding included
            EXPECT_EQ(want, got);
            const int copied = c.to != 8 ? 0 : c.from == 2 ? 0 : 1 << c.from;
            for (int i = 0; i < copied; ++i) EXPECT_EQ(p.palette[i], palette[i]) << i;
            if (copied < 256) {
                EXPECT_EQ((PaletteEntry{5, 6, 7, 8}), palette[200]);
            }
        }
    }
}

// ---- Behaviours. ----

// A 24-bit picture of the given colours, each repeated along rows.
Picture Colours24(const std::vector<Colour>& colours, int width, int height) {
    Picture p{"", width, height, 24};
    const size_t stride = Stride(width, 24);
    p.pixels.assign(stride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour& k = colours[(static_cast<size_t>(y) * width + x) % colours.size()];
            uint8_t* px = &p.pixels[stride * y + 3 * x];
            px[0] = static_cast<uint8_t>(k.b), px[1] = static_cast<uint8_t>(k.g),
            px[2] = static_cast<uint8_t>(k.r);
        }
    return p;
}

TEST(ColourEngine, ExactlyNColoursGiveThoseColoursSortedAndUndiffused) {
    std::mt19937 rng(5);
    for (int target : {2, 3, 4, 5, 8}) {
        const int n = 1 << target;
        std::set<Colour> chosen;
        while (static_cast<int>(chosen.size()) < n)
            chosen.insert({static_cast<int>(rng() % 256), static_cast<int>(rng() % 256),
                           static_cast<int>(rng() % 256)});
        std::vector<Colour> colours(chosen.begin(), chosen.end());
        std::shuffle(colours.begin(), colours.end(), rng);
        const Picture p = Colours24(colours, 37, 19);
        ColourEngine e = Engine(p, target, 0);
        std::vector<uint8_t> out(static_cast<size_t>(p.width) * p.height);
        Palette palette{};
        ASSERT_TRUE(ConvertUnpacked(nullptr, p.pixels.data(), palette, e, out.data()));
        std::set<Colour> inPalette;
        for (int i = 0; i < n; ++i) {
            inPalette.insert({palette[i].blue, palette[i].green, palette[i].red});
            if (i > 0) {
                EXPECT_LE(palette[i - 1].blue + palette[i - 1].green + palette[i - 1].red,
                          palette[i].blue + palette[i].green + palette[i].red);
            }
        }
        EXPECT_EQ(chosen, inPalette) << "target " << target;
        for (size_t i = 0; i < out.size(); ++i) {
            const Colour& k = colours[i % colours.size()];
            const PaletteEntry& got = palette[out[i]];
            ASSERT_EQ(k, (Colour{got.blue, got.green, got.red})) << "pixel " << i;
        }
    }
}

TEST(ColourEngine, OneColourToBlackAndWhite) {
    struct Case {
        Colour colour;
        int mode;
        int bit;  // -1: not all alike
    } cases[] = {
        {{0, 0, 0}, 0, 0},      {{255, 255, 255}, 0, 1}, {{255, 255, 255}, 3, 1},
        {{0, 0, 0}, 1, 0},      {{0, 0, 0}, 2, 0},       {{130, 130, 130}, 3, 1},
        {{129, 129, 129}, 3, 0}, {{0, 0, 255}, 3, 0},    {{0, 255, 0}, 3, 1},
        {{129, 129, 129}, 0, -1},  // 130: grey 128; 129: grey 127
    };
    for (const Case& c : cases) {
        const Picture p = Colours24({c.colour}, 9, 7);
        ColourEngine e = Engine(p, 1, c.mode);
        PrepareTarget(e);
        std::vector<uint8_t> out(static_cast<size_t>(e.targetSize), 0xEE);
        Palette palette{};
        ASSERT_TRUE(Convert(palette, out.data(), e, nullptr, p.pixels.data()));
        EXPECT_EQ((PaletteEntry{0, 0, 0, 0}), palette[0]);
        EXPECT_EQ((PaletteEntry{255, 255, 255, 0}), palette[1]);
        std::set<int> bits;
        for (int y = 0; y < p.height; ++y) {
            EXPECT_EQ(0, out[e.targetStride * y + 1] & 0x7F) << "bits past the width";
            for (int x = 0; x < p.width; ++x)
                bits.insert((out[e.targetStride * y + x / 8] >> (7 - x % 8)) & 1);
        }
        const std::set<int> want = c.bit >= 0 ? std::set<int>{c.bit} : std::set<int>{0, 1};
        EXPECT_EQ(want, bits) << c.colour.r << " mode " << c.mode;
    }
}

TEST(ColourEngine, EmptyCellsStandForBlackOnlyInSmallPictures) {
    // Many light colours, none near black: in a picture under 65536 pixels the empty cells
    // (black) are eligible and win the black reference; in a larger one they are not.
    std::vector<Colour> light;
    for (int i = 0; i < 300; ++i) light.push_back({150 + i % 100, 150 + i / 3 % 100, 200});
    for (auto [width, height, wantBlack] : {std::tuple{60, 60, true}, {300, 300, false}}) {
        const Picture p = Colours24(light, width, height);
        ColourEngine e = Engine(p, 2, 3);
        PrepareTarget(e);
        std::vector<uint8_t> out(static_cast<size_t>(e.targetSize));
        Palette palette{};
        ASSERT_TRUE(Convert(palette, out.data(), e, nullptr, p.pixels.data()));
        const bool black = std::count(palette.begin(), palette.begin() + 4, PaletteEntry{}) > 0;
        EXPECT_EQ(wantBlack, black) << width << "x" << height;
    }
}

TEST(ColourEngine, SameInputSameOutputWhateverThePaletteHeld) {
    const Picture p = MakePicture("", 45, 31, 24, 99, 0);
    for (int mode = 0; mode < 4; ++mode) {
        std::vector<uint8_t> first, second;
        Palette a, b;
        a.fill({1, 2, 3, 4});
        b.fill({200, 100, 50, 7});
        for (auto [palette, out] : {std::pair{&a, &first}, {&b, &second}}) {
            ColourEngine e = Engine(p, 8, mode);
            PrepareTarget(e);
            out->assign(static_cast<size_t>(e.targetSize), 0);
            ASSERT_TRUE(Convert(*palette, out->data(), e, nullptr, p.pixels.data()));
        }
        EXPECT_EQ(first, second) << "mode " << mode;
        EXPECT_EQ(a, b) << "mode " << mode;
    }
}

TEST(ColourEngine, SixteenBitRoundTripKeepsHighBytes) {
    for (int width : {1, 2, 3, 7}) {
        const int height = 3;
        std::mt19937 rng(width);
        std::vector<uint8_t> wide(static_cast<size_t>(width) * 6 * height);
        for (uint8_t& b : wide) b = static_cast<uint8_t>(rng());
        ColourEngine down;
        down.width = width, down.height = height, down.sourceBits = 48, down.targetBits = 24;
        PrepareTarget(down);
        std::vector<uint8_t> narrow(static_cast<size_t>(down.targetSize), 0xEE);
        Palette palette{};
        ASSERT_TRUE(Convert(palette, narrow.data(), down, nullptr, wide.data()));
        ColourEngine up = down;
        up.sourceBits = 24, up.targetBits = 48;
        PrepareTarget(up);
        ASSERT_EQ(static_cast<int>(wide.size()), up.targetSize);
        std::vector<uint8_t> back(wide.size(), 0xEE);
        ASSERT_TRUE(Convert(palette, back.data(), up, nullptr, narrow.data()));
        for (size_t i = 0; i < wide.size(); ++i)
            EXPECT_EQ(i % 2 ? wide[i] : 0xEE, back[i]) << "width " << width << " byte " << i;
        for (int y = 0; y < height; ++y)  // the 24-bit padding is cleared
            for (int i = width * 3; i < down.targetStride; ++i)
                EXPECT_EQ(0, narrow[down.targetStride * y + i]);
    }
}

TEST(ColourEngine, OnePixelWidePassesErrorOnlyDownwards) {
    // Grey 107 in a column: each pixel below gets only the 5/16 share, by arithmetic shift.
    // 107→0 (+33), 140→1 (-115: -36), 71→0 (+22), 129→1 (-126: -40), 67→0 (+20), …
    const Picture p = Colours24({{108, 108, 108}}, 1, 12);
    ColourEngine e = Engine(p, 1, 0);
    std::vector<uint8_t> out(12);
    Palette palette{};
    ASSERT_TRUE(ConvertUnpacked(nullptr, p.pixels.data(), palette, e, out.data()));
    EXPECT_EQ((std::vector<uint8_t>{0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1}), out);
}

TEST(ColourEngine, EightBitExactPaletteHoldsTheColoursInUse) {
    Palette source{};
    source[0] = {10, 10, 10, 0};   // unused
    source[1] = {20, 20, 20, 0};   // unused
    source[2] = {30, 30, 30, 0};   // unused
    source[5] = {200, 0, 0, 0};
    source[6] = {0, 200, 0, 0};
    source[7] = {200, 0, 0, 0};    // repeats entry 5
    source[9] = {0, 0, 200, 0};
    const uint8_t indices[] = {9, 7, 5, 6, 9};
    Picture p{"", 5, 1, 8, source};
    p.pixels.assign(std::begin(indices), std::end(indices));
    p.pixels.resize(8);
    for (int target : {2, 4}) {
        ColourEngine e = Engine(p, target, 0);
        PrepareTarget(e);
        std::vector<uint8_t> out(static_cast<size_t>(e.targetSize));
        Palette palette{};
        ASSERT_TRUE(Convert(palette, out.data(), e, &source, p.pixels.data()));
        EXPECT_EQ(source[5], palette[0]);
        EXPECT_EQ(source[6], palette[1]);
        EXPECT_EQ(source[9], palette[2]);
        std::vector<uint8_t> unpacked(5);
        ASSERT_TRUE(ConvertUnpacked(&source, p.pixels.data(), palette, e, unpacked.data()));
        EXPECT_EQ((std::vector<uint8_t>{2, 0, 0, 1, 2}), unpacked);
    }
    // The target palette may be the source palette itself.
    ColourEngine e = Engine(p, 2, 0);
    PrepareTarget(e);
    std::vector<uint8_t> out(static_cast<size_t>(e.targetSize));
    Palette shared = source;
    ASSERT_TRUE(Convert(shared, out.data(), e, &shared, p.pixels.data()));
    EXPECT_EQ(source[5], shared[0]);
    EXPECT_EQ(0x81, out[0]);  // 2, 0, 0, 1
}

TEST(ColourEngine, GreyLevels) {
    // (1, 1, 1): each 24-bit term truncates to 0; the palette formula sums first.
    Palette palette{};
    palette[0] = {1, 1, 1, 0};
    palette[1] = {255, 255, 255, 0};
    palette[2] = {10, 200, 30, 0};
    const uint8_t eight[] = {0, 1, 2, 0};
    const uint8_t wide[] = {1, 1, 1, 255, 255, 255, 10, 200, 30, 0, 0, 0};
    ColourEngine e;
    e.width = 3, e.height = 1, e.targetBits = 8;
    std::vector<uint8_t> grey(3);
    e.sourceBits = 8;
    ASSERT_TRUE(ToGrey8(e, &palette, eight, grey.data()));
    EXPECT_EQ((std::vector<uint8_t>{1, 255, 127}), grey);
    e.sourceBits = 24;
    ASSERT_TRUE(ToGrey8(e, nullptr, wide, grey.data()));
    EXPECT_EQ((std::vector<uint8_t>{0, 255, 126}), grey);
    e.targetBits = 1;
    EXPECT_FALSE(ToGrey8(e, nullptr, wide, grey.data()));
}

TEST(ColourEngine, Counts) {
    const Picture p = Colours24({{1, 2, 3}, {3, 2, 1}, {1, 2, 3}, {0, 0, 0}}, 3, 5);
    Picture noisy = p;
    for (int y = 0; y < 5; ++y) noisy.pixels[Stride(3, 24) * y + 9] = static_cast<uint8_t>(y);
    ColourEngine e = Engine(noisy, 8, 0);
    EXPECT_EQ(3u, CountColours24(e, noisy.pixels.data()));
    e.sourceBits = 8;
    EXPECT_EQ(0u, CountColours24(e, noisy.pixels.data()));

    std::vector<uint8_t> all(256 * 2);
    for (int i = 0; i < 512; ++i) all[i] = static_cast<uint8_t>(i * 3);
    ColourEngine indices;
    indices.width = 512, indices.height = 1, indices.sourceBits = 8;
    EXPECT_EQ(256u, CountUsedIndices8(indices, all.data()));
    indices.width = 3, indices.height = 2;  // padding bytes are not pixels
    const uint8_t few[] = {4, 4, 9, 200, 4, 9, 9, 201};
    EXPECT_EQ(2u, CountUsedIndices8(indices, few));
}

TEST(ColourEngine, PrepareTarget) {
    struct Case {
        int width, height, bits, rowBytes, stride, size;
    } cases[] = {
        {13, 3, 1, 2, 4, 12},   {33, 2, 1, 5, 8, 16},     {13, 3, 2, 4, 4, 12},
        {13, 3, 4, 7, 8, 24},   {13, 3, 8, 13, 16, 48},   {13, 3, 24, 39, 40, 120},
        {13, 3, 48, 78, 78, 234}, {13, 3, 32, 52, 52, 156}, {0, 5, 24, 0, 0, 0},
        {30000, 30000, 48, 0, 0, 0},  // does not fit: all cleared
    };
    for (const Case& c : cases) {
        ColourEngine e;
        e.width = c.width, e.height = c.height, e.targetBits = c.bits;
        PrepareTarget(e);
        EXPECT_EQ(c.rowBytes, e.targetRowBytes) << c.width << " " << c.bits;
        EXPECT_EQ(c.stride, e.targetStride) << c.width << " " << c.bits;
        EXPECT_EQ(c.size, e.targetSize) << c.width << " " << c.bits;
    }
}

TEST(ColourEngine, RefusesWhatItCannotDo) {
    uint8_t pixels[64] = {};
    Palette palette{};
    struct Case {
        int from, to, width, height;
        bool withPalette;
    } cases[] = {
        {2, 24, 4, 4, true},     {1, 1, 4, 4, true},    {48, 48, 2, 2, true},
        {24, 16, 4, 4, true},    {8, 3, 4, 4, true},    {16, 8, 4, 4, true},
        {8, 24, 4, 4, false},    {4, 8, 4, 4, false},   {24, 8, 0, 4, true},
        {24, 24, -1, 4, true},   {24, 24, INT_MAX, INT_MAX, true},
        {48, 24, INT_MAX, 2, true},
    };
    for (const Case& c : cases) {
        ColourEngine e;
        e.width = c.width, e.height = c.height, e.sourceBits = c.from, e.targetBits = c.to;
        EXPECT_FALSE(Convert(palette, pixels, e, c.withPalette ? &palette : nullptr, pixels))
            << c.from << " to " << c.to << " " << c.width << "x" << c.height;
    }
    ColourEngine e;
    e.width = 4, e.height = 4, e.sourceBits = 4, e.targetBits = 2;
    EXPECT_FALSE(ConvertUnpacked(&palette, pixels, palette, e, pixels));
    e.sourceBits = 24, e.targetBits = 9;
    EXPECT_FALSE(ConvertUnpacked(&palette, pixels, palette, e, pixels));
    e.targetBits = 0;
    EXPECT_FALSE(ConvertUnpacked(&palette, pixels, palette, e, pixels));
    e.sourceBits = 8, e.targetBits = 4;
    EXPECT_FALSE(ConvertUnpacked(nullptr, pixels, palette, e, pixels));
    e.width = INT_MAX, e.height = INT_MAX;
    EXPECT_FALSE(ConvertUnpacked(&palette, pixels, palette, e, pixels));
    EXPECT_FALSE(ToGrey8(e, &palette, pixels, pixels));
    EXPECT_EQ(0u, CountUsedIndices8(e, pixels));
}

// ---- The nearest-entry search against a scan of every entry. ----

TEST(NearestColour, AgreesWithAFullScan) {
    std::mt19937 rng(11);
    auto random = [&](int spread, int centre) {
        return static_cast<uint8_t>(std::clamp(centre + static_cast<int>(rng() % (2 * spread + 1)) -
                                                   spread, 0, 255));
    };
    for (int kind = 0; kind < 4; ++kind) {
        // Spread out, clustered, levels 64 apart (many ties), and one entry.
        const int count = kind == 3 ? 1 : 256;
        std::vector<PaletteEntry> entries(count);
        for (PaletteEntry& e : entries) {
            if (kind == 0) e = {random(128, 128), random(128, 128), random(128, 128), 0};
            if (kind == 1) e = {random(20, 60), random(20, 200), random(20, 90), 0};
            if (kind == 2)
                e = {static_cast<uint8_t>(rng() % 4 * 64), static_cast<uint8_t>(rng() % 4 * 64),
                     static_cast<uint8_t>(rng() % 4 * 64), 0};
            if (kind == 3) e = {7, 8, 9, 0};
        }
        NearestColour nearest(entries.data(), count);
        for (int i = 0; i < 300000; ++i) {
            const int b = rng() % 256, g = rng() % 256, r = rng() % 256;
            int best = INT_MAX, want = 0;
            for (int k = 0; k < count; ++k) {
                const int d = (b - entries[k].blue) * (b - entries[k].blue) +
                              (g - entries[k].green) * (g - entries[k].green) +
                              (r - entries[k].red) * (r - entries[k].red);
                if (d < best) best = d, want = k;
            }
            ASSERT_EQ(static_cast<uint32_t>(want), nearest.Find(b, g, r))
                << "kind " << kind << " colour " << b << "," << g << "," << r;
        }
    }
}

}  // namespace
}  // namespace pelio
