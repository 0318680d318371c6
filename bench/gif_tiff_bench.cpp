// GIF decoding against giflib plus the same composition, and TIFF decoding against a plain
// copy of its pixels.
#include <benchmark/benchmark.h>

#include "bench/copy_floor.h"
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/image/gif_codec.h"
#include "core/image/tiff_codec.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

std::vector<uint8_t> EncodeSample(int width, int height, int depth, bool gif) {
    test::SampleImage sample(width, height, 24, 7, 3);
    SaveOptions options;
    options.settings.depth = depth;
    options.settings.dither = 0;
    VectorSink sink;
    int error = 0;
    if (gif) EncodeGif(sample.image, options, sink, error);
    else EncodeTiff(sample.image, options, sink, error);
    return sink.bytes;
}

const std::vector<uint8_t>& StillGif() {
    static const std::vector<uint8_t> file = EncodeSample(1920, 1080, 8, true);
    return file;
}

// 100 full frames of 640 x 480 after a loop extension; every other frame has a transparent
// index.
const std::vector<uint8_t>& AnimatedGif() {
    static const std::vector<uint8_t> file = [] {
        const std::vector<uint8_t> still = EncodeSample(640, 480, 8, true);
        const size_t header = 13 + 768;
        const std::vector<uint8_t> frame(still.begin() + header, still.end() - 1);
        std::vector<uint8_t> out(still.begin(), still.begin() + header);
        const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
        out.insert(out.end(), loop, loop + sizeof loop);
        for (int i = 0; i < 100; ++i) {
            const uint8_t control[] = {0x21, 0xF9, 4, uint8_t(i & 1), 5, 0, uint8_t(i), 0};
            out.insert(out.end(), control, control + sizeof control);
            out.insert(out.end(), frame.begin(), frame.end());
        }
        out.push_back(';');
        return out;
    }();
    return file;
}

void BM_GifDecode(benchmark::State& state, const std::vector<uint8_t>& file) {
    MemoryAllocator allocator;
    for (auto _ : state) {
        DecodeResult result;
        GifAnimation animation;
        DecodeGifAnimation(file, LoadOptions{}, allocator, result, &animation);
        benchmark::DoNotOptimize(result.image.bits);
        ReleaseGifAnimation(animation, allocator);
        allocator.Release(result.image);
    }
}

struct Memory {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* m = static_cast<Memory*>(gif->UserData);
    const size_t take = std::min<size_t>(size_t(n), m->bytes->size() - m->at);
    std::memcpy(out, m->bytes->data() + m->at, take);
    m->at += take;
    return static_cast<int>(take);
}

// giflib's DGifSlurp, then the same composition into bottom-up 8-bit bitmaps.
void BM_GiflibDecode(benchmark::State& state, const std::vector<uint8_t>& file) {
    MemoryAllocator allocator;
    for (auto _ : state) {
        Memory memory{&file};
        int error = 0;
        GifFileType* gif = DGifOpen(&memory, ReadMemory, &error);
        DGifSlurp(gif);
        std::vector<Image> frames;
        for (int n = 0; n < gif->ImageCount; ++n) {
            const SavedImage& s = gif->SavedImages[n];
            const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(gif, n, &gcb);
            Image image;
            image.header.width = gif->SWidth;
            image.header.height = gif->SHeight;
            image.header.bitCount = 8;
            for (int i = 0; i < map->ColorCount; ++i)
                image.palette[i] = PaletteEntry{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 0};
            allocator.Allocate(image);
            const Image* previous = frames.empty() ? nullptr : &frames.back();
            if (previous) std::memcpy(image.bits, previous->bits, image.PixelBytes());
            const int w = s.ImageDesc.Width, t = gcb.TransparentColor;
            for (int y = 0; y < s.ImageDesc.Height; ++y) {
                const int row = gif->SHeight - 1 - (s.ImageDesc.Top + y);
                uint8_t* dst = image.Row(row) + s.ImageDesc.Left;
                const uint8_t* src = s.RasterBits + size_t(y) * w;
                if (!previous || t < 0) {
                    std::memcpy(dst, src, size_t(w));
                } else {
                    const uint8_t* before = previous->Row(row) + s.ImageDesc.Left;
                    for (int x = 0; x < w; ++x) dst[x] = src[x] == t ? before[x] : src[x];
                }
            }
            frames.push_back(image);
        }
        DGifCloseFile(gif, &error);
        benchmark::DoNotOptimize(frames.data());
        for (Image& f : frames) allocator.Release(f);
    }
}

BENCHMARK_CAPTURE(BM_GifDecode, still_1920x1080, StillGif())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GiflibDecode, still_1920x1080, StillGif())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifDecode, animation_100_frames, AnimatedGif())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GiflibDecode, animation_100_frames, AnimatedGif())->Unit(benchmark::kMillisecond);

constexpr int kTiffWidth = 6000, kTiffHeight = 4000;  // 24 megapixels

const std::vector<uint8_t>& LargeTiff() {
    static const std::vector<uint8_t> file = EncodeSample(kTiffWidth, kTiffHeight, 24, false);
    return file;
}

void BM_TiffDecodeRgb(benchmark::State& state) {
    const std::vector<uint8_t>& file = LargeTiff();
    MemoryAllocator fresh;
    bench::KeptAllocator kept;
    PixelAllocator& allocator = state.range(0) ? static_cast<PixelAllocator&>(kept) : fresh;
    state.SetLabel(bench::AllocationName(state.range(0)));
    for (auto _ : state) {
        DecodeResult result;
        DecodeTiff(file, LoadOptions{}, allocator, result);
        benchmark::DoNotOptimize(result.image.bits);
        allocator.Release(result.image);
    }
}
BENCHMARK(BM_TiffDecodeRgb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor: allocating a bitmap and copying the file's pixel bytes into it.
void BM_TiffCopyRgb(benchmark::State& state) {
    bench::RunCopyFloor(state, LargeTiff(), 180, kTiffWidth, kTiffHeight, state.range(0) != 0);
}
BENCHMARK(BM_TiffCopyRgb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelio
