// Arbitrary-angle rotation and the trimming's working picture on large pictures.
#include <benchmark/benchmark.h>

#include "core/ops/rotate.h"
#include "core/ops/trim.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

// The preview of a 12-megapixel picture, by the angle in tenths.
void BM_RotatePreview(benchmark::State& state) {
    static test::SampleImage source(4000, 3000, 24), target(4000, 3000, 24);
    const PixelJob job = MakePixelJob(source.image, target.image);
    for (auto _ : state) {
        RotatePreview(job, static_cast<int>(state.range(0)), 0xFFFFFF);
        benchmark::DoNotOptimize(target.image.bits);
    }
}
BENCHMARK(BM_RotatePreview)->Arg(100)->Arg(450)->Arg(900)->Arg(1800)->Unit(benchmark::kMillisecond);

// The full rotation of a 24-megapixel picture into its enlarged target.
void BM_RotateFull(benchmark::State& state) {
    static test::SampleImage source(6000, 4000, 24);
    const int angle = static_cast<int>(state.range(0));
    const RotatedExtent size = RotatedSize(6000, 4000, angle);
    test::SampleImage target(size.width, size.height, 24);
    const PixelJob job = MakePixelJob(source.image, target.image);
    for (auto _ : state) {
        RotateFull(job, angle, 0xFFFFFF, size.width, size.height);
        benchmark::DoNotOptimize(target.image.bits);
    }
}
BENCHMARK(BM_RotateFull)->Arg(100)->Arg(450)->Arg(900)->Unit(benchmark::kMillisecond);

// The working picture of a 24-megapixel picture with a selection in its middle.
void BM_RebuildTrimPreview(benchmark::State& state) {
    static test::SampleImage source(6000, 4000, 24), target(6000, 4000, 24);
    const PixelJob job = MakePixelJob(source.image, target.image);
    for (auto _ : state) {
        RebuildTrimPreview(job, {1000, 1000, 4999, 2999});
        benchmark::DoNotOptimize(target.image.bits);
    }
}
BENCHMARK(BM_RebuildTrimPreview)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
