// GIF files: the first frame as an 8-bit Image, later frames composed for playback, and
// single-frame writing. Portable.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/image/codec.h"

namespace pelio {

inline constexpr int kGifMaxFrames = 256;

// The frames of an animated GIF after the first. Each later frame is a full-size 8-bit
// picture with its own palette, allocated through the decoder's allocator; the first frame
// is the DecodeResult's image.
struct GifAnimation {
    bool animated = false;      // a NETSCAPE2.0 loop extension was seen
    int frameCount = 0;         // frames decoded, the first included
    int loopCount = 0;          // 0 plays for ever
    std::vector<int> delays;    // per frame, in hundredths of a second
    std::vector<Image> frames;  // frames 1 .. frameCount - 1
};

// Releases every later frame's storage and empties the record.
void ReleaseGifAnimation(GifAnimation& animation, PixelAllocator& allocator);

// Decodes the first frame and, when `animation` is given and the file loops, composes the
// later frames into it. Without `animation` later frames are walked and checked only.
// Nothing stays allocated on failure.
bool DecodeGifAnimation(std::span<const uint8_t> file, const LoadOptions& options,
                        PixelAllocator& allocator, DecodeResult& result, GifAnimation* animation);

// The first frame only (later frames are still checked).
bool DecodeGif(std::span<const uint8_t> file, const LoadOptions& options,
               PixelAllocator& allocator, DecodeResult& result);

// A single-frame GIF89a at the save depth (1..8), optionally interlaced, with the nearest
// palette entry to the save settings' colour marked transparent when asked.
bool EncodeGif(const Image& image, const SaveOptions& options, ByteSink& out, int& error);

// Decodes GIF LZW `data` with minimum code size `minCodeSize` (2..8) into `out`; pixels
// never written stay as they were. Returns the number of pixels written.
size_t GifLzwDecode(std::span<const uint8_t> data, int minCodeSize, std::span<uint8_t> out);

// GIF LZW coding of `pixels` (each below 2^minCodeSize), appended to `out`.
void GifLzwEncode(std::span<const uint8_t> pixels, int minCodeSize, std::vector<uint8_t>& out);

}  // namespace pelio
