// Depth conversion, colour reduction and dithering of pixel arrays. Portable.
#include "core/image/colour_engine.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/image/colour_reduction.h"

namespace pelio {
namespace {

constexpr uint64_t kMaxBytes = static_cast<uint64_t>(PTRDIFF_MAX);

struct TargetLayout {
    uint64_t rowBytes = 0;
    uint64_t stride = 0;
    uint64_t size = 0;
};

uint64_t PaddedToFour(uint64_t n) { return (n + 3) & ~uint64_t{3}; }

// stride × height, or false when it would not be addressable.
bool Area(uint64_t stride, int height, uint64_t limit, uint64_t& bytes) {
    if (height > 0 && stride > limit / static_cast<uint64_t>(height)) return false;
    bytes = stride * static_cast<uint64_t>(height);
    return true;
}

// False for negative sizes or a target the engine's int fields cannot describe.
bool LayOutTarget(int width, int height, int bits, TargetLayout& t) {
    if (width < 0 || height < 0) return false;
    const uint64_t w = static_cast<uint64_t>(width);
    switch (bits) {
    case 1: t.rowBytes = (w + 7) >> 3, t.stride = PaddedToFour(t.rowBytes); break;
    case 2: t.rowBytes = (w + 3) >> 2, t.stride = PaddedToFour(t.rowBytes); break;
    case 4: t.rowBytes = (w + 1) >> 1, t.stride = PaddedToFour(t.rowBytes); break;
    case 8: t.rowBytes = w, t.stride = PaddedToFour(t.rowBytes); break;
    case 24: t.rowBytes = w * 3, t.stride = PaddedToFour(t.rowBytes); break;
    case 48: t.rowBytes = t.stride = w * 6; break;
    default: t.rowBytes = t.stride = w * 4; break;
    }
    return Area(t.stride, height, INT_MAX, t.size);
}

// Source rows: padded to 4 bytes, except 48-bit rows, which are laid out as a 48-bit target.
uint64_t SourceStride(int width, int bits) {
    const uint64_t w = static_cast<uint64_t>(width);
    if (bits == 48) return w * 6;
    return (w * static_cast<uint64_t>(bits) + 31) / 32 * 4;
}

// Also keeps the pixel count within 32 bits and leaves room for rows of 8 bytes per pixel in
// the work buffers.
bool SourceFits(int width, int height, int bits) {
    uint64_t bytes = 0;
    return width >= 0 && height >= 0 &&
           static_cast<int64_t>(width) * height <= INT32_MAX &&
           static_cast<uint64_t>(width) <= kMaxBytes / 8 &&
           Area(SourceStride(width, bits), height, kMaxBytes, bytes);
}

PixelSource MakeSource(const ColourEngine& engine, const Palette* palette,
                       const uint8_t* pixels) {
    PixelSource s;
    s.pixels = pixels;
    s.stride = static_cast<size_t>(SourceStride(engine.width, engine.sourceBits));
    s.width = engine.width;
    s.height = engine.height;
    s.bits = engine.sourceBits;
    s.palette = palette ? palette->data() : nullptr;
    return s;
}

// 1-, 2- or 4-bit palette indices, most significant field first, to bytes.
void UnpackIndices(const ColourEngine& e, const uint8_t* source, uint8_t* target,
                   size_t targetStride) {
    const size_t sourceStride = static_cast<size_t>(SourceStride(e.width, e.sourceBits));
    const int bits = e.sourceBits;
    const unsigned mask = (1u << bits) - 1;
    const int perByte = 8 / bits;
    for (int y = 0; y < e.height; ++y) {
        const uint8_t* in = source + sourceStride * static_cast<size_t>(y);
        uint8_t* out = target + targetStride * static_cast<size_t>(y);
        for (int x = 0; x < e.width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
        }
        std::memset(out + e.width, 0, targetStride - static_cast<size_t>(e.width));
    }
}

// Palette indices of any depth looked up into blue, green, red.
void ExpandThroughPalette(const ColourEngine& e, const PaletteEntry* palette,
                          const uint8_t* source, uint8_t* target, size_t targetStride) {
    const size_t sourceStride = static_cast<size_t>(SourceStride(e.width, e.sourceBits));
    const int bits = e.sourceBits;
    const unsigned mask = (1u << bits) - 1;
    const int perByte = 8 / bits;
    for (int y = 0; y < e.height; ++y) {
        const uint8_t* in = source + sourceStride * static_cast<size_t>(y);
        uint8_t* out = target + targetStride * static_cast<size_t>(y);
        for (int x = 0; x < e.width; ++x, out += 3) {
            const unsigned index =
                bits == 8 ? in[x] : (in[x / perByte] >> (8 - bits * (x % perByte + 1))) & mask;
            const PaletteEntry& p = palette[index];
            out[0] = p.blue, out[1] = p.green, out[2] = p.red;
        }
        std::memset(out, 0, targetStride - static_cast<size_t>(e.width) * 3);
    }
}

void To48(const ColourEngine& e, const uint8_t* source, uint8_t* target, size_t targetStride) {
    const size_t sourceStride = static_cast<size_t>(SourceStride(e.width, 24));
    const size_t samples = static_cast<size_t>(e.width) * 3;
    for (int y = 0; y < e.height; ++y) {
        const uint8_t* in = source + sourceStride * static_cast<size_t>(y);
        uint8_t* out = target + targetStride * static_cast<size_t>(y);
        for (size_t i = 0; i < samples; ++i) out[2 * i + 1] = in[i];
    }
}

void From48(const ColourEngine& e, const uint8_t* source, uint8_t* target, size_t targetStride) {
    const size_t sourceStride = static_cast<size_t>(SourceStride(e.width, 48));
    const size_t samples = static_cast<size_t>(e.width) * 3;
    for (int y = 0; y < e.height; ++y) {
        const uint8_t* in = source + sourceStride * static_cast<size_t>(y);
        uint8_t* out = target + targetStride * static_cast<size_t>(y);
        for (size_t i = 0; i < samples; ++i) out[i] = in[2 * i + 1];
        std::memset(out + samples, 0, targetStride - samples);
    }
}

bool ConvertPair(Palette& targetPalette, uint8_t* targetPixels, ColourEngine& e,
                 const Palette* sourcePalette, const uint8_t* sourcePixels) {
    PrepareTarget(e);
    TargetLayout t;
    if (!LayOutTarget(e.width, e.height, e.targetBits, t)) return false;
    if (!SourceFits(e.width, e.height, e.sourceBits)) return false;
    if (!targetPixels || !sourcePixels) return false;
    const int from = e.sourceBits, to = e.targetBits;
    const bool paletteSource = from == 1 || from == 4 || from == 8;
    if (paletteSource && !sourcePalette) return false;
    // The target palette may be the source palette itself.
    Palette source{};
    if (sourcePalette) source = *sourcePalette;
    const size_t stride = static_cast<size_t>(t.stride);

    if ((from == 1 || from == 2 || from == 4) && to == 8) {
        UnpackIndices(e, sourcePixels, targetPixels, stride);
        if (from != 2) std::copy_n(source.begin(), 1 << from, targetPalette.begin());
        return true;
    }
    if ((from == 1 || from == 4 || from == 8) && to == 24) {
        ExpandThroughPalette(e, source.data(), sourcePixels, targetPixels, stride);
        return true;
    }
    if ((from == 8 && to == 8) || (from == 24 && to == 24)) {
        if (from == 8) targetPalette = source;
        std::memmove(targetPixels, sourcePixels, static_cast<size_t>(t.size));
        return true;
    }
    if (from == 24 && to == 48) {
        To48(e, sourcePixels, targetPixels, stride);
        return true;
    }
    if (from == 48 && to == 24) {
        From48(e, sourcePixels, targetPixels, stride);
        return true;
    }
    if (from != 8 && from != 24) return false;
    const PixelSource pixels = MakeSource(e, &source, sourcePixels);
    const IndexTarget target{targetPixels, stride, to};
    if (to == 1) {
        ReduceToBlackAndWhite(pixels, e.ditherMode, targetPalette.data(), target);
        return true;
    }
    if (to == 2 || to == 4 || (to == 8 && from == 24))
        return ReduceColours(pixels, to, e.ditherMode, targetPalette.data(), target);
    return false;
}

bool ConvertUnpackedPair(const Palette* sourcePalette, const uint8_t* sourcePixels,
                         Palette& targetPalette, ColourEngine& e, uint8_t* targetPixels) {
    const int from = e.sourceBits, to = e.targetBits;
    if ((from != 8 && from != 24) || to < 1 || to > 8) return false;
    if (!sourcePixels || !targetPixels || (from == 8 && !sourcePalette)) return false;
    uint64_t targetBytes = 0;
    if (!SourceFits(e.width, e.height, from) ||
        !Area(static_cast<uint64_t>(e.width), e.height, kMaxBytes, targetBytes))
        return false;
    Palette source{};
    if (sourcePalette) source = *sourcePalette;
    const PixelSource pixels = MakeSource(e, &source, sourcePixels);
    const IndexTarget target{targetPixels, static_cast<size_t>(e.width), 8};
    if (to == 1) {
        ReduceToBlackAndWhite(pixels, e.ditherMode, targetPalette.data(), target);
        return true;
    }
    return ReduceColours(pixels, to, e.ditherMode, targetPalette.data(), target);
}

}  // namespace

void PrepareTarget(ColourEngine& engine) {
    TargetLayout t;
    if (!LayOutTarget(engine.width, engine.height, engine.targetBits, t)) t = {};
    engine.targetRowBytes = static_cast<int>(t.rowBytes);
    engine.targetStride = static_cast<int>(t.stride);
    engine.targetSize = static_cast<int>(t.size);
}

bool Convert(Palette& targetPalette, uint8_t* targetPixels, ColourEngine& engine,
             const Palette* sourcePalette, const uint8_t* sourcePixels) {
    try {
        return ConvertPair(targetPalette, targetPixels, engine, sourcePalette, sourcePixels);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {  // a work buffer longer than a vector can be
        return false;
    }
}

bool ConvertUnpacked(const Palette* sourcePalette, const uint8_t* sourcePixels,
                     Palette& targetPalette, ColourEngine& engine, uint8_t* targetPixels) {
    try {
        return ConvertUnpackedPair(sourcePalette, sourcePixels, targetPalette, engine,
                                   targetPixels);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool ToGrey8(ColourEngine& engine, const Palette* sourcePalette, const uint8_t* sourcePixels,
             uint8_t* targetPixels) {
    const int from = engine.sourceBits;
    if ((from != 8 && from != 24) || engine.targetBits != 8) return false;
    if (!sourcePixels || !targetPixels || (from == 8 && !sourcePalette)) return false;
    uint64_t targetBytes = 0;
    if (!SourceFits(engine.width, engine.height, from) ||
        !Area(static_cast<uint64_t>(engine.width), engine.height, kMaxBytes, targetBytes))
        return false;
    GreyLevels(MakeSource(engine, sourcePalette, sourcePixels), targetPixels);
    return true;
}

uint32_t CountColours24(const ColourEngine& engine, const uint8_t* sourcePixels) {
    if (engine.sourceBits != 24 || !sourcePixels) return 0;
    if (!SourceFits(engine.width, engine.height, 24)) return 0;
    try {
        std::vector<uint64_t> seen(size_t{1} << 18);  // one bit per colour
        const size_t stride = static_cast<size_t>(SourceStride(engine.width, 24));
        uint32_t count = 0;
        for (int y = 0; y < engine.height; ++y) {
            const uint8_t* px = sourcePixels + stride * static_cast<size_t>(y);
            for (int x = 0; x < engine.width; ++x, px += 3) {
                const uint32_t colour = (uint32_t{px[2]} << 16) | (uint32_t{px[1]} << 8) | px[0];
                uint64_t& word = seen[colour >> 6];
                const uint64_t bit = uint64_t{1} << (colour & 63);
                count += (word & bit) == 0;
                word |= bit;
            }
        }
        return count;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

uint32_t CountUsedIndices8(const ColourEngine& engine, const uint8_t* sourcePixels) {
    if (engine.sourceBits != 8 || !sourcePixels) return 0;
    if (!SourceFits(engine.width, engine.height, 8)) return 0;
    const size_t stride = static_cast<size_t>(SourceStride(engine.width, 8));
    bool seen[256] = {};
    uint32_t count = 0;
    for (int y = 0; y < engine.height; ++y) {
        const uint8_t* row = sourcePixels + stride * static_cast<size_t>(y);
        for (int x = 0; x < engine.width; ++x) {
            if (seen[row[x]]) continue;
            seen[row[x]] = true;
            if (++count == 256) return count;
        }
    }
    return count;
}

Expand24 ExpandTo24(const Image& image, std::vector<uint8_t>& storage, Image& view) {
    view = image;
    if (image.BitCount() == 24) return Expand24::Ok;
    if (image.BitCount() != 8) return Expand24::Failed;
    ColourEngine engine;
    engine.width = image.Width();
    engine.height = image.Height();
    engine.sourceBits = 8;
    engine.targetBits = 24;
    PrepareTarget(engine);
    try {
        storage.assign(static_cast<size_t>(engine.targetSize), 0);
    } catch (const std::bad_alloc&) {
        return Expand24::NoMemory;
    }
    Palette unused{};
    if (!Convert(unused, storage.data(), engine, &image.palette, image.bits)) return Expand24::Failed;
    view.header.bitCount = 24;
    view.bits = storage.data();
    return Expand24::Ok;
}

}  // namespace pelio
