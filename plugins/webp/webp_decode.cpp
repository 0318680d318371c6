// WebP files to 24-bit bottom-up BGR rows over libwebp's decoder and demuxer. Portable.
#include "plugins/webp/webp_decode.h"

#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <webp/decode.h>
#include <webp/demux.h>

namespace pelio {
namespace {

// The picture to decode and where it lies on the canvas.
struct Frame {
    const uint8_t* data = nullptr;
    size_t size = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool hasAlpha = false;
};

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

// Decodes `frame` (a complete bitstream of its own size) as BGR or BGRA into `out`, rows
// `stride` apart, bottom row first when `flip`.
bool DecodeFrame(const Frame& frame, WEBP_CSP_MODE mode, uint8_t* out, size_t size, int stride, bool flip) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return false;
    config.output.colorspace = mode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = out;
    config.output.u.RGBA.stride = stride;
    config.output.u.RGBA.size = size;
    config.options.flip = flip ? 1 : 0;
    const bool ok = WebPDecode(frame.data, frame.size, &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return ok;
}

// The canvas in the caller's block: BGR rows bottom-up, `stride` apart, `width` × `height`.
struct Canvas {
    uint8_t* bits;
    size_t stride;
    int width, height;
};

// Where the frame's bottom row starts in rows of `rowBytes`, `pixel` bytes a pixel; the
// decoder flips upwards from there.
uint8_t* FrameBottom(const Canvas& canvas, const Frame& frame, size_t rowBytes, size_t pixel) {
    return canvas.bits + rowBytes * static_cast<size_t>(canvas.height - frame.y - frame.height) +
           pixel * static_cast<size_t>(frame.x);
}

// Without alpha the frame decodes straight into the canvas rows; the rest of the canvas is
// white, padding zero.
WebpError DrawOpaque(const Canvas& canvas, const Frame& frame) {
    const size_t pixelBytes = 3 * static_cast<size_t>(canvas.width);
    const bool covers = frame.width == canvas.width && frame.height == canvas.height;
    for (int y = 0; y < canvas.height; ++y) {
        uint8_t* row = canvas.bits + canvas.stride * y;
        if (!covers) std::memset(row, 255, pixelBytes);
        std::memset(row + pixelBytes, 0, canvas.stride - pixelBytes);
    }
    const size_t span = canvas.stride * static_cast<size_t>(frame.height - 1) + 3 * static_cast<size_t>(frame.width);
    return DecodeFrame(frame, MODE_BGR, FrameBottom(canvas, frame, canvas.stride, 3), span,
                       static_cast<int>(canvas.stride), true)
               ? WebpError::None
               : WebpError::Broken;
}

// With alpha the frame decodes as BGRA rows of 4 × canvas width, bottom-up, in the same
// block; one pass from the start of the block then composites each row into its BGR row.
// A BGR row never starts after its BGRA row nor reaches the next one, so every byte is read
// before it is overwritten.
WebpError DrawWithAlpha(const Canvas& canvas, const Frame& frame) {
    const size_t wide = 4 * static_cast<size_t>(canvas.width);
    const size_t span = wide * static_cast<size_t>(frame.height - 1) + 4 * static_cast<size_t>(frame.width);
    if (!DecodeFrame(frame, MODE_BGRA, FrameBottom(canvas, frame, wide, 4), span, static_cast<int>(wide), true))
        return WebpError::Broken;
    const size_t pixelBytes = 3 * static_cast<size_t>(canvas.width);
    const int frameFirst = canvas.height - frame.y - frame.height, frameEnd = canvas.height - frame.y;
    const size_t left = 3 * static_cast<size_t>(frame.x), right = left + 3 * static_cast<size_t>(frame.width);
    for (int y = 0; y < canvas.height; ++y) {
        uint8_t* row = canvas.bits + canvas.stride * y;
        if (y >= frameFirst && y < frameEnd) {
            CompositeOverWhite(canvas.bits + wide * y + 4 * static_cast<size_t>(frame.x), row + left, frame.width);
            std::memset(row, 255, left);
            std::memset(row + right, 255, pixelBytes - right);
        } else {
            std::memset(row, 255, pixelBytes);
        }
        std::memset(row + pixelBytes, 0, canvas.stride - pixelBytes);
    }
    return WebpError::None;
}

// The first frame of an animation, checked to lie inside the canvas with its own size. The
// frame's bytes stay inside `file`.
bool FirstFrame(std::span<const uint8_t> file, const WebpInfo& info, Frame& frame) {
    const WebPData data{file.data(), file.size()};
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    WebPIterator it;
    if (!demux || !WebPDemuxGetFrame(demux.get(), 1, &it)) return false;
    frame = {it.fragment.bytes, it.fragment.size, it.x_offset, it.y_offset, it.width, it.height, it.has_alpha != 0};
    const bool complete = it.complete != 0;
    WebPDemuxReleaseIterator(&it);
    WebPBitstreamFeatures features;
    return complete && frame.x >= 0 && frame.y >= 0 && frame.width > 0 && frame.height > 0 &&
           frame.width <= info.width - frame.x && frame.height <= info.height - frame.y &&
           WebPGetFeatures(frame.data, frame.size, &features) == VP8_STATUS_OK &&
           features.width == frame.width && features.height == frame.height;
}

}  // namespace

bool IsWebpSignature(std::span<const uint8_t> first) {
    return first.size() >= 12 && std::memcmp(first.data(), "RIFF", 4) == 0 &&
           std::memcmp(first.data() + 8, "WEBP", 4) == 0;
}

WebpError ReadWebpInfo(std::span<const uint8_t> file, WebpInfo& info) {
    info = {};
    if (!IsWebpSignature(file)) return WebpError::NotWebp;
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(file.data(), file.size(), &features) != VP8_STATUS_OK || features.width < 1 ||
        features.height < 1)
        return WebpError::Broken;
    if (features.width > kWebpMaxSide || features.height > kWebpMaxSide) return WebpError::TooLarge;
    info.width = features.width;
    info.height = features.height;
    info.hasAlpha = features.has_alpha != 0;
    info.animated = features.has_animation != 0;
    info.lossless = features.format == 2;
    return WebpError::None;
}

