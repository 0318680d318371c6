// Colour reduction to a built palette, black and white, and error diffusion. Portable.
#include "core/image/colour_reduction.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/image/nearest_colour.h"

// The per-pixel lambdas must be inlined for their state to stay in registers.
#define PELIO_ALWAYS_INLINE __attribute__((always_inline))

namespace pelio {
namespace {

// A pixel of the scan's working rows: blue, green, red (or grey and two zeros) and a lane
// that stays 0, as 16-bit lanes, so that a share of the error goes to all channels at once.
// Lane vectors are passed by reference only: some targets would pass them by value in a way
// of their own.
typedef int16_t Samples __attribute__((vector_size(8)));
typedef uint16_t UnsignedSamples __attribute__((vector_size(8)));

// Limits each lane to 0 … 255 (the sums met in the scan lie in -255 … 510).
[[gnu::always_inline]] inline void Limit(Samples& v) {
    const Samples zero = {0, 0, 0, 0}, top = {255, 255, 255, 255};
    v = v < zero ? zero : v;
    v = v > top ? top : v;
}

// y / 3 as (y × 171) >> 9, exact for the y = |weight × error| / 8 ≤ 223 that mode 1 meets.
constexpr bool ThirdsHold() {
    for (int y = 0; y <= 7 * 255 / 8; ++y)
        if ((y * 171) >> 9 != y / 3) return false;
    return true;
}
static_assert(ThirdsHold());

// The share weight × error / 16 (mode 0) or / 32 (mode 2), rounded down as by an arithmetic
// shift, or / 24 (mode 1), rounded toward zero as by division.
template <int kMode>
[[gnu::always_inline]] inline void Share(const Samples& error, int16_t weight, Samples& share) {
    const Samples x = error * weight;
    if constexpr (kMode == 1) {
        // |x| / 24 = (|x| / 8) / 3, in unsigned lanes as y × 171 needs 16 bits.
        const Samples sign = x >> 15;
        const UnsignedSamples magnitude = (UnsignedSamples)((x ^ sign) - sign);
        const Samples quotient = (Samples)((((magnitude >> 3) * 171)) >> 9);
        share = (quotient ^ sign) - sign;
    } else {
        share = x >> (kMode == 0 ? 4 : 5);
    }
}

void StoreIndexRow(const uint8_t* indices, int width, const IndexTarget& target, int y) {
    uint8_t* out = target.pixels + target.stride * static_cast<size_t>(y);
    size_t used = 0;
    if (target.bitsPerIndex == 8) {
        std::memcpy(out, indices, static_cast<size_t>(width));
        used = static_cast<size_t>(width);
    } else {
        const int bits = target.bitsPerIndex;
        const int perByte = 8 / bits;
        for (int x = 0; x < width; x += perByte) {
            unsigned byte = 0;
            const int end = std::min(width, x + perByte);
            for (int i = x, shift = 8 - bits; i < end; ++i, shift -= bits)
                byte |= static_cast<unsigned>(indices[i]) << shift;
            out[used++] = static_cast<uint8_t>(byte);
        }
    }
    std::memset(out + used, 0, target.stride - used);
}

// Calls f(std::integral_constant<int, k>) for k = 0 … n - 1, unrolled.
template <int n, typename F>
[[gnu::always_inline]] inline void Unrolled(F&& f) {
    [&]<int... k>(std::integer_sequence<int, k...>) PELIO_ALWAYS_INLINE {
        (f(std::integral_constant<int, k>{}), ...);
    }(std::make_integer_sequence<int, n>{});
}

// One pixel of a row's scan: `quantise(value, output)` gives its index and output samples; the
// error goes on to the right neighbour (through `carry`) and to the three pixels around
// `below`, each sum limited as it is made. Rows have a spare pixel at each end, and the last
// row a spare row below it, where the shares that would leave the picture are dropped.
template <int kMode, typename Quantise>
[[gnu::always_inline]] inline uint8_t ScanStep(const Samples* px, Samples* below,
                                               Quantise& quantise, Samples& carry) {
    Samples value = *px + carry;
    Limit(value);
    Samples output;
    const uint8_t index = quantise(value, output);
    const Samples error = value - output;
    Share<kMode>(error, 7, carry);
    Samples share;
    Share<kMode>(error, 3, share);
    below[-1] += share;
    Limit(below[-1]);
    Share<kMode>(error, 5, share);
    below[0] += share;
    Limit(below[0]);
    Share<kMode>(error, 1, share);
    below[1] += share;
    Limit(below[1]);
    return index;
}

constexpr int kLag = 2;    // pixels that a row's scan stays behind the row above
constexpr int kGroup = 4;  // rows scanned together

// Scans rows[0 … K - 1] together, each kLag pixels behind the one above: by then each of its
// pixels has had all its error from above, and the rows' chains of dependent pixels (each
// pixel waits for its left neighbour's error) overlap. rows[K] is the row below.
template <int K, int kMode, typename Quantise>
void ScanGroup(Samples* const* rows, int width, Quantise& quantise, uint8_t* indices) {
    Samples carry[K];
    Unrolled<K>([&](auto k) PELIO_ALWAYS_INLINE { carry[k] = Samples{0, 0, 0, 0}; });
    auto step = [&](auto k, int x) PELIO_ALWAYS_INLINE {
        indices[static_cast<size_t>(width) * k + x] =
            ScanStep<kMode>(rows[k] + x, rows[k + 1] + x, quantise, carry[k]);
    };
    constexpr int kSpan = kLag * (K - 1);
    for (int t = 0; t < width + kSpan; ++t) {
        if (t >= kSpan && t < width) {
            Unrolled<K>([&](auto k) PELIO_ALWAYS_INLINE { step(k, t - kLag * k); });
        } else {
            Unrolled<K>([&](auto k) PELIO_ALWAYS_INLINE {
                const int x = t - kLag * k;
                if (x >= 0 && x < width) step(k, x);
            });
        }
    }
}

// Scans the picture row by row in storage order with the diffusion of mode 0, 1 or 2. Only the
// rows of a group and the row below it are held; each row below takes its error before it is
// scanned in turn.
template <int kMode, typename LoadRow, typename Quantise>
void ScanDiffusing(int width, int height, Samples* const* slots, LoadRow& loadRow,
                   Quantise& quantise, const IndexTarget& target, uint8_t* indices) {
    Samples* heads[kGroup + 1];
    std::copy(slots, slots + kGroup + 1, heads);
    Samples* const spare = slots[kGroup + 1];
    loadRow(0, heads[0]);
    for (int y = 0; y < height;) {
        const int count = height - y >= kGroup ? kGroup : 1;
        Samples* rows[kGroup + 1];
        for (int k = 0; k <= count; ++k) {
            rows[k] = y + k < height ? heads[k] : spare;
            if (k > 0 && y + k < height) loadRow(y + k, rows[k]);
        }
        if (count == kGroup)
            ScanGroup<kGroup, kMode>(rows, width, quantise, indices);
        else
            ScanGroup<1, kMode>(rows, width, quantise, indices);
        for (int k = 0; k < count; ++k)
            StoreIndexRow(indices + static_cast<size_t>(width) * k, width, target, y + k);
        std::swap(heads[0], heads[count]);  // the row below heads the next group
        y += count;
    }
}

// Scans the picture and stores the indices. `loadRow(y, samples)` gives row y's samples;
// `quantise(value, output)` gives a pixel's index and output samples. Modes other than 0, 1
// and 2 do not diffuse.
template <typename LoadRow, typename Quantise>
void ScanRows(int width, int height, int ditherMode, LoadRow&& loadRow, Quantise&& quantise,
              const IndexTarget& target) {
    if (width <= 0 || height <= 0) return;
    // Each row with a spare pixel at both ends: a group, the row below and a spare row.
    const size_t rowLength = static_cast<size_t>(width) + 2;
    std::vector<Samples> samples(rowLength * (kGroup + 2));
    std::vector<uint8_t> indices(static_cast<size_t>(width) * kGroup);
    Samples* slots[kGroup + 2];
    for (int k = 0; k < kGroup + 2; ++k) slots[k] = samples.data() + rowLength * k + 1;
    uint8_t* const out = indices.data();
    switch (ditherMode) {
    case 0: return ScanDiffusing<0>(width, height, slots, loadRow, quantise, target, out);
    case 1: return ScanDiffusing<1>(width, height, slots, loadRow, quantise, target, out);
    case 2: return ScanDiffusing<2>(width, height, slots, loadRow, quantise, target, out);
    }
    Samples output;
    for (int y = 0; y < height; ++y) {
        loadRow(y, slots[0]);
        for (int x = 0; x < width; ++x) indices[x] = quantise(slots[0][x], output);
        StoreIndexRow(indices.data(), width, target, y);
    }
}

// Blue, green, red of row y of an 8- or 24-bit source: the source row itself for 24 bits, else
// `scratch` filled.
const uint8_t* ColourRow(const PixelSource& src, int y, uint8_t* scratch) {
    const uint8_t* in = src.pixels + src.stride * static_cast<size_t>(y);
    if (src.bits == 24) return in;
    for (int x = 0; x < src.width; ++x) {
        const PaletteEntry& e = src.palette[in[x]];
        scratch[3 * x] = e.blue, scratch[3 * x + 1] = e.green, scratch[3 * x + 2] = e.red;
    }
    return scratch;
}

// Row y of an 8- or 24-bit source as scan samples.
class ColourRows {
public:
    explicit ColourRows(const PixelSource& src) : src_(src) {
        if (src.bits != 8) return;
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = src.palette[i];
            entry_[i] = Samples{e.blue, e.green, e.red, 0};
        }
    }
    void Load(int y, Samples* out) const {
        const uint8_t* in = src_.pixels + src_.stride * static_cast<size_t>(y);
        if (src_.bits == 8) {
            for (int x = 0; x < src_.width; ++x) out[x] = entry_[in[x]];
        } else {
            for (int x = 0; x < src_.width; ++x, in += 3) out[x] = Samples{in[0], in[1], in[2], 0};
        }
    }

private:
    const PixelSource& src_;
    std::array<Samples, 256> entry_{};
};

// Grey levels of row y: per pixel for 24 bits (each term truncated), per entry for 8 bits.
class GreyRows {
public:
    explicit GreyRows(const PixelSource& src) : src_(src) {
        for (int v = 0; v < 256; ++v) {
            if (src.bits == 8) {
                const PaletteEntry& e = src.palette[v];
                entry_[v] =
                    static_cast<uint8_t>((603 * e.green + 306 * e.red + 117 * e.blue) >> 10);
            } else {
                red_[v] = static_cast<uint8_t>((306 * v) >> 10);
                green_[v] = static_cast<uint8_t>((603 * v) >> 10);
                blue_[v] = static_cast<uint8_t>((117 * v) >> 10);
            }
        }
    }
    uint8_t At(const uint8_t* row, int x) const {
        if (src_.bits == 8) return entry_[row[x]];
        const uint8_t* px = row + 3 * static_cast<size_t>(x);
        return static_cast<uint8_t>(blue_[px[0]] + green_[px[1]] + red_[px[2]]);
    }
    void Load(int y, uint8_t* out) const {
        const uint8_t* row = src_.pixels + src_.stride * static_cast<size_t>(y);
        for (int x = 0; x < src_.width; ++x) out[x] = At(row, x);
    }
    void Load(int y, Samples* out) const {
        const uint8_t* row = src_.pixels + src_.stride * static_cast<size_t>(y);
        for (int x = 0; x < src_.width; ++x) out[x] = Samples{At(row, x), 0, 0, 0};
    }

private:
    const PixelSource& src_;
    std::array<uint8_t, 256> entry_{}, red_{}, green_{}, blue_{};
};

inline int Sum(const PaletteEntry& e) { return e.blue + e.green + e.red; }

inline uint32_t Pack(const uint8_t* bgr) {
    return static_cast<uint32_t>(bgr[0]) | (static_cast<uint32_t>(bgr[1]) << 8) |
           (static_cast<uint32_t>(bgr[2]) << 16);
}

// At most 256 distinct colours with a small value each: open addressing, never full.
class SmallColourMap {
public:
    // The slot of `colour`, empty or holding it.
    int Slot(uint32_t colour) const {
        const uint32_t key = colour + 1;
        uint32_t slot = (key * 0x9E3779B1u) >> (32 - kSlotBits);
        while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) & (kSlots - 1);
        return static_cast<int>(slot);
    }
    bool Holds(int slot) const { return keys_[slot] != 0; }
    void Put(int slot, uint32_t colour, uint8_t value) {
        keys_[slot] = colour + 1;
        values_[slot] = value;
    }
    uint8_t Value(int slot) const { return values_[slot]; }

private:
    static constexpr int kSlotBits = 10;
    static constexpr int kSlots = 1 << kSlotBits;
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint8_t, kSlots> values_{};
};

