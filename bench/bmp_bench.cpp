// BMP decoding of a large picture against a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/image/bmp_codec.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;  // 24 megapixels

const std::vector<uint8_t>& LargeBmp() {
    static const std::vector<uint8_t> file = test::SampleBmpFile(kWidth, kHeight);
    return file;
}

void BM_DecodeBmp24(benchmark::State& state) {
    const std::vector<uint8_t>& file = LargeBmp();
    MemoryAllocator allocator;
    for (auto _ : state) {
        DecodeResult result;
        DecodeBmp(file, LoadOptions{}, allocator, result);
        benchmark::DoNotOptimize(result.image.bits);
        allocator.Release(result.image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);

// The floor: allocating and copying the same number of bytes.
void BM_CopyBmp24(benchmark::State& state) {
    const std::vector<uint8_t>& file = LargeBmp();
    MemoryAllocator allocator;
    for (auto _ : state) {
        Image image;
        image.header.width = kWidth;
        image.header.height = kHeight;
        image.header.bitCount = 24;
        allocator.Allocate(image);
        std::memcpy(image.bits, file.data() + 54, image.PixelBytes());
        benchmark::DoNotOptimize(image.bits);
        allocator.Release(image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_CopyBmp24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
