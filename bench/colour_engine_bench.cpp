// Colour reduction of photo-like pictures through the colour engine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/image/colour_engine.h"
#include "core/image/nearest_colour.h"

namespace pelio {
namespace {

// Smooth shading, soft-edged discs and a fine grain: many colours, as in a photograph.
std::vector<uint8_t> PhotoLike(int width, int height) {
    const size_t stride = RowStride(width, 24);
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
    struct Disc {
        double x, y, radius;
        int blue, green, red;
    } discs[] = {{0.3, 0.4, 0.18, 40, 90, 200},
                 {0.7, 0.3, 0.12, 200, 160, 60},
                 {0.55, 0.75, 0.2, 90, 200, 120},
                 {0.15, 0.8, 0.1, 230, 230, 240}};
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + stride * static_cast<size_t>(y);
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            double c[3] = {110 + 80 * std::sin(3.1 * u + 1.3 * v),
                           120 + 70 * std::sin(2.3 * v - 1.7 * u + 0.5),
                           130 + 90 * std::cos(1.9 * u * v + 2.0 * u)};
            for (const Disc& d : discs) {
                const double dist = std::hypot(u - d.x, (v - d.y) * height / width);
                const double a = std::clamp((d.radius - dist) / 0.02, 0.0, 1.0) * 0.85;
                c[0] += a * (d.blue - c[0]);
                c[1] += a * (d.green - c[1]);
                c[2] += a * (d.red - c[2]);
            }
            for (int ch = 0; ch < 3; ++ch) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = static_cast<int>(seed >> 28) - 8;
                const int v = static_cast<int>(c[ch]) + grain;
                row[3 * x + ch] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    return pixels;
}

void Reduce(benchmark::State& state, int targetBits) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const int mode = static_cast<int>(state.range(2));
    const std::vector<uint8_t> source = PhotoLike(width, height);
    ColourEngine engine;
    engine.width = width;
    engine.height = height;
    engine.sourceBits = 24;
    engine.targetBits = targetBits;
    engine.ditherMode = mode;
    PrepareTarget(engine);
    std::vector<uint8_t> target(static_cast<size_t>(engine.targetSize));
    Palette palette{};
    for (auto _ : state) {
        if (!Convert(palette, target.data(), engine, nullptr, source.data()))
            state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(target.data());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_ColourReduce24To8(benchmark::State& state) { Reduce(state, 8); }
// Small pictures too: what a small save or a fuzzer's round trip costs.
BENCHMARK(BM_ColourReduce24To8)
    ->Args({4, 4, 0})
    ->Args({32, 32, 0})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 3})
    ->Args({4000, 3000, 0})
    ->Unit(benchmark::kMillisecond);

void BM_ColourReduce24To4(benchmark::State& state) { Reduce(state, 4); }
BENCHMARK(BM_ColourReduce24To4)->Args({32, 32, 0})->Args({1920, 1080, 0})->Unit(benchmark::kMillisecond);

void BM_ColourReduce24To1(benchmark::State& state) { Reduce(state, 1); }
BENCHMARK(BM_ColourReduce24To1)->Args({1920, 1080, 0})->Unit(benchmark::kMillisecond);

// The nearest palette entry for every pixel of a photo-like picture, against the palette its
// reduction builds: a scan of all 256 entries per pixel, then the engine's search.
struct NearestJob {
    std::vector<uint8_t> pixels;
    Palette palette{};
};

NearestJob MakeNearestJob() {
    const int width = 1920, height = 1080;
    NearestJob job;
    const std::vector<uint8_t> source = PhotoLike(width, height);
    ColourEngine engine;
    engine.width = width;
    engine.height = height;
    engine.sourceBits = 24;
    engine.targetBits = 8;
    PrepareTarget(engine);
    std::vector<uint8_t> target(static_cast<size_t>(engine.targetSize));
    Convert(job.palette, target.data(), engine, nullptr, source.data());
    const size_t stride = RowStride(width, 24);
    for (int y = 0; y < height; ++y)
        job.pixels.insert(job.pixels.end(), source.begin() + stride * y,
                          source.begin() + stride * y + width * 3);
    return job;
}

void BM_ColourNearestScan(benchmark::State& state) {
    const NearestJob job = MakeNearestJob();
    for (auto _ : state) {
        uint32_t sum = 0;
        for (size_t i = 0; i < job.pixels.size(); i += 3) {
            int best = 195076, pick = 0;
            for (int k = 0; k < 256; ++k) {
                const int db = job.pixels[i] - job.palette[k].blue;
                const int dg = job.pixels[i + 1] - job.palette[k].green;
                const int dr = job.pixels[i + 2] - job.palette[k].red;
                const int d = db * db + dg * dg + dr * dr;
                if (d < best) best = d, pick = k;
            }
            sum += static_cast<uint32_t>(pick);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(job.pixels.size() / 3));
}
BENCHMARK(BM_ColourNearestScan)->Unit(benchmark::kMillisecond);

void BM_ColourNearestSearch(benchmark::State& state) {
    const NearestJob job = MakeNearestJob();
    for (auto _ : state) {
        NearestColour nearest(job.palette.data(), 256);
        uint32_t sum = 0;
        for (size_t i = 0; i < job.pixels.size(); i += 3)
            sum += nearest.Find(job.pixels[i], job.pixels[i + 1], job.pixels[i + 2]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(job.pixels.size() / 3));
}
BENCHMARK(BM_ColourNearestSearch)->Unit(benchmark::kMillisecond);

void BM_ColourCount24(benchmark::State& state) {
    const int width = 1920, height = 1080;
    const std::vector<uint8_t> source = PhotoLike(width, height);
    ColourEngine engine;
    engine.width = width;
    engine.height = height;
    engine.sourceBits = 24;
    for (auto _ : state) benchmark::DoNotOptimize(CountColours24(engine, source.data()));
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_ColourCount24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
