// Nearest palette entry by squared distance, the lowest index winning ties. Portable.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/image/image.h"

namespace pelio {

// Gives exactly what a scan of every entry in index order would (the best replaced only when
// strictly nearer), through an inverse map of all 2^24 colours that is filled one box of
// 4 × 4 × 4 colours at a time, when a colour of the box is first asked for. A box is filled
// from the few entries that can win inside it; those come from the list of its block of
// 8 × 8 × 8 colours, which comes from the list of its region of 32 × 32 × 32 colours.
class NearestColour {
public:
    // `count` is 1 … 256. Throws std::bad_alloc.
    NearestColour(const PaletteEntry* entries, int count);

    // Each of blue, green, red is 0 … 255.
    uint32_t Find(uint32_t blue, uint32_t green, uint32_t red) {
        const uint32_t at = kPlace.blue[blue] | kPlace.green[green] | kPlace.red[red];
        if (!filled_[at >> 6]) FillBox(at >> 6);
        return map_[at];
    }

private:
    // A colour's place in the map: its box (red, green, blue quarters) times 64, then its
    // place in the box (red, green, blue remainders), one table per channel.
    struct Places {
        uint32_t blue[256], green[256], red[256];
    };
    static constexpr Places kPlace = [] {
        Places p{};
        for (uint32_t v = 0; v < 256; ++v) {
            p.blue[v] = ((v >> 2) << 6) | (v & 3);
            p.green[v] = ((v >> 2) << 12) | ((v & 3) << 2);
            p.red[v] = ((v >> 2) << 18) | ((v & 3) << 4);
        }
        return p;
    }();

    struct Entry {
        uint8_t blue, green, red, index;
    };
    struct List {
        uint32_t first = 0;
        uint16_t count = 0;  // 0 while not built
    };

    void FillBox(uint32_t box);
    const List& BlockList(int blue, int green, int red);
    // Copies to `out` (room for `count`), in their order, the entries of `from` that can be the
    // nearest to some colour of the cube low … low + side - 1 on every axis; returns how many.
    static size_t Collect(const Entry* from, size_t count, int lowBlue, int lowGreen,
                          int lowRed, int side, Entry* out);

    std::vector<Entry> distinct_;  // one per colour, with its lowest index
    std::vector<List> regions_;
    std::vector<List> blocks_;
    std::vector<Entry> lists_;     // the lists of regions and blocks
    std::vector<uint8_t> filled_;  // per box
    std::unique_ptr<uint8_t[]> map_;  // box by box; only filled boxes are ever read
};

}  // namespace pelio