// A 24-bit source of at most n colours: the colours in order of first occurrence, selection
// sorted by blue + green + red, and each pixel's own entry. False when there are more.
bool ExactFrom24(const PixelSource& src, int n, PaletteEntry* palette, const IndexTarget& target,
                 uint8_t* indices) {
    SmallColourMap map;
    std::array<uint32_t, 256> colours;
    int count = 0;
    uint32_t last = 0xFFFFFFFF;
    for (int y = 0; y < src.height; ++y) {
        const uint8_t* row = src.pixels + src.stride * static_cast<size_t>(y);
        for (int x = 0; x < src.width; ++x) {
            const uint32_t colour = Pack(row + 3 * static_cast<size_t>(x));
            if (colour == last) continue;
            last = colour;
            const int slot = map.Slot(colour);
            if (map.Holds(slot)) continue;
            if (count == n) return false;
            map.Put(slot, colour, 0);
            colours[count++] = colour;
        }
    }
    auto sum = [](uint32_t c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + (c >> 16); };
    for (int i = 0; i < count; ++i) {
        int least = i;
        for (int j = i + 1; j < count; ++j)
            if (sum(colours[j]) < sum(colours[least])) least = j;
        std::swap(colours[i], colours[least]);
    }
    for (int i = 0; i < count; ++i) {
        const uint32_t c = colours[i];
        palette[i] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                      static_cast<uint8_t>(c >> 16), 0};
        map.Put(map.Slot(c), c, static_cast<uint8_t>(i));
    }
    std::fill(palette + count, palette + n, PaletteEntry{});

    for (int y = 0; y < src.height; ++y) {
        const uint8_t* row = src.pixels + src.stride * static_cast<size_t>(y);
        for (int x = 0; x < src.width; ++x)
            indices[x] = map.Value(map.Slot(Pack(row + 3 * static_cast<size_t>(x))));
        StoreIndexRow(indices, src.width, target, y);
    }
    return true;
}

