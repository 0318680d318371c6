// Nearest palette entry by squared distance through a lazily filled inverse map. Portable.
#include "core/image/nearest_colour.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace pelio {

NearestColour::NearestColour(const PaletteEntry* entries, int count)
    : regions_(size_t{1} << 9),
      blocks_(size_t{1} << 15),
      filled_(size_t{1} << 18),
      map_(new uint8_t[size_t{1} << 24]) {
    // Of equal colours only the first can win.
    for (int i = 0; i < count; ++i) {
        const PaletteEntry& e = entries[i];
        bool seen = false;
        for (const Entry& d : distinct_)
            seen = seen || (d.blue == e.blue && d.green == e.green && d.red == e.red);
        if (!seen) distinct_.push_back({e.blue, e.green, e.red, static_cast<uint8_t>(i)});
    }
}

size_t NearestColour::Collect(const Entry* from, size_t count, int lowBlue, int lowGreen,
                              int lowRed, int side, Entry* out) {
    // The entry whose farthest point of the cube is nearest…
    const int high = side - 1;
    auto far = [high](int v, int low) {
        const int over = std::max(v - low, low + high - v);
        return over * over;
    };
    size_t best = 0;
    int bound = INT_MAX;
    for (size_t i = 0; i < count; ++i) {
        const int ceiling = far(from[i].blue, lowBlue) + far(from[i].green, lowGreen) +
                            far(from[i].red, lowRed);
        best = ceiling < bound ? i : best;
        bound = std::min(bound, ceiling);
    }
    // …rules out every entry that is never nearer than it anywhere in the cube. The difference
    // of their squared distances is linear in the colour, so its least value over the cube is
    // at a corner: per axis, the high end where this entry lies beyond that one, else the low.
    const Entry k = from[best];
    const int kSquare = k.blue * k.blue + k.green * k.green + k.red * k.red;
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        const Entry e = from[i];
        const int db = e.blue - k.blue, dg = e.green - k.green, dr = e.red - k.red;
        const int least = e.blue * e.blue + e.green * e.green + e.red * e.red - kSquare -
                          2 * (db * (lowBlue + (db > 0 ? high : 0)) +
                               dg * (lowGreen + (dg > 0 ? high : 0)) +
                               dr * (lowRed + (dr > 0 ? high : 0)));
        // Equal distances go to the lower index.
        const bool ruledOut = e.index < k.index ? least > 0 : least >= 0;
        out[kept] = e;
        kept += i == best || !ruledOut;
    }
    return kept;
}

const NearestColour::List& NearestColour::BlockList(int blue, int green, int red) {
    const uint32_t block = (static_cast<uint32_t>(red >> 3) << 10) |
                           (static_cast<uint32_t>(green >> 3) << 5) |
                           static_cast<uint32_t>(blue >> 3);
    List& b = blocks_[block];
    if (b.count != 0) return b;
    const uint32_t region = (static_cast<uint32_t>(red >> 5) << 6) |
                            (static_cast<uint32_t>(green >> 5) << 3) |
                            static_cast<uint32_t>(blue >> 5);
    List& r = regions_[region];
    // Each list goes at the end of lists_, which must first have room for all it might hold.
    if (r.count == 0) {
        const size_t first = lists_.size();
        lists_.resize(first + distinct_.size());
        const size_t count = Collect(distinct_.data(), distinct_.size(), blue & ~31,
                                     green & ~31, red & ~31, 32, lists_.data() + first);
        lists_.resize(first + count);
        r = {static_cast<uint32_t>(first), static_cast<uint16_t>(count)};
    }
    const size_t first = lists_.size();
    lists_.resize(first + r.count);
    const size_t count = Collect(lists_.data() + r.first, r.count, blue & ~7, green & ~7,
                                 red & ~7, 8, lists_.data() + first);
    lists_.resize(first + count);
    b = {static_cast<uint32_t>(first), static_cast<uint16_t>(count)};
    return b;
}

void NearestColour::FillBox(uint32_t box) {
    const int blue = static_cast<int>(box & 63) << 2;
    const int green = static_cast<int>((box >> 6) & 63) << 2;
    const int red = static_cast<int>(box >> 12) << 2;
    const List& block = BlockList(blue, green, red);
    Entry candidates[256];
    const size_t count = Collect(lists_.data() + block.first, block.count, blue, green, red, 4,
                                 candidates);

    uint8_t* out = map_.get() + (static_cast<size_t>(box) << 6);
    if (count == 1) {
        std::memset(out, candidates[0].index, 64);
    } else {
        // Distance and index in one key: the least key is the nearest entry, lowest index first.
        int keys[64];
        std::fill(std::begin(keys), std::end(keys), INT_MAX);
        for (size_t c = 0; c < count; ++c) {
            const Entry& e = candidates[c];
            int blues[4], greens[4], reds[4];
            for (int k = 0; k < 4; ++k) {
                blues[k] = ((blue + k - e.blue) * (blue + k - e.blue) << 8) | e.index;
                greens[k] = (green + k - e.green) * (green + k - e.green) << 8;
                reds[k] = (red + k - e.red) * (red + k - e.red) << 8;
            }
            for (int rg = 0; rg < 16; ++rg) {
                const int base = reds[rg >> 2] + greens[rg & 3];
                int* row = keys + 4 * rg;
                for (int b = 0; b < 4; ++b) row[b] = std::min(row[b], base + blues[b]);
            }
        }
        for (int i = 0; i < 64; ++i) out[i] = static_cast<uint8_t>(keys[i]);
    }
    filled_[box] = 1;
}

}  // namespace pelio
