// JPEG decode and encode of a 24-megapixel picture: ours against TurboJPEG's own calls.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <turbojpeg.h>

#include "core/image/jpeg_codec.h"

namespace pelio {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// Smooth shading with grain, bottom-up 24-bit rows.
const std::vector<uint8_t>& Picture() {
    static const std::vector<uint8_t> pixels = [] {
        const size_t stride = RowStride(kWidth, 24);
        std::vector<uint8_t> p(stride * kHeight);
        uint32_t seed = 7;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c) {
                    seed = seed * 1664525u + 1013904223u;
                    const double v = 128 + 90 * std::sin(0.002 * x * (c + 1) + 0.003 * y) +
                                     static_cast<int>(seed >> 29) - 4;
                    p[stride * y + 3 * x + c] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
                }
        return p;
    }();
    return pixels;
}

// The picture as a q90 4:2:0 file.
const std::vector<uint8_t>& File() {
    static const std::vector<uint8_t> file = [] {
        tjhandle tj = tjInitCompress();
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(tj, Picture().data(), kWidth, static_cast<int>(RowStride(kWidth, 24)), kHeight,
                    TJPF_BGR, &out, &size, TJSAMP_420, 90, TJFLAG_BOTTOMUP);
        std::vector<uint8_t> f(out, out + size);
        tjFree(out);
        tjDestroy(tj);
        return f;
    }();
    return file;
}

void BM_JpegDecodeOurs(benchmark::State& state) {
    const std::vector<uint8_t>& file = File();
    MemoryAllocator allocator;
    for (auto _ : state) {
        DecodeResult result;
        if (!DecodeJpeg(file, LoadOptions{}, allocator, result)) state.SkipWithError("decode");
        allocator.Release(result.image);
    }
}

void BM_JpegDecodeTurbo(benchmark::State& state) {
    const std::vector<uint8_t>& file = File();
    tjhandle tj = tjInitDecompress();
    const int pitch = static_cast<int>(RowStride(kWidth, 24));
    for (auto _ : state) {
        // A fresh zeroed buffer per picture, as our allocator gives.
        std::vector<uint8_t> out(static_cast<size_t>(pitch) * kHeight);
        if (tjDecompress2(tj, file.data(), file.size(), out.data(), kWidth, pitch, kHeight,
                          TJPF_BGR, TJFLAG_BOTTOMUP) != 0)
            state.SkipWithError("decode");
        benchmark::DoNotOptimize(out.data());
    }
    tjDestroy(tj);
}

void BM_JpegEncodeOurs(benchmark::State& state) {
    Image image;
    image.header.width = kWidth;
    image.header.height = kHeight;
    image.header.bitCount = 24;
    image.bits = const_cast<uint8_t*>(Picture().data());
    SaveOptions options;
    options.settings.quality = 75;
    for (auto _ : state) {
        VectorSink sink;
        sink.bytes.reserve(8 << 20);
        int error = 0;
        if (!EncodeJpeg(image, options, sink, error)) state.SkipWithError("encode");
        benchmark::DoNotOptimize(sink.bytes.data());
    }
}

// TurboJPEG's compress: plain baseline tables, or (with its TJ_OPTIMIZE switch) optimised
// Huffman tables as our encoder always writes them.
void JpegEncodeTurbo(benchmark::State& state, bool optimise) {
    if (optimise) setenv("TJ_OPTIMIZE", "1", 1);
    else unsetenv("TJ_OPTIMIZE");
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        unsigned long size = 0;
        if (tjCompress2(tj, Picture().data(), kWidth, static_cast<int>(RowStride(kWidth, 24)),
                        kHeight, TJPF_BGR, &out, &size, TJSAMP_420, 75, TJFLAG_BOTTOMUP) != 0)
            state.SkipWithError("encode");
        tjFree(out);
    }
    tjDestroy(tj);
    unsetenv("TJ_OPTIMIZE");
}
void BM_JpegEncodeTurbo(benchmark::State& state) { JpegEncodeTurbo(state, false); }
void BM_JpegEncodeTurboOptimised(benchmark::State& state) { JpegEncodeTurbo(state, true); }

BENCHMARK(BM_JpegDecodeOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegDecodeTurbo)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegEncodeOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegEncodeTurbo)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegEncodeTurboOptimised)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace pelio
