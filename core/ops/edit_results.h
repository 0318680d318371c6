// Operations whose result is a new picture: margins, quarter turns and flips, tone inversion
// and resize. Each makes its result through the allocator, with the file size the edited image
// shows in `out.fileSize`; on failure nothing is left allocated. Portable.
#pragma once
#include <cstdint>

#include "core/image/image.h"
#include "core/ops/geometry.h"
#include "core/ops/margins.h"

namespace pelio {

// A 24-bit picture (a palette image converted first) with the margins in `colour` (0x00BBGGRR).
bool MarginsResult(const Image& image, const Margins& margins, uint32_t colour, PixelAllocator& allocator,
                   Image& out);

// The picture turned or flipped at its own depth, an 8-bit one with its palette. False for an
// unknown kind.
bool TurnResult(const Image& image, TurnKind kind, PixelAllocator& allocator, Image& out);

// Every colour inverted: the pixels of a 24-bit picture, the palette of an 8-bit one.
bool InvertResult(const Image& image, PixelAllocator& allocator, Image& out);

// A side of the resize runs from 1 to twice the picture's side, at most 25000.
int ClampResizeSide(int value, int side);
inline bool ResizeNeutral(const Image& image, int width, int height) {
    return width == image.Width() && height == image.Height();
}
// The picture resampled to 24 bits of `width` × `height`; false where the resampling refuses.
bool ResizeResult(const Image& image, int width, int height, PixelAllocator& allocator, Image& out);

}  // namespace pelio
