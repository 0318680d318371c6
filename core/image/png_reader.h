// PNG files to an Image of 8 bits with palette or 24 bits. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/image/codec.h"

namespace pelio {

// Checks the file strictly and reads only inside `file`. Applies the display gamma and
// composites transparency over the background as `options` say. On failure returns false,
// leaves the error code in `result.error` and keeps no image.
bool DecodePng(std::span<const uint8_t> file, const LoadOptions& options,
               PixelAllocator& allocator, DecodeResult& result);

// The process-wide blend table: [a][v] = a × v / 255, rounded.
using PngAlphaTable = std::array<std::array<uint8_t, 256>, 256>;
const PngAlphaTable& PngBlendTable();

}  // namespace pelio
