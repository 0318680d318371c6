// Quarter turns, flips and inversion of a large picture against a plain copy of its bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/ops/filters.h"
#include "core/ops/geometry.h"
#include "core/ops/resize.h"
#include "core/ops/tone.h"
#include "core/ops/tone_operations.h"
#include "core/ops/tone_tables.h"
#include "core/ops/working_picture.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;  // 24 megapixels

struct Pictures {
    test::SampleImage source{kWidth, kHeight, 24};
    test::SampleImage target{kHeight, kWidth, 24};  // room for either orientation
};

Pictures& Shared() {
    static Pictures p;
    return p;
}

void BM_TurnPixels(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    const auto kind = static_cast<TurnKind>(state.range(0));
    for (auto _ : state) {
        TurnPixels(job, kind);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_TurnPixels)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_InvertPixels(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    for (auto _ : state) {
        InvertPixels(job);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_InvertPixels)->Unit(benchmark::kMillisecond);

// One table lookup per channel: the preview pass of a tone correction.
void BM_ApplyGamma(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    for (auto _ : state) {
        ApplyGamma(job, 40, 0, -40);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_ApplyGamma)->Unit(benchmark::kMillisecond);

// The yardstick of the tone passes: the same three tables in a plain loop over the same picture.
void BM_PlainThreeTables(benchmark::State& state) {
    Pictures& p = Shared();
    const Image& source = p.source.image;
    const uint8_t* blue = GammaTables()[60].data();  // ApplyGamma's tables for 40, 0, -40
    const uint8_t* green = GammaTables()[100].data();
    const uint8_t* red = GammaTables()[140].data();
    const int width = source.Width(), height = source.Height();
    const size_t stride = size_t(source.Stride());
    for (auto _ : state) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* s = source.bits + size_t(y) * stride;
            uint8_t* d = p.target.image.bits + size_t(y) * stride;
            for (int x = 0; x < width; ++x, s += 3, d += 3) {
                d[0] = blue[s[0]];
                d[1] = green[s[1]];
                d[2] = red[s[2]];
            }
        }
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(source.PixelBytes()));
}
BENCHMARK(BM_PlainThreeTables)->Unit(benchmark::kMillisecond);

// The histogram correction's preview in a channel mode: one channel alone (what a request for
// the selected channel once recomputed), and the whole picture from every channel's bounds.
void BM_LevelsOneChannel(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    static const LevelsTables tables;
    for (auto _ : state) {
        ApplyLevels(job, tables, 10, 200, 1);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_LevelsOneChannel)->Unit(benchmark::kMillisecond);

void BM_LevelsBounds(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    static const auto plan = std::make_unique<LevelsPlan>();
    LevelsBounds bounds;
    bounds.mode = 1;
    bounds.SetLow(0, 5), bounds.SetLow(1, 10), bounds.SetHigh(1, 200), bounds.SetHigh(2, 250);
    for (auto _ : state) {
        ApplyLevelsBounds(job, *plan, bounds);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_LevelsBounds)->Unit(benchmark::kMillisecond);

// An operation's start: the 24-bit working picture of a palette image and its source.
void BM_MakeWorkingPicture(benchmark::State& state) {
    static test::SampleImage palette(kWidth, kHeight, 8);
    MemoryAllocator allocator;
    for (auto _ : state) {
        WorkingPicture work;
        MakeWorkingPicture(palette.image, kFilterNeeds, allocator, work);
        benchmark::DoNotOptimize(work.picture.bits);
        allocator.Release(work.picture);
    }
}
BENCHMARK(BM_MakeWorkingPicture)->Unit(benchmark::kMillisecond);

// The box previews (3 × 3, 5 × 5), their rows of sums kept between requests as the preview does.
void BM_Box(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    ScratchBytes scratch;
    for (auto _ : state) {
        if (state.range(0) == 3) Box3x3(job, 250, scratch);
        else Box5x5(job, 250, scratch);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
}
BENCHMARK(BM_Box)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

// The soft focus's start: radius 20.
void BM_GaussianBlur20(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    ScratchBytes temporary;
    for (auto _ : state) {
        GaussianBlur(job, temporary, 20);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
}
BENCHMARK(BM_GaussianBlur20)->Unit(benchmark::kMillisecond)->Iterations(1);

// One unsharp preview pass, the difference picture made beforehand.
void BM_ApplyUnsharp(benchmark::State& state) {
    Pictures& p = Shared();
    PixelJob job = MakePixelJob(p.source.image, p.target.image);
    static const std::vector<int8_t> difference = PrepareUnsharp(job);
    for (auto _ : state) {
        ApplyUnsharp(job, difference, 30, 20);
        benchmark::DoNotOptimize(p.target.image.bits);
    }
}
BENCHMARK(BM_ApplyUnsharp)->Unit(benchmark::kMillisecond);

// Resize of the 24-megapixel picture to a quarter of each side (area averaging) and to 1.5
// times (linear), in percent; BM_ResizeOutputCopy copies an output of the same size.
void BM_Resize(benchmark::State& state) {
    Pictures& p = Shared();
    const int percent = static_cast<int>(state.range(0));
    test::SampleImage target(kWidth * percent / 100, kHeight * percent / 100, 24);
    for (auto _ : state) {
        ResizePixels(p.source.image, target.image);
        benchmark::DoNotOptimize(target.image.bits);
    }
}
BENCHMARK(BM_Resize)->Arg(25)->Arg(150)->Unit(benchmark::kMillisecond);

void BM_ResizeOutputCopy(benchmark::State& state) {
    const int percent = static_cast<int>(state.range(0));
    const int w = kWidth * percent / 100, h = kHeight * percent / 100;
    test::SampleImage from(w, h, 24), to(w, h, 24);
    for (auto _ : state) {
        std::memcpy(to.image.bits, from.image.bits, from.image.PixelBytes());
        benchmark::DoNotOptimize(to.image.bits);
    }
}
BENCHMARK(BM_ResizeOutputCopy)->Arg(25)->Arg(150)->Unit(benchmark::kMillisecond);

// The floor: the same bytes copied.
void BM_CopyPixels(benchmark::State& state) {
    Pictures& p = Shared();
    for (auto _ : state) {
        std::memcpy(p.target.image.bits, p.source.image.bits, p.source.image.PixelBytes());
        benchmark::DoNotOptimize(p.target.image.bits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(p.source.image.PixelBytes()));
}
BENCHMARK(BM_CopyPixels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
