// JPEG decoding and encoding over libjpeg. Portable.
#include "core/image/jpeg_codec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"
#include "core/image/jpeg_library.h"

namespace pelio {

namespace {

// t[i][j] = i × j / 255, for CMYK as the library delivers it for Adobe files.
using InkTable = std::array<std::array<uint8_t, 256>, 256>;

const InkTable& Ink() {
    static const InkTable table = [] {
        InkTable t;
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j) t[i][j] = static_cast<uint8_t>(i * j / 255);
        return t;
    }();
    return table;
}

struct DecodeJob {
    jpeg_decompress_struct d;
    jpeg::ErrorManager err;
    const uint8_t* data;
    size_t size;
    PixelAllocator* allocator;
    DecodeResult* result;
};

template <typename T>
T* PoolAlloc(j_common_ptr object, size_t count) {
    return static_cast<T*>((*object->mem->alloc_large)(object, JPOOL_IMAGE, count * sizeof(T)));
}

// Library calls only: the error exit lands at the setjmp below.
int RunDecode(DecodeJob& job) {
    jpeg_decompress_struct& d = job.d;
    j_common_ptr common = reinterpret_cast<j_common_ptr>(&d);
    jpeg::UseErrorManager(*common, job.err);
    if (setjmp(job.err.jump)) {
        jpeg_destroy_decompress(&d);
        return kJpegLibraryError;
    }
    jpeg_create_decompress(&d);
    jpeg::UseMemorySource(d, job.data, job.size);
    jpeg_save_markers(&d, JPEG_COM, 1);
    jpeg_save_markers(&d, JPEG_APP0 + 1, 1);
    jpeg_read_header(&d, TRUE);

    SourceInfo& info = job.result->info;
    info.interlaced = d.progressive_mode ? 1 : 0;
    for (jpeg_saved_marker_ptr m = d.marker_list; m; m = m->next) {
        if (m->marker == JPEG_COM) ++info.comment;
        else if (m->marker == JPEG_APP0 + 1) info.text = 1;
    }

    switch (d.jpeg_color_space) {
    case JCS_GRAYSCALE: d.out_color_space = JCS_GRAYSCALE; break;
    case JCS_YCbCr:
    case JCS_RGB: d.out_color_space = JCS_EXT_BGR; break;
    case JCS_CMYK:
    case JCS_YCCK: d.out_color_space = JCS_CMYK; break;
    default: break;
    }
    // Checked before the library sizes its buffers for the whole picture.
    jpeg_calc_output_dimensions(&d);
    const int components = d.out_color_components;
    if (d.output_width == 0 || d.output_height == 0 || d.output_width > kMaxImageSide ||
        d.output_height > kMaxImageSide || components == 2 || components > 4 || components < 1) {
        jpeg_destroy_decompress(&d);
        return kCodecUnsupported;
    }

    Image& image = job.result->image;
    image.header = BitmapInfoHeader{};
    image.header.width = static_cast<int32_t>(d.output_width);
    image.header.height = static_cast<int32_t>(d.output_height);
    image.header.bitCount = components == 1 ? 8 : 24;
    image.palette = Palette{};
    if (components == 1)
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<uint8_t>(i);
            image.palette[i] = PaletteEntry{v, v, v, 0};
        }
    if (!job.allocator->Allocate(image)) {
        jpeg_destroy_decompress(&d);
        return kCodecNoMemory;
    }

    jpeg_start_decompress(&d);
    const int32_t h = image.Height();
    if (components == 4) {
        JSAMPROW cmyk = PoolAlloc<JSAMPLE>(common, size_t{d.output_width} * 4);
        const InkTable& t = Ink();
        while (d.output_scanline < d.output_height) {
            uint8_t* row = image.Row(h - 1 - static_cast<int32_t>(d.output_scanline));
            if (jpeg_read_scanlines(&d, &cmyk, 1) != 1) break;
            const JSAMPLE* s = cmyk;
            for (JDIMENSION x = 0; x < d.output_width; ++x, s += 4, row += 3) {
                row[0] = t[s[2]][s[3]];
                row[1] = t[s[1]][s[3]];
                row[2] = t[s[0]][s[3]];
            }
        }
    } else {
        // Rows go in bottom-up: scanline y is bitmap row h - 1 - y.
        JSAMPARRAY rows = PoolAlloc<JSAMPROW>(common, static_cast<size_t>(h));
        for (int32_t y = 0; y < h; ++y) rows[y] = image.Row(h - 1 - y);
        while (d.output_scanline < d.output_height) {
            const JDIMENSION at = d.output_scanline;
            if (jpeg_read_scanlines(&d, rows + at, d.output_height - at) == 0) break;
        }
    }
    jpeg_finish_decompress(&d);

