// The lossless JPEG transform over the library's transformation helpers. Portable.
#include "core/image/jpeg_lossless.h"

#include <algorithm>
#include <cstring>

#include "core/image/codec_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_library.h"
#include "core/commands/messages.h"

extern "C" {
#include <transupp.h>
}

namespace pelio {

namespace {

constexpr int F = kLosslessFails;

// Rows: the turn; columns: the pending transform before it.
constexpr int kCompose[5][6] = {
    {1, 2, 3, 0, F, F},  // rotate 90
    {2, 3, 0, 1, 5, 4},  // rotate 180
    {3, 0, 1, 2, F, F},  // rotate 270
    {4, F, 5, F, 0, 2},  // flip left-right
    {5, F, 4, F, 2, 0},  // flip top-bottom
};

constexpr JXFORM_CODE kLibraryTransform[6] = {
    JXFORM_NONE, JXFORM_ROT_90, JXFORM_ROT_180, JXFORM_ROT_270, JXFORM_FLIP_H, JXFORM_FLIP_V,
};

struct TransformJob {
    jpeg_decompress_struct src;
    jpeg_compress_struct dst;
    jpeg::ErrorManager srcErr, dstErr;
    jpeg_transform_info transform;
    JCOPY_OPTION copy;
    bool progressive;
    const uint8_t* data;
    size_t size;
    ByteSink* sink;
};

// Library calls only: either object's error exit lands at a setjmp below.
int RunTransform(TransformJob& job) {
    jpeg_decompress_struct& src = job.src;
    jpeg_compress_struct& dst = job.dst;
    jpeg::UseErrorManager(*reinterpret_cast<j_common_ptr>(&src), job.srcErr);
    jpeg::UseErrorManager(*reinterpret_cast<j_common_ptr>(&dst), job.dstErr);
    if (setjmp(job.srcErr.jump)) {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        return kJpegLibraryError;
    }
    if (setjmp(job.dstErr.jump)) {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        return kJpegLibraryError;
    }
    jpeg_create_decompress(&src);
    jpeg_create_compress(&dst);
    src.mem->max_memory_to_use = dst.mem->max_memory_to_use;
    jpeg::UseMemorySource(src, job.data, job.size);
    jcopy_markers_setup(&src, job.copy);
    jpeg_read_header(&src, TRUE);
    if (!jtransform_request_workspace(&src, &job.transform)) {
        jpeg_destroy_compress(&dst);
        jpeg_destroy_decompress(&src);
        return kCodecSaveFailed;
    }
    jvirt_barray_ptr* srcCoefficients = jpeg_read_coefficients(&src);
    jpeg_copy_critical_parameters(&src, &dst);
    jvirt_barray_ptr* dstCoefficients =
        jtransform_adjust_parameters(&src, &dst, srcCoefficients, &job.transform);
    dst.optimize_coding = TRUE;
    if (job.progressive) jpeg_simple_progression(&dst);
    jpeg::UseSinkDestination(dst, *job.sink);
    jpeg_write_coefficients(&dst, dstCoefficients);
    jcopy_markers_execute(&src, &dst, job.copy);
    jtransform_execute_transform(&src, &dst, srcCoefficients, &job.transform);
    jpeg_finish_compress(&dst);
    jpeg_finish_decompress(&src);
    jpeg_destroy_compress(&dst);
    jpeg_destroy_decompress(&src);
    return kCodecOk;
}

}  // namespace

int ComposeLosslessTransform(int pending, EditTurn turn) {
    if (pending < 0 || pending > 5) return kLosslessFails;
    return kCompose[static_cast<int>(turn)][pending];
}

std::optional<GeneralError> LosslessSaveRefusal(bool sourceOpened, uint64_t sourceFileTime,
                                                uint64_t imageFileTime) {
    if (!sourceOpened) return kErrReadData;
    if (sourceFileTime != imageFileTime) return kErrFileChanged;
    return std::nullopt;
}

bool EncodeJpegLossless(const Image&, const SaveOptions& options, ByteSink& out, int& error) {
    const int pending = options.losslessTransform;
    if (options.losslessSource.empty() || pending < 0 || pending > 5) {
        error = kCodecReadFailed;
        return false;
    }
    const ImageSaveSettings& s = options.settings;
    TransformJob job{};
    job.transform.transform = kLibraryTransform[pending];
    job.transform.perfect = FALSE;
    job.transform.trim = s.jpgTrim ? TRUE : FALSE;
    job.transform.force_grayscale = s.gray ? TRUE : FALSE;
    job.transform.crop = FALSE;
    job.copy = s.jMarker == 0 ? JCOPYOPT_NONE : s.jMarker == 1 ? JCOPYOPT_COMMENTS : JCOPYOPT_ALL;
    job.progressive = s.progressive;
    job.data = options.losslessSource.data();
    job.size = options.losslessSource.size();
    job.sink = &out;
    error = RunTransform(job);
    return error == kCodecOk;
}

bool PlaceLosslessPreview(Image& decoded, int32_t width, int32_t height, int bits,
                          PixelAllocator& allocator, Image& out) {
    if (decoded.Width() == width && decoded.Height() == height && decoded.BitCount() == bits) {
        out = decoded;
        decoded = Image{};
        return true;
    }
    if (bits != 8 && bits != 24) return false;
    Image placed;
    placed.header.width = width;
    placed.header.height = height;
    placed.header.bitCount = static_cast<uint16_t>(bits);
    placed.header.xPelsPerMeter = decoded.header.xPelsPerMeter;
    placed.header.yPelsPerMeter = decoded.header.yPelsPerMeter;
    placed.palette = decoded.palette;
    placed.format = decoded.format;
    placed.sourceBits = decoded.sourceBits;
    placed.fileSize = decoded.fileSize;
    if (!allocator.Allocate(placed)) return false;

    const int32_t rows = std::min(height, decoded.Height());
    const int32_t cols = std::min(width, decoded.Width());
    const int32_t shift = width - cols;
    const bool widen = decoded.BitCount() == 8 && bits == 24;
    if (decoded.BitCount() == bits || widen) {
        for (int32_t y = 0; y < rows; ++y) {
            const uint8_t* s = decoded.Row(y);
            uint8_t* d = placed.Row(y);
            if (!widen) {
                const size_t px = static_cast<size_t>(bits / 8);
                std::memcpy(d + shift * px, s, static_cast<size_t>(cols) * px);
                continue;
            }
            d += static_cast<size_t>(shift) * 3;
            for (int32_t x = 0; x < cols; ++x, d += 3) {
                const PaletteEntry& e = decoded.palette[s[x]];
                d[0] = e.blue;
                d[1] = e.green;
                d[2] = e.red;
            }
        }
    }
    allocator.Release(decoded);
    decoded = Image{};
    out = placed;
    return true;
}

}  // namespace pelio
