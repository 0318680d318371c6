// Tone kernels that need no tables. Portable.
#pragma once
#include "core/ops/pixel_job.h"

namespace pelio {

// Tone inversion: 24 bits, every pixel byte becomes 255 − x; 8 bits, the indices are copied
// and every palette colour inverted (reserved byte 0). Row padding stays zero.
bool InvertPixels(const PixelJob& job);

}  // namespace pelio