    image.header.xPelsPerMeter = PixelsPerMetre(d.density_unit, d.X_density);
    image.header.yPelsPerMeter = PixelsPerMetre(d.density_unit, d.Y_density);
    jpeg_destroy_decompress(&d);
    return kCodecOk;
}

struct EncodeSettings {
    int quality = 75;
    bool progressive = false;
    bool grey = false;
    int hSampling = 2, vSampling = 2;
    int32_t xPels = 0, yPels = 0;
    const char* comment = nullptr;
    size_t commentLength = 0;
};

struct EncodeJob {
    jpeg_compress_struct c;
    jpeg::ErrorManager err;
    const uint8_t* pixels;  // 24-bit bottom-up rows
    size_t stride;
    int32_t width, height;
    EncodeSettings s;
    ByteSink* sink;
};

// Library calls only: the error exit lands at the setjmp below.
int RunEncode(EncodeJob& job) {
    jpeg_compress_struct& c = job.c;
    j_common_ptr common = reinterpret_cast<j_common_ptr>(&c);
    jpeg::UseErrorManager(*common, job.err);
    if (setjmp(job.err.jump)) {
        jpeg_destroy_compress(&c);
        return kJpegLibraryError;
    }
    jpeg_create_compress(&c);
    jpeg::UseSinkDestination(c, *job.sink);
    c.image_width = static_cast<JDIMENSION>(job.width);
    c.image_height = static_cast<JDIMENSION>(job.height);
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    c.optimize_coding = TRUE;
    const EncodeSettings& s = job.s;
    if (s.grey) {
        jpeg_set_colorspace(&c, JCS_GRAYSCALE);
    } else {
        c.comp_info[0].h_samp_factor = s.hSampling;
        c.comp_info[0].v_samp_factor = s.vSampling;
    }
    jpeg_set_quality(&c, s.quality, TRUE);
    if (s.progressive) jpeg_simple_progression(&c);
    if (s.xPels && s.yPels) {
        c.density_unit = 1;
        c.X_density = static_cast<UINT16>(DotsPerInch(s.xPels));
        c.Y_density = static_cast<UINT16>(DotsPerInch(s.yPels));
    }
    jpeg_start_compress(&c, TRUE);
    if (s.comment && s.commentLength)
        jpeg_write_marker(&c, JPEG_COM, reinterpret_cast<const JOCTET*>(s.comment),
                          static_cast<unsigned>(std::min(s.commentLength, kJpegCommentLimit)));
    const int32_t h = job.height;
    JSAMPARRAY rows = PoolAlloc<JSAMPROW>(common, static_cast<size_t>(h));
    for (int32_t y = 0; y < h; ++y)
        rows[y] = const_cast<JSAMPLE*>(job.pixels + job.stride * static_cast<size_t>(h - 1 - y));
    while (c.next_scanline < c.image_height) {
        const JDIMENSION at = c.next_scanline;
        jpeg_write_scanlines(&c, rows + at, c.image_height - at);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return kCodecOk;
}

EncodeSettings SettingsFor(const Image& image, const SaveOptions& options) {
    const ImageSaveSettings& set = options.settings;
    EncodeSettings s;
    s.quality = set.quality > 100 ? 75 : std::max(set.quality, 1);
    s.progressive = set.progressive;
    s.grey = set.gray;
    switch (set.sampling) {
    case 1: s.hSampling = 2; s.vSampling = 1; break;
    case 2: s.hSampling = 1; s.vSampling = 1; break;
    default: s.hSampling = 2; s.vSampling = 2; break;
    }
    s.xPels = image.header.xPelsPerMeter;
    s.yPels = image.header.yPelsPerMeter;
    if (options.writeComment && !options.comment.empty()) {
        s.comment = options.comment.data();
        s.commentLength = options.comment.size();
    }
    return s;
}

// One encode into `sink`; the codec error code.
int EncodeOnce(const uint8_t* pixels, size_t stride, int32_t width, int32_t height,
               const EncodeSettings& s, ByteSink& sink) {
    EncodeJob job{};
    job.pixels = pixels;
    job.stride = stride;
    job.width = width;
    job.height = height;
    job.s = s;
    job.sink = &sink;
    return RunEncode(job);
}

}  // namespace

