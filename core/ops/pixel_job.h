// The argument record of every pixel kernel of the image operations. Portable.
#pragma once
#include <atomic>
#include <cstdint>

#include "core/image/image.h"

namespace pelio {

// Rows bottom-up as in a bitmap section; 24-bit pixels are blue, green, red.
struct PixelJob {
    int32_t width = 0, height = 0;
    int32_t bitCount = 24;  // 8 or 24
    int32_t stride = 0;
    const PaletteEntry* sourcePalette = nullptr;  // 256 entries, 8-bit pictures
    PaletteEntry* targetPalette = nullptr;
    const uint8_t* source = nullptr;  // never written
    uint8_t* target = nullptr;
    const uint8_t* blend = nullptr;   // the 256 × 256 blend table
    // Set by another thread to stop a kernel: the kernels test it before every row and
    // return at once, leaving the target partly written.
    const std::atomic<bool>* cancel = nullptr;
    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

// A job over `source` writing `target`; both must have the source's bit count (8 or 24).
PixelJob MakePixelJob(const Image& source, Image& target);

}  // namespace pelio
