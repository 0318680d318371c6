// WebP decode of a 12-megapixel lossy picture: the plug-in's decoder (bottom-up 24-bit rows)
// against libwebp's own decode of the same file into the same kind of buffer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/encode.h>

#include "plugins/webp/webp_decode.h"

namespace pelio {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// Smooth shading with grain, top-down; with alpha, a ramp across the picture.
std::vector<uint8_t> Picture(int channels) {
    std::vector<uint8_t> p(static_cast<size_t>(kWidth) * kHeight * channels);
    uint32_t seed = 7;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* px = &p[(static_cast<size_t>(y) * kWidth + x) * channels];
            for (int c = 0; c < 3; ++c) {
                seed = seed * 1664525u + 1013904223u;
                const double v = 128 + 90 * std::sin(0.002 * x * (c + 1) + 0.003 * y) +
                                 static_cast<int>(seed >> 29) - 4;
                px[c] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
            }
            if (channels == 4) px[3] = static_cast<uint8_t>(x * 255 / (kWidth - 1));
        }
    return p;
}

// The picture as a quality-80 lossy file.
std::vector<uint8_t> Encode(int channels) {
    const std::vector<uint8_t> pixels = Picture(channels);
    uint8_t* out = nullptr;
    const size_t size = channels == 4 ? WebPEncodeBGRA(pixels.data(), kWidth, kHeight, kWidth * 4, 80, &out)
                                      : WebPEncodeBGR(pixels.data(), kWidth, kHeight, kWidth * 3, 80, &out);
    std::vector<uint8_t> file(out, out + size);
    WebPFree(out);
    return file;
}

const std::vector<uint8_t>& File(bool alpha) {
    static const std::vector<uint8_t> opaque = Encode(3), withAlpha = Encode(4);
    return alpha ? withAlpha : opaque;
}

// What the plug-in does after reading the file: headers, one block, decode.
void WebpDecodeOurs(benchmark::State& state, bool alpha) {
    const std::vector<uint8_t>& file = File(alpha);
    for (auto _ : state) {
        WebpInfo info;
        if (ReadWebpInfo(file, info) != WebpError::None) state.SkipWithError("info");
        const size_t size = WebpDecodeBytes(info);
        std::unique_ptr<uint8_t[]> bits(new uint8_t[size]);
        if (DecodeWebp(file, {bits.get(), size}) != WebpError::None) state.SkipWithError("decode");
        benchmark::DoNotOptimize(bits.get());
    }
}

// libwebp's own decode into a fresh buffer: BGR rows with the same padding, or BGRA.
void WebpDecodeLibwebp(benchmark::State& state, bool alpha) {
    const std::vector<uint8_t>& file = File(alpha);
    const int stride = alpha ? 4 * kWidth : static_cast<int>(WebpRowBytes(kWidth));
    const size_t size = static_cast<size_t>(stride) * kHeight;
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> out(new uint8_t[size]);
        const uint8_t* ok = alpha ? WebPDecodeBGRAInto(file.data(), file.size(), out.get(), size, stride)
                                  : WebPDecodeBGRInto(file.data(), file.size(), out.get(), size, stride);
        if (!ok) state.SkipWithError("decode");
        benchmark::DoNotOptimize(out.get());
    }
}

void BM_WebpDecodeOurs(benchmark::State& state) { WebpDecodeOurs(state, false); }
void BM_WebpDecodeLibwebp(benchmark::State& state) { WebpDecodeLibwebp(state, false); }
void BM_WebpDecodeAlphaOurs(benchmark::State& state) { WebpDecodeOurs(state, true); }
void BM_WebpDecodeAlphaLibwebp(benchmark::State& state) { WebpDecodeLibwebp(state, true); }

BENCHMARK(BM_WebpDecodeOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WebpDecodeLibwebp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WebpDecodeAlphaOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WebpDecodeAlphaLibwebp)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace pelio
