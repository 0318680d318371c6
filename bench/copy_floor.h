// The floor a decoder is measured against: allocating a bitmap and copying pixel bytes in.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/image/image.h"

namespace pelio::bench {

// Per iteration: a 24-bit `width` × `height` picture allocated, and the file's bytes from
// `pixelsAt` copied into it (as many as the picture holds).
inline void RunCopyFloor(benchmark::State& state, const std::vector<uint8_t>& file, size_t pixelsAt,
                         int width, int height) {
    MemoryAllocator allocator;
    for (auto _ : state) {
        Image image;
        image.header.width = width;
        image.header.height = height;
        image.header.bitCount = 24;
        allocator.Allocate(image);
        std::memcpy(image.bits, file.data() + pixelsAt, std::min(image.PixelBytes(), file.size() - pixelsAt));
        benchmark::DoNotOptimize(image.bits);
        allocator.Release(image);
    }
}

}  // namespace pelio::bench
