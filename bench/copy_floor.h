// The floor a decoder is measured against: allocating a bitmap and copying pixel bytes in.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/image/image.h"

namespace pelio::bench {

// One zero-filled block kept across runs, for measuring a decoder's own work where fresh
// pages are dear (on some machines their first touch costs more than the decode).
class KeptAllocator final : public PixelAllocator {
public:
    bool Allocate(Image& image) override {
        block_.assign(image.PixelBytes(), 0);
        image.bits = block_.data();
        return true;
    }
    void Release(Image& image) override { image.bits = nullptr; }

private:
    std::vector<uint8_t> block_;
};

// Fresh memory per run (Arg 0) or the kept block (Arg 1).
inline const char* AllocationName(int64_t kept) { return kept ? "kept block" : "fresh memory"; }

// Per iteration: a 24-bit `width` × `height` picture allocated (fresh, or the kept block),
// and the file's bytes from `pixelsAt` copied into it (as many as the picture holds).
inline void RunCopyFloor(benchmark::State& state, const std::vector<uint8_t>& file, size_t pixelsAt,
                         int width, int height, bool keep = false) {
    MemoryAllocator fresh;
    KeptAllocator kept;
    PixelAllocator& allocator = keep ? static_cast<PixelAllocator&>(kept) : fresh;
    state.SetLabel(AllocationName(keep));
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