size_t WebpRowBytes(int width) {
    return (3 * static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
}

size_t WebpDecodeBytes(const WebpInfo& info) {
    const size_t row = info.hasAlpha || info.animated ? 4 * static_cast<size_t>(info.width) : WebpRowBytes(info.width);
    return row * static_cast<size_t>(info.height);
}

WebpError DecodeWebp(std::span<const uint8_t> file, std::span<uint8_t> bits) {
    WebpInfo info;
    if (const WebpError e = ReadWebpInfo(file, info); e != WebpError::None) return e;
    if (bits.size() < WebpDecodeBytes(info)) return WebpError::SmallBuffer;

    Frame frame{file.data(), file.size(), 0, 0, info.width, info.height, info.hasAlpha};
    if (info.animated && !FirstFrame(file, info, frame)) return WebpError::Broken;
    const Canvas canvas{bits.data(), WebpRowBytes(info.width), info.width, info.height};
    return frame.hasAlpha ? DrawWithAlpha(canvas, frame) : DrawOpaque(canvas, frame);
}

// c + ((255 − c)(255 − a) + 127) / 255 equals the rule exactly, since 255c divides by 255;
// (v + 1 + (v >> 8)) >> 8 is v / 255 for every v below 65535, so all of it stays in 16 bits.
void CompositeOverWhite(const uint8_t* bgra, uint8_t* bgr, int count) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(255), half = _mm_set1_epi16(127),
                  one = _mm_set1_epi16(1);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i lowDword2 = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i first6 = _mm_set_epi32(0, 0, 0x0000FFFF, -1);
    const __m128i next6 = _mm_set_epi32(0, -1, static_cast<int>(0xFFFF0000u), 0);
    // Four pixels at a time, each channel in a 16-bit lane.
    for (; i + 4 <= count; i += 4, bgra += 16, bgr += 12) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgra));
        __m128i halves[2] = {_mm_unpacklo_epi8(px, zero), _mm_unpackhi_epi8(px, zero)};
        for (__m128i& c : halves) {
            const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, 0xFF), 0xFF);
            const __m128i v = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(ones, c), _mm_sub_epi16(ones, a)), half);
            const __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, one), _mm_srli_epi16(v, 8)), 8);
            c = _mm_add_epi16(c, q);
        }
        // BGRx BGRx BGRx BGRx to twelve packed bytes: join the pixel pairs of each 64-bit half,
        // then close the gap between the halves.
        __m128i out = _mm_and_si128(_mm_packus_epi16(halves[0], halves[1]), colour);
        out = _mm_or_si128(_mm_and_si128(out, lowDword2), _mm_srli_epi64(_mm_andnot_si128(lowDword2, out), 8));
        out = _mm_or_si128(_mm_and_si128(out, first6), _mm_and_si128(_mm_srli_si128(out, 2), next6));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(bgr), out);
        const uint32_t last = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(out, 8)));
        std::memcpy(bgr + 8, &last, 4);
    }
#endif
    for (; i < count; ++i, bgra += 4, bgr += 3) {
        const uint32_t t = 255u - bgra[3];
        for (int c = 0; c < 3; ++c) {
            const uint32_t v = (255u - bgra[c]) * t + 127u;
            bgr[c] = static_cast<uint8_t>(bgra[c] + ((v + 1 + (v >> 8)) >> 8));
        }
    }
}

}  // namespace pelio