// An 8-bit source whose pixels use at most n colours: the colours of the entries in use, in
// palette order, repeats removed, so that every pixel finds its own colour. False when there
// are more.
bool ExactFrom8(const PixelSource& src, int n, PaletteEntry* palette, const IndexTarget& target,
                uint8_t* indices) {
    std::array<bool, 256> used{};
    for (int y = 0; y < src.height; ++y) {
        const uint8_t* row = src.pixels + src.stride * static_cast<size_t>(y);
        for (int x = 0; x < src.width; ++x) used[row[x]] = true;
    }
    std::array<uint8_t, 256> toTarget{};
    std::array<PaletteEntry, 256> colours;
    int count = 0;
    for (int i = 0; i < 256; ++i) {
        if (!used[i]) continue;
        const PaletteEntry& e = src.palette[i];
        int k = 0;
        while (k < count && !(colours[k].blue == e.blue && colours[k].green == e.green &&
                              colours[k].red == e.red))
            ++k;
        if (k == count) {
            if (count == n) return false;
            colours[count++] = e;
        }
        toTarget[i] = static_cast<uint8_t>(k);
    }
    std::copy(colours.begin(), colours.begin() + count, palette);
    std::fill(palette + count, palette + n, PaletteEntry{});

    for (int y = 0; y < src.height; ++y) {
        const uint8_t* row = src.pixels + src.stride * static_cast<size_t>(y);
        for (int x = 0; x < src.width; ++x) indices[x] = toTarget[row[x]];
        StoreIndexRow(indices, src.width, target, y);
    }
    return true;
}

