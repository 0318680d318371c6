// Display gamma and compositing over the background for decoded PNG images. Portable.
#pragma once
#include "core/image/codec.h"
#include "core/image/png_chunk_walk.h"

namespace pelio {

// Applies the display gamma to the output (8-bit output: to its palette) when the file has
// gAMA, then blends transparency over the background, both as `options` say.
void ApplyPngGammaAndAlpha(const LoadOptions& options, PngState& s);

}  // namespace pelio
