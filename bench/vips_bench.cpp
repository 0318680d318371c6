// The blurs against libvips's on one worker thread, its output copied into a buffer kept
// between runs as ours is written into one. Its work runs on its own threads: the CPU time
// counted is the process's.
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <cstring>
#include <vector>

#include "tests/support/sample_image.h"

namespace pelio {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;  // the same picture as the kernels' benchmarks

struct VipsSetup {
    test::SampleImage picture{kWidth, kHeight, 24};
    std::vector<uint8_t> output = std::vector<uint8_t>(size_t(kWidth) * kHeight * 3);
    VipsSetup() {
        if (VIPS_INIT("pelio_bench")) return;
        vips_concurrency_set(1);
        vips_cache_set_max(0);  // every run computes
    }
};

VipsSetup& Setup() {
    static VipsSetup s;
    return s;
}

int CopyRows(VipsRegion* region, VipsRect* area, void* out) {
    const size_t row = size_t(area->width) * 3;
    for (int y = area->top; y < area->top + area->height; ++y)
        std::memcpy(static_cast<uint8_t*>(out) + (size_t(y) * kWidth + area->left) * 3, VIPS_REGION_ADDR(region, area->left, y), row);
    return 0;
}

// Runs `make` on the picture (rows of exactly width × 3 bytes) and pulls every row out.
template <class Make>
void RunVips(benchmark::State& state, Make make) {
    VipsSetup& s = Setup();
    const Image& p = s.picture.image;
    for (auto _ : state) {
        VipsImage* in = vips_image_new_from_memory(p.bits, p.PixelBytes(), kWidth, kHeight, 3, VIPS_FORMAT_UCHAR);
        VipsImage* out = nullptr;
        if (!in || make(in, &out) || vips_sink_disc(out, CopyRows, s.output.data())) state.SkipWithError(vips_error_buffer());
        if (out) g_object_unref(out);
        if (in) g_object_unref(in);
        benchmark::DoNotOptimize(s.output.data());
    }
}

// σ = 10, the Gaussian of radius 20, integer arithmetic.
void BM_VipsGaussBlur10(benchmark::State& state) {
    RunVips(state, [](VipsImage* in, VipsImage** out) {
        return vips_gaussblur(in, out, 10.0, "precision", VIPS_PRECISION_INTEGER, nullptr);
    });
}
BENCHMARK(BM_VipsGaussBlur10)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// The N × N box as an integer convolution.
void BM_VipsBox(benchmark::State& state) {
    const int n = int(state.range(0));
    RunVips(state, [n](VipsImage* in, VipsImage** out) {
        VipsImage* mask = vips_image_new_matrix(n, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) *VIPS_MATRIX(mask, x, y) = 1.0;
        vips_image_set_double(mask, "scale", double(n * n));
        const int failed = vips_conv(in, out, mask, "precision", VIPS_PRECISION_INTEGER, nullptr);
        g_object_unref(mask);
        return failed;
    });
}
BENCHMARK(BM_VipsBox)->Arg(3)->Arg(5)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
