// Colour reduction to a built palette, black and white, and error diffusion. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/image/image.h"

namespace pelio {

// An 8- or 24-bit picture; `palette` (256 entries) only for 8 bits.
struct PixelSource {
    const uint8_t* pixels = nullptr;
    size_t stride = 0;
    int width = 0;
    int height = 0;
    int bits = 0;
    const PaletteEntry* palette = nullptr;
};

// Where palette indices go: `bitsPerIndex` 1, 2 or 4 packs them most significant field first,
// 8 writes bytes. Each row is `stride` bytes; what follows the packed indices is zeroed.
struct IndexTarget {
    uint8_t* pixels = nullptr;
    size_t stride = 0;
    int bitsPerIndex = 8;
};

// Reduces to 2^targetBits colours (targetBits 2 … 8) and fills that many palette entries.
// False when the picture has no pixels. Throws std::bad_alloc.
bool ReduceColours(const PixelSource& source, int targetBits, int ditherMode,
                   PaletteEntry* palette, const IndexTarget& target);

// Black (index 0) and white (index 1) from the grey levels of an 8- or 24-bit source.
// Throws std::bad_alloc.
void ReduceToBlackAndWhite(const PixelSource& source, int ditherMode, PaletteEntry* palette,
                           const IndexTarget& target);

// One grey byte per pixel into rows of exactly `width` bytes.
void GreyLevels(const PixelSource& source, uint8_t* target);

}  // namespace pelio