struct Rgb {
    int blue, green, red;
};

// The colours that the palette should hold when the picture has them, and how near (squared
// distance, exclusive) a cell must come to stand for one.
int ReferenceColours(int targetBits, std::array<Rgb, 216>& refs, int& threshold) {
    static constexpr Rgb kFour[] = {{0, 0, 0}, {255, 64, 0}, {0, 64, 255}, {255, 255, 255}};
    static constexpr Rgb kSixteen[] = {
        {0, 0, 0},     {255, 0, 0},     {255, 128, 0},   {0, 255, 0},   {128, 255, 0},
        {255, 255, 0}, {255, 0, 128},   {128, 128, 128}, {0, 255, 128}, {0, 0, 255},
        {128, 0, 255}, {255, 0, 255},   {0, 128, 255},   {0, 255, 255}, {255, 255, 255}};
    static constexpr int kThreshold[] = {34560, 32512, 16129, 8064, 3612, 1512, 800};
    threshold = kThreshold[targetBits - 2];
    if (targetBits == 2) {
        std::copy(std::begin(kFour), std::end(kFour), refs.begin());
        return 4;
    }
    if (targetBits == 4) {
        std::copy(std::begin(kSixteen), std::end(kSixteen), refs.begin());
        return 15;
    }
    // Every combination of the levels, blue varying fastest, then green, then red.
    static constexpr int kLevels3[] = {0, 255};
    static constexpr int kLevels5[] = {0, 128, 255};
    static constexpr int kLevels6[] = {0, 85, 170, 255};
    static constexpr int kLevels7[] = {0, 85, 140, 195, 255};
    static constexpr int kLevels8[] = {0, 85, 135, 175, 215, 255};
    const int* levels = targetBits == 3   ? kLevels3
                        : targetBits == 5 ? kLevels5
                        : targetBits == 6 ? kLevels6
                        : targetBits == 7 ? kLevels7
                                          : kLevels8;
    const int count = targetBits == 3 ? 2 : targetBits - 2;
    int n = 0;
    for (int r = 0; r < count; ++r)
        for (int g = 0; g < count; ++g)
            for (int b = 0; b < count; ++b) refs[n++] = {levels[b], levels[g], levels[r]};
    return n;
}

