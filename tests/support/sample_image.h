// Pictures made up for tests and benchmarks. Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/image/image.h"

namespace pelio::test {

// An image in plain memory, released on destruction, with a repeatable byte pattern
// (pixel byte i = i × step >> shift) and, for 8 bits, a palette of distinct colours.
struct SampleImage {
    SampleImage(int width, int height, int bits, uint32_t step = 13, int shift = 0);
    ~SampleImage();
    SampleImage(const SampleImage&) = delete;
    SampleImage& operator=(const SampleImage&) = delete;

    MemoryAllocator allocator;
    Image image;
};

// The sample picture written as a BMP file at `depth` (reduced when lower than 24).
std::vector<uint8_t> SampleBmpFile(int width, int height, int depth = 24, int32_t resolution = 2835);

}  // namespace pelio::test
