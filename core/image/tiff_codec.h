// Uncompressed baseline TIFF: the first image of a file, and single-strip writing. Portable.
#pragma once
#include <cstdint>
#include <span>

#include "core/image/codec.h"

namespace pelio {

// Bilevel, 4- and 8-bit grey or palette pictures become 8 bits with palette; RGB with 8 or
// 16 bits per sample becomes 24 bits. Compressed files fail with kCodecUnsupported.
bool DecodeTiff(std::span<const uint8_t> file, const LoadOptions& options,
                PixelAllocator& allocator, DecodeResult& result);

// Little-endian, uncompressed, one strip: depth 1 bilevel, 4 palette, 8 grey (with the save
// settings' grey switch) or palette, 24 RGB.
bool EncodeTiff(const Image& image, const SaveOptions& options, ByteSink& out, int& error);

}  // namespace pelio