struct Cell {
    int blue = 0, green = 0, red = 0;
    int64_t count = 0;
};

// An occupied cell and its index among all cells of its shift.
struct PlacedCell {
    uint32_t index = 0;
    Cell cell;
};

// The occupied cells of a picture, in index order, and how many cells its shift has.
struct Cells {
    std::vector<PlacedCell> occupied;
    size_t total = 0;
};

struct Sums {
    uint64_t blue = 0, green = 0, red = 0, count = 0;
};

constexpr int kFine = 3;
constexpr size_t kFineCells = size_t{1} << (3 * (8 - kFine));

// The occupied cells of shift 3 with their sums, in index order. A small picture sorts its
// pixels by cell instead of filling a table of every cell, which would cost more than it.
template <typename RowAt>
std::vector<std::pair<uint32_t, Sums>> FineCells(int width, int height, RowAt&& rowAt) {
    auto fineIndex = [](const uint8_t* px) {
        return static_cast<uint32_t>(((px[2] >> kFine) << 10) | ((px[1] >> kFine) << 5) | (px[0] >> kFine));
    };
    std::vector<uint8_t> scratch(static_cast<size_t>(width) * 3);
    std::vector<std::pair<uint32_t, Sums>> out;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (pixels < kFineCells / 8) {
        std::vector<uint64_t> keys;  // cell index above the colour
        keys.reserve(pixels);
        for (int y = 0; y < height; ++y) {
            const uint8_t* px = rowAt(y, scratch.data());
            for (int x = 0; x < width; ++x, px += 3)
                keys.push_back(uint64_t{fineIndex(px)} << 24 | Pack(px));
        }
        std::sort(keys.begin(), keys.end());
        for (const uint64_t key : keys) {
            const uint32_t index = static_cast<uint32_t>(key >> 24);
            if (out.empty() || out.back().first != index) out.push_back({index, Sums{}});
            Sums& s = out.back().second;
            s.blue += key & 0xFF;
            s.green += (key >> 8) & 0xFF;
            s.red += (key >> 16) & 0xFF;
            ++s.count;
        }
        return out;
    }
    std::vector<Sums> fine(kFineCells);
    for (int y = 0; y < height; ++y) {
        const uint8_t* px = rowAt(y, scratch.data());
        for (int x = 0; x < width; ++x, px += 3) {
            Sums& s = fine[fineIndex(px)];
            s.blue += px[0];
            s.green += px[1];
            s.red += px[2];
            ++s.count;
        }
    }
    for (uint32_t i = 0; i < kFineCells; ++i)
        if (fine[i].count) out.push_back({i, fine[i]});
    return out;
}

