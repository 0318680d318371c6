// BMP decoding of a large picture against a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include "bench/copy_floor.h"

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

// The floor: allocating a bitmap and copying the file's pixel bytes into it.
void BM_CopyBmp24(benchmark::State& state) {
    bench::RunCopyFloor(state, LargeBmp(), 54, kWidth, kHeight);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(LargeBmp().size()));
}
BENCHMARK(BM_CopyBmp24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