int32_t PixelsPerMetre(int unit, int density) {
    if (unit == 1) return static_cast<int32_t>(std::lround(density / 0.0254));
    if (unit == 2) return density * 100;
    return 0;
}

int DotsPerInch(int32_t pixelsPerMetre) {
    return static_cast<int>(std::lround(pixelsPerMetre * 0.0254));
}

bool DecodeJpeg(std::span<const uint8_t> file, const LoadOptions&, PixelAllocator& allocator,
                DecodeResult& result) {
    ImageHolder holder(allocator, result.image);
    DecodeJob job{};
    job.data = file.data();
    job.size = file.size();
    job.allocator = &allocator;
    job.result = &result;
    result.error = RunDecode(job);
    if (result.error) return false;
    holder.Keep();
    result.image.format = ImageFormat::Jpeg;
    result.image.sourceBits = result.image.BitCount();
    result.image.fileSize = static_cast<int32_t>(std::min<size_t>(file.size(), INT32_MAX));
    return true;
}

std::optional<int> SearchJpegQuality(size_t limit,
                                     const std::function<std::optional<size_t>(int)>& sizeAt) {
    std::optional<size_t> size = sizeAt(100);
    if (!size) return std::nullopt;
    if (*size <= limit) return 100;
    int quality = 69, step = 31, upper = 100;
    int tried = 100, best = 0;
    bool lastFits = false;
    while (upper - step > 0) {
        size = sizeAt(quality);
        if (!size) return std::nullopt;
        tried = quality;
        lastFits = *size <= limit;
        if (!lastFits) {
            upper = quality;
            if (upper == 7) step = 1;
        } else {
            best = quality;
            if (step == 1) break;
            step /= 2;
        }
        quality = upper - step;
    }
    // The search can end on a trial over the limit after a smaller one fitted (7 fits, 23
    // and 8 do not): that one is encoded again rather than writing a file that is too big.
    if (!lastFits && best > 0) {
        if (!sizeAt(best)) return std::nullopt;
        return best;
    }
    return tried;
}

bool EncodeJpeg(const Image& image, const SaveOptions& options, ByteSink& out, int& error) {
    const int32_t w = image.Width(), h = image.Height();
    std::vector<uint8_t> wide;
    Image view;
    switch (ExpandTo24(image, wide, view)) {
    case Expand24::Ok: break;
    case Expand24::NoMemory: error = kCodecNoMemory; return false;
    default: error = kCodecSaveFailed; return false;
    }
    const uint8_t* pixels = view.bits;
    const size_t stride = view.Stride();

    const EncodeSettings base = SettingsFor(image, options);
    if (!options.settings.jpgLimit) {
        error = EncodeOnce(pixels, stride, w, h, base, out);
        return error == kCodecOk;
    }

    // Size-limited: trials go to memory, starting with room for the uncompressed picture;
    // a trial that needs more grows the buffer.
    const size_t limit = static_cast<size_t>(std::max(options.settings.jpgLmtVal, 0)) * 1024;
    VectorSink trial;
    try {
        trial.bytes.reserve(RowStride(w, 24) * static_cast<size_t>(h));
    } catch (const std::bad_alloc&) {
        error = kCodecOk;  // fails without a message
        return false;
    }
    int failure = kCodecOk;
    const std::optional<int> quality =
        SearchJpegQuality(limit, [&](int q) -> std::optional<size_t> {
            EncodeSettings s = base;
            s.quality = q;
            trial.bytes.clear();
            failure = EncodeOnce(pixels, stride, w, h, s, trial);
            if (failure) return std::nullopt;
            return trial.bytes.size();
        });
    if (!quality) {
        error = failure;
        return false;
    }
    if (!out.Write(trial.bytes.data(), trial.bytes.size())) {
        error = kCodecCreateFailed;
        return false;
    }
    return true;
}

}  // namespace pelio