// The cells of the picture: the shift is 3 when the cells of shift 4 are at most n, else 4
// when those of shift 5 are, else 5 when those of shift 6 are, else 6. Sums are gathered once
// at shift 3, in 64 bits, and coarser cells add those up.
template <typename RowAt>
Cells GatherCells(int width, int height, int n, RowAt&& rowAt) {
    const std::vector<std::pair<uint32_t, Sums>> fine = FineCells(width, height, rowAt);

    // The cell of a coarser shift that holds fine cell i.
    auto coarse = [](size_t i, int shift) {
        const int k = shift - kFine;
        const int red = static_cast<int>(i >> 10), green = static_cast<int>(i >> 5) & 31,
                  blue = static_cast<int>(i) & 31;
        return static_cast<size_t>(((red >> k) << (16 - 2 * shift)) +
                                   ((green >> k) << (8 - shift)) + (blue >> k));
    };
    auto occupied = [&](int shift) {
        std::vector<bool> seen(size_t{1} << (3 * (8 - shift)));
        int count = 0;
        for (const auto& [i, sums] : fine) {
            const size_t c = coarse(i, shift);
            if (!seen[c]) {
                seen[c] = true;
                ++count;
            }
        }
        return count;
    };
    const int shift = occupied(4) <= n ? 3 : occupied(5) <= n ? 4 : occupied(6) <= n ? 5 : 6;

    Cells cells;
    cells.total = size_t{1} << (3 * (8 - shift));
    auto place = [&](uint32_t index, const Sums& s) {
        cells.occupied.push_back({index, {static_cast<int>(s.blue / s.count), static_cast<int>(s.green / s.count),
                                          static_cast<int>(s.red / s.count), static_cast<int64_t>(s.count)}});
    };
    if (shift == kFine) {
        for (const auto& [i, s] : fine) place(i, s);
        return cells;
    }
    std::vector<Sums> sums(cells.total);
    for (const auto& [i, f] : fine) {
        Sums& s = sums[coarse(i, shift)];
        s.blue += f.blue;
        s.green += f.green;
        s.red += f.red;
        s.count += f.count;
    }
    for (uint32_t i = 0; i < cells.total; ++i)
        if (sums[i].count) place(i, sums[i]);
    return cells;
}

// Fills palette entries from the cells: first the cell nearest to each reference colour, then
// the most populous cells. Returns how many were filled (at most 2^targetBits).
int PaletteFromCells(Cells& cells, int64_t pixels, int targetBits, PaletteEntry* palette) {
    const int n = 1 << targetBits;
    int filled = 0;
    auto append = [&](Cell& cell) {
        palette[filled++] = {static_cast<uint8_t>(cell.blue), static_cast<uint8_t>(cell.green),
                             static_cast<uint8_t>(cell.red), 0};
        cell.count = 0;
    };

    // A cell is eligible while its count is at least pixels / 65536, so in a small picture
    // every cell is, empty ones and those already taken included. Empty cells are all black:
    // the first of them stands for every one, in its place in index order.
    const int64_t minCount = pixels >> 16;
    Cell empty;
    std::vector<Cell*> eligible;
    bool emptySeen = minCount > 0 || cells.occupied.size() == cells.total;
    for (size_t k = 0; k < cells.occupied.size(); ++k) {
        PlacedCell& c = cells.occupied[k];
        if (!emptySeen && c.index != k) {  // index k is the first without pixels
            eligible.push_back(&empty);
            emptySeen = true;
        }
        if (c.cell.count >= minCount) eligible.push_back(&c.cell);
    }
    if (!emptySeen) eligible.push_back(&empty);
    std::array<Rgb, 216> refs;
    int threshold = 0;
    const int refCount = ReferenceColours(targetBits, refs, threshold);
    for (int r = 0; r < refCount; ++r) {
        int best = threshold;
        Cell* pick = nullptr;
        for (Cell* c : eligible) {
            if (c->count < minCount) continue;
            const int db = c->blue - refs[r].blue, dg = c->green - refs[r].green,
                      dr = c->red - refs[r].red;
            const int d = db * db + dg * dg + dr * dr;
            if (d < best) best = d, pick = c;
        }
        if (pick) append(*pick);
    }

    // Then by count, largest first, the lower index first among equals.
    std::vector<Cell*> rest;
    for (PlacedCell& c : cells.occupied)
        if (c.cell.count > 0) rest.push_back(&c.cell);
    std::stable_sort(rest.begin(), rest.end(), [](const Cell* a, const Cell* b) { return a->count > b->count; });
    for (size_t k = 0; k < rest.size() && filled < n; ++k) append(*rest[k]);
    return filled;
}

