// WebP files to 24-bit bottom-up BGR rows, alpha composited over white. Portable: bytes in,
// pixels out, no I/O.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace pelio {

enum class WebpError : int {
    None = 0,
    NotWebp = 1,      // no RIFF/WEBP signature
    Broken = 2,       // a damaged, truncated or unsupported bitstream
    NoMemory = 3,
    SmallBuffer = 4,  // the caller's block is shorter than WebpDecodeBytes
    TooLarge = 5,     // a side longer than kWebpMaxSide
};

// Longer than any picture the viewer takes; keeps every block size within 32 bits.
inline constexpr int kWebpMaxSide = 25000;

struct WebpInfo {
    int width = 0;   // the canvas of an animation
    int height = 0;
    bool hasAlpha = false;
    bool animated = false;
    bool lossless = false;
};

// "RIFF", four size bytes, "WEBP": what the first bytes of a WebP file hold.
bool IsWebpSignature(std::span<const uint8_t> first);

// Reads the headers only.
WebpError ReadWebpInfo(std::span<const uint8_t> file, WebpInfo& info);

// Bytes of one 24-bit row, padded to a multiple of 4.
size_t WebpRowBytes(int width);

// The block DecodeWebp needs: the 24-bit rows, or 4 bytes a pixel for a picture with alpha or
// an animation, whose BGRA pixels are decoded in the block and composited in place.
size_t WebpDecodeBytes(const WebpInfo& info);

// Decodes the picture (an animation's first frame on its canvas) into the start of `bits`:
// 24-bit rows bottom-up, WebpRowBytes(width) apart, padding bytes zero. Pixels with alpha
// become (c × a + 255 × (255 − a) + 127) / 255 per channel; the canvas outside the first frame
// is white. Bytes of the block past the rows are left undefined.
WebpError DecodeWebp(std::span<const uint8_t> file, std::span<uint8_t> bits);

// One row of BGRA pixels composited over white into BGR by the rule above. `bgr` may overlap
// `bgra` when it does not start after it.
void CompositeOverWhite(const uint8_t* bgra, uint8_t* bgr, int count);

}  // namespace pelio
