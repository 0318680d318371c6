// Depth conversion, colour reduction and dithering of pixel arrays. Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/image/image.h"

namespace pelio {

// One conversion's settings and results. Rows are in storage order and padded to 4 bytes
// unless said otherwise; 24-bit pixels are blue, green, red.
struct ColourEngine {
    int width = 0;
    int height = 0;
    int sourceBits = 0;  // 1, 2, 4, 8, 24 or 48
    int targetBits = 0;
    int ditherMode = 0;  // 0 Floyd-Steinberg, 1 two thirds, 2 half, 3 (or other) none
    // Set by PrepareTarget.
    int targetRowBytes = 0;
    int targetStride = 0;
    int targetSize = 0;
};

// Sets targetRowBytes, targetStride and targetSize from width, height and targetBits.
void PrepareTarget(ColourEngine& engine);

// The general conversion between the supported pairs of depths; fills `targetPalette` for
// palette targets. False for an unsupported pair or when a work buffer cannot be had.
bool Convert(Palette& targetPalette, uint8_t* targetPixels, ColourEngine& engine,
             const Palette* sourcePalette, const uint8_t* sourcePixels);

// For the GIF encoder: source 8 or 24 bits, target depth 1..8, one byte per target pixel in
// rows of exactly `width` bytes.
bool ConvertUnpacked(const Palette* sourcePalette, const uint8_t* sourcePixels,
                     Palette& targetPalette, ColourEngine& engine, uint8_t* targetPixels);

// Grey levels of an 8- or 24-bit source, one byte per pixel, rows of exactly `width` bytes.
bool ToGrey8(ColourEngine& engine, const Palette* sourcePalette, const uint8_t* sourcePixels,
             uint8_t* targetPixels);

enum class Expand24 { Ok, NoMemory, Failed };  // Failed: not 8 or 24 bits, or the conversion failed

// A 24-bit view of a palette or 24-bit image: `view` is `image` itself at 24 bits, else a
// copy of its header whose pixels are the conversion held in `storage`.
Expand24 ExpandTo24(const Image& image, std::vector<uint8_t>& storage, Image& view);

// Distinct colours of a 24-bit source (0 when the bit set cannot be had).
uint32_t CountColours24(const ColourEngine& engine, const uint8_t* sourcePixels);
// Distinct pixel values of an 8-bit source.
uint32_t CountUsedIndices8(const ColourEngine& engine, const uint8_t* sourcePixels);

}  // namespace pelio
