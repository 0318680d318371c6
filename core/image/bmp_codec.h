// Windows bitmap files and packed clipboard bitmaps. Portable.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/image/codec.h"

namespace pelio {

// A BMP file: 1, 4 and 8 bits become 8 bits with palette; 16, 24 and 32 bits become 24 bits.
bool DecodeBmp(std::span<const uint8_t> file, const LoadOptions& options,
               PixelAllocator& allocator, DecodeResult& result);

// A packed bitmap as the clipboard holds it (information header, palette or masks, pixels).
// False, with no image and no error code, for anything refused.
bool DecodePackedBitmap(std::span<const uint8_t> packed, PixelAllocator& allocator, Image& image);

// Writes `image` at the depth of the save settings, reduced with their dither mode when the
// depth is lower than the image's.
bool EncodeBmp(const Image& image, const SaveOptions& options, ByteSink& out, int& error);

// The packed bitmap the clipboard takes: header, 1024 palette bytes unless 24 bits, pixels.
std::vector<uint8_t> PackBitmap(const Image& image);

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;

}  // namespace pelio
