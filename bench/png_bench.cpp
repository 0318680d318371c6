// PNG decoding and encoding of 24-megapixel pictures against libpng and against zlib's
// inflate with a plain unfilter (the limit).
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "core/image/png_chunk.h"
#include "core/image/png_reader.h"
#include "core/image/png_writer.h"

namespace pelio {
namespace {

constexpr uint32_t kWidth = 6000, kHeight = 4000;

// A photo-like picture: smooth gradients with a little noise, RGB rows from the top.
const std::vector<uint8_t>& PhotoPixels() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(size_t(kWidth) * kHeight * 3);
        std::mt19937 random(7);
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                uint8_t* q = &p[(size_t(y) * kWidth + x) * 3];
                const int noise = int(random() % 9) - 4;
                q[0] = uint8_t(std::clamp(int((x * 255) / kWidth) + noise, 0, 255));
                q[1] = uint8_t(std::clamp(int((y * 255) / kHeight) + noise, 0, 255));
                q[2] = uint8_t(std::clamp(int(((x + y) / 40) % 256) + noise, 0, 255));
            }
        return p;
    }();
    return pixels;
}

void AppendOut(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void Flush(png_structp) {}

// libpng's encoding: colour type 2 or 3, the given filters, level 6.
std::vector<uint8_t> LibpngEncode(const std::vector<uint8_t>& pixels, int type, int filters) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendOut, Flush);
    png_set_IHDR(png, info, kWidth, kHeight, 8, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = png_color{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 256);
    png_set_filter(png, 0, filters);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    const size_t rowBytes = type == PNG_COLOR_TYPE_PALETTE ? kWidth : kWidth * 3;
    for (uint32_t y = 0; y < kHeight; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels.data() + y * rowBytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

const std::vector<uint8_t>& PaletteIndices() {
    static const std::vector<uint8_t> p = [] {
        std::vector<uint8_t> v(size_t(kWidth) * kHeight);
        const auto& photo = PhotoPixels();
        for (size_t i = 0; i < v.size(); ++i) v[i] = uint8_t((photo[3 * i] + photo[3 * i + 1]) / 2);
        return v;
    }();
    return p;
}

enum Which { kAdaptive, kPaeth, kPalette };

const std::vector<uint8_t>& File(int which) {
    static const std::vector<uint8_t> adaptive = LibpngEncode(PhotoPixels(), PNG_COLOR_TYPE_RGB, PNG_ALL_FILTERS);
    static const std::vector<uint8_t> paeth = LibpngEncode(PhotoPixels(), PNG_COLOR_TYPE_RGB, PNG_FILTER_PAETH);
    static const std::vector<uint8_t> palette =
        LibpngEncode(PaletteIndices(), PNG_COLOR_TYPE_PALETTE, PNG_FILTER_NONE);
    return which == kAdaptive ? adaptive : which == kPaeth ? paeth : palette;
}

const char* Name(int which) { return which == kAdaptive ? "adaptive" : which == kPaeth ? "paeth" : "palette"; }

void BM_PelioDecode(benchmark::State& state) {
    const auto& file = File(int(state.range(0)));
    state.SetLabel(Name(int(state.range(0))));
    MemoryAllocator allocator;
    for (auto _ : state) {
        DecodeResult r;
        if (!DecodePng(file, LoadOptions{}, allocator, r)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(r.image.bits);
        allocator.Release(r.image);
    }
}
BENCHMARK(BM_PelioDecode)->Arg(kAdaptive)->Arg(kPaeth)->Arg(kPalette)->Unit(benchmark::kMillisecond);

struct Source {
    const std::vector<uint8_t>* file;
    size_t at;
};
void ReadIn(png_structp png, png_bytep data, png_size_t n) {
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    std::memcpy(data, s->file->data() + s->at, n);
    s->at += n;
}

void BM_LibpngDecode(benchmark::State& state) {
    const auto& file = File(int(state.range(0)));
    state.SetLabel(Name(int(state.range(0))));
    // A new bitmap per run from the same allocator, as our decoder gets.
    MemoryAllocator allocator;
    std::vector<png_bytep> rows(kHeight);
    for (auto _ : state) {
        Image image;
        image.header.width = int32_t(kWidth);
        image.header.height = int32_t(kHeight);
        image.header.bitCount = 24;
        if (!allocator.Allocate(image)) state.SkipWithError("allocation failed");
        for (uint32_t y = 0; y < kHeight; ++y) rows[y] = image.Row(int32_t(kHeight - 1 - y));
        Source src{&file, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &src, ReadIn);
        png_read_info(png, info);
        png_set_palette_to_rgb(png);
        png_set_strip_16(png);
        png_read_update_info(png, info);
        png_read_image(png, rows.data());
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(image.bits);
        allocator.Release(image);
    }
}
BENCHMARK(BM_LibpngDecode)->Arg(kAdaptive)->Arg(kPaeth)->Arg(kPalette)->Unit(benchmark::kMillisecond);

// The limit: zlib inflating the joined IDAT data in one call, then a plain unfilter.
void BM_InflateAndUnfilter(benchmark::State& state) {
    const auto& file = File(int(state.range(0)));
    state.SetLabel(Name(int(state.range(0))));
    std::vector<uint8_t> idat;
    for (size_t at = 33; at + 12 <= file.size();) {
        const uint32_t n = GetU32BE(&file[at]);
        if (GetU32BE(&file[at + 4]) == ChunkTag("IDAT")) idat.insert(idat.end(), &file[at + 8], &file[at + 8] + n);
        at += 12 + n;
    }
    const int bpp = state.range(0) == kPalette ? 1 : 3;
    const size_t rowBytes = size_t(kWidth) * bpp;
    std::vector<uint8_t> raw(kHeight * (rowBytes + 1));
    for (auto _ : state) {
        uLongf size = uLongf(raw.size());
        uncompress(raw.data(), &size, idat.data(), uLong(idat.size()));
        for (uint32_t y = 0; y < kHeight; ++y) {
            uint8_t* row = &raw[y * (rowBytes + 1)];
            const uint8_t* prev = y ? row - rowBytes : nullptr;
            const int type = row[0];
            uint8_t* p = row + 1;
            for (size_t i = 0; i < rowBytes; ++i) {
                const int a = i >= size_t(bpp) ? p[i - bpp] : 0;
                const int b = prev ? prev[i] : 0;
                const int c = prev && i >= size_t(bpp) ? prev[i - bpp] : 0;
                int pred = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) >> 1 : type == 4 ? Paeth(a, b, c) : 0;
                p[i] = uint8_t(p[i] + pred);
            }
        }
        benchmark::DoNotOptimize(raw.data());
    }
}
BENCHMARK(BM_InflateAndUnfilter)->Arg(kAdaptive)->Arg(kPaeth)->Arg(kPalette)->Unit(benchmark::kMillisecond);

void BM_PelioEncode6(benchmark::State& state) {
    PngRaster raster;
    raster.width = kWidth;
    raster.height = kHeight;
    raster.colourType = 2;
    raster.rowBytes = size_t(kWidth) * 3;
    raster.rows = PhotoPixels();
    PngWriteParams p;
    p.level = 6;
    p.filter = int(state.range(0));
    state.SetLabel(p.filter == 0 ? "auto" : "paeth");
    for (auto _ : state) {
        VectorSink sink;
        int error = 0;
        PngRaster copy = raster;
        WritePngRaster(copy, p, sink, error);
        benchmark::DoNotOptimize(sink.bytes.data());
    }
}
BENCHMARK(BM_PelioEncode6)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LibpngEncode6(benchmark::State& state) {
    const int filters = state.range(0) == 0 ? PNG_ALL_FILTERS : PNG_FILTER_PAETH;
    state.SetLabel(state.range(0) == 0 ? "adaptive" : "paeth");
    for (auto _ : state) benchmark::DoNotOptimize(LibpngEncode(PhotoPixels(), PNG_COLOR_TYPE_RGB, filters).data());
}
BENCHMARK(BM_LibpngEncode6)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace pelio
