// The number of colours an image uses. Portable.
#pragma once
#include <cstdint>

#include "core/image/image.h"

namespace pelio {

// 24 bits: distinct colours; 8 bits: distinct pixel values (equal palette entries count
// apart). 0 for other depths or when the work memory cannot be had.
uint32_t CountImageColours(const Image& image);

}  // namespace pelio
