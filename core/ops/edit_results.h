// Operations whose result is a new picture: trimming, margins, quarter turns and flips, tone
// inversion, resize and rotation. Each makes its result through the allocator, with the file size the edited image
// shows in `out.fileSize`; on failure nothing is left allocated. Portable.
#pragma once
#include <cstdint>

#include "core/image/image.h"
#include "core/ops/geometry.h"
#include "core/ops/margins.h"
#include "core/ops/trim.h"

namespace pelio {

// The selection cut at the picture's own depth, an 8-bit one with its palette; false for a
// selection outside the picture.
bool TrimResult(const Image& image, const TrimRect& selection, PixelAllocator& allocator, Image& out);

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

// The picture (converted to 24 bits first) turned by `tenths` of a degree into the enlarged
// 24-bit picture, the uncovered corners in `background` (0x00BBGGRR); false when that picture
// would be larger than 25000 pixels on a side.
bool RotateResult(const Image& image, int tenths, uint32_t background, PixelAllocator& allocator, Image& out);

}  // namespace pelio