// By blue + green + red, ascending, equal sums keeping their order.
void SortBySum(PaletteEntry* palette, int n) {
    for (int i = 1; i < n; ++i) {
        const PaletteEntry e = palette[i];
        int j = i;
        for (; j > 0 && Sum(palette[j - 1]) > Sum(e); --j) palette[j] = palette[j - 1];
        palette[j] = e;
    }
}

}  // namespace

bool ReduceColours(const PixelSource& src, int targetBits, int ditherMode,
                   PaletteEntry* palette, const IndexTarget& target) {
    if (src.width <= 0 || src.height <= 0) return false;
    const int n = 1 << targetBits;
    std::vector<uint8_t> indices(static_cast<size_t>(src.width));
    if (src.bits == 8 ? ExactFrom8(src, n, palette, target, indices.data())
                      : ExactFrom24(src, n, palette, target, indices.data()))
        return true;

    Cells cells =
        GatherCells(src.width, src.height, n,
                    [&](int y, uint8_t* scratch) { return ColourRow(src, y, scratch); });
    const int filled = PaletteFromCells(
        cells, static_cast<int64_t>(src.width) * src.height, targetBits, palette);
    // Entries that no cell filled are black.
    std::fill(palette + filled, palette + n, PaletteEntry{});
    SortBySum(palette, n);

    NearestColour nearest(palette, n);
    Samples entries[256];
    for (int i = 0; i < n; ++i)
        entries[i] = Samples{palette[i].blue, palette[i].green, palette[i].red, 0};
    const ColourRows rows(src);
    ScanRows(
        src.width, src.height, ditherMode, [&](int y, Samples* out) { rows.Load(y, out); },
        [&](const Samples& value, Samples& output) PELIO_ALWAYS_INLINE {
            const uint32_t i = nearest.Find(static_cast<uint32_t>(value[0]),
                                            static_cast<uint32_t>(value[1]),
                                            static_cast<uint32_t>(value[2]));
            output = entries[i];
            return static_cast<uint8_t>(i);
        },
        target);
    return true;
}

void ReduceToBlackAndWhite(const PixelSource& src, int ditherMode, PaletteEntry* palette,
                           const IndexTarget& target) {
    palette[0] = {0, 0, 0, 0};
    palette[1] = {255, 255, 255, 0};
    if (src.width <= 0 || src.height <= 0) return;
    const GreyRows grey(src);
    ScanRows(
        src.width, src.height, ditherMode, [&](int y, Samples* out) { grey.Load(y, out); },
        [](const Samples& value, Samples& output) PELIO_ALWAYS_INLINE {
            const bool white = value[0] >= 128;
            output = Samples{static_cast<int16_t>(white ? 255 : 0), 0, 0, 0};
            return static_cast<uint8_t>(white);
        },
        target);
}

void GreyLevels(const PixelSource& src, uint8_t* target) {
    const GreyRows grey(src);
    for (int y = 0; y < src.height; ++y)
        grey.Load(y, target + static_cast<size_t>(src.width) * static_cast<size_t>(y));
}

}  // namespace pelio
