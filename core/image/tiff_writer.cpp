// TIFF writing: little-endian, uncompressed, one strip, fixed layouts. Portable.
#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"
#include "core/image/tiff_codec.h"

namespace pelio {

namespace {

enum class Layout { Bilevel, Grey, Palette, Rgb };

constexpr uint32_t kIfdAt = 8;
constexpr uint16_t kShort = 3, kLong = 4, kRational = 5;

class IfdWriter {
public:
    explicit IfdWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Add(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        uint8_t e[12];
        PutU16LE(e, tag);
        PutU16LE(e + 2, type);
        PutU32LE(e + 4, count);
        PutU32LE(e + 8, value);  // a SHORT sits in the first two bytes
        out_.insert(out_.end(), e, e + 12);
    }

private:
    std::vector<uint8_t>& out_;
};

// (pixels per metre × 254) / 10000: dots per inch as a rational.
void PutResolution(std::vector<uint8_t>& out, int32_t pixelsPerMetre) {
    const uint64_t numerator = uint64_t(std::max(pixelsPerMetre, 0)) * 254;
    uint8_t r[8];
    PutU32LE(r, static_cast<uint32_t>(std::min<uint64_t>(numerator, UINT32_MAX)));
    PutU32LE(r + 4, 10000);
    out.insert(out.end(), r, r + 8);
}

// The reduced pixels of `image` in `layout`, rows from the top, each row starting on a byte.
int Pixels(const Image& image, Layout layout, int bits, int dither, Palette& palette,
           std::vector<uint8_t>& out) {
    const int32_t w = image.Width(), h = image.Height();
    ColourEngine engine;
    engine.width = w;
    engine.height = h;
    engine.sourceBits = image.BitCount();
    engine.ditherMode = dither;
    const Palette* source = image.BitCount() == 24 ? nullptr : &image.palette;
    std::vector<uint8_t> work;
    if (layout == Layout::Grey) {
        engine.targetBits = 8;
        out.resize(size_t(w) * size_t(h));
        work.resize(out.size());
        if (!ToGrey8(engine, source, image.bits, work.data())) return kCodecSaveFailed;
        for (int32_t y = 0; y < h; ++y)
            std::memcpy(&out[size_t(y) * w], &work[size_t(h - 1 - y) * w], size_t(w));
        return kCodecOk;
    }
    engine.targetBits = layout == Layout::Rgb ? 24 : bits;
    PrepareTarget(engine);
    if (engine.targetSize <= 0) return kCodecSaveFailed;
    work.resize(size_t(engine.targetSize));
    if (!Convert(palette, work.data(), engine, source, image.bits)) return kCodecSaveFailed;
    const size_t stride = size_t(engine.targetStride);
    const size_t rowBytes = layout == Layout::Rgb ? size_t(w) * 3 : (size_t(w) * bits + 7) / 8;
    out.resize(rowBytes * size_t(h));
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = &work[size_t(h - 1 - y) * stride];
        uint8_t* dst = &out[size_t(y) * rowBytes];
        if (layout == Layout::Rgb) {
            for (int32_t x = 0; x < w; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        } else {
            std::memcpy(dst, src, rowBytes);
            // Bits past the last pixel are zero.
            const int used = static_cast<int>((size_t(w) * bits) % 8);
            if (used) dst[rowBytes - 1] &= static_cast<uint8_t>(0xFF00 >> used);
        }
    }
    return kCodecOk;
}

}  // namespace

bool EncodeTiff(const Image& image, const SaveOptions& options, ByteSink& out, int& error) {
    const ImageSaveSettings& s = options.settings;
    Layout layout;
    int bits;
    switch (s.depth) {
    case 1: layout = Layout::Bilevel; bits = 1; break;
    case 4: layout = Layout::Palette; bits = 4; break;
    case 8: layout = s.gray ? Layout::Grey : Layout::Palette; bits = 8; break;
    case 24: layout = Layout::Rgb; bits = 8; break;
    default: error = kCodecCreateFailed; return false;
    }
    if (!image.bits || image.Width() < 1 || image.Height() < 1) {
        error = kCodecSaveFailed;
        return false;
    }
    Palette palette{};
    std::vector<uint8_t> pixels, head;
    try {
        if (int e = Pixels(image, layout, bits, s.dither, palette, pixels)) {
            error = e;
            return false;
        }
        const uint32_t w = static_cast<uint32_t>(image.Width()), h = static_cast<uint32_t>(image.Height());
        const bool rgb = layout == Layout::Rgb, withMap = layout == Layout::Palette;
        const uint32_t entries = rgb || withMap ? 12 : 11;
        const uint32_t ifdEnd = kIfdAt + 2 + 12 * entries + 4;
        const uint32_t xResAt = ifdEnd + (rgb ? 6 : 0), yResAt = xResAt + 8;
        const uint32_t mapAt = yResAt + 8;
        const uint32_t mapBytes = withMap ? 6u << bits : 0;
        const uint32_t pixelsAt = mapAt + mapBytes;

        head = {'I', 'I', 42, 0, kIfdAt, 0, 0, 0, static_cast<uint8_t>(entries), 0};
        IfdWriter ifd(head);
        ifd.Add(256, kLong, 1, w);
        ifd.Add(257, kLong, 1, h);
        if (rgb) ifd.Add(258, kShort, 3, ifdEnd);
        else ifd.Add(258, kShort, 1, static_cast<uint32_t>(bits));
        ifd.Add(259, kShort, 1, 1);
        ifd.Add(262, kShort, 1, rgb ? 2 : withMap ? 3 : 1);
        ifd.Add(273, kLong, 1, pixelsAt);
        if (rgb) ifd.Add(277, kShort, 1, 3);
        ifd.Add(278, kLong, 1, h);
        ifd.Add(279, kLong, 1, static_cast<uint32_t>(pixels.size()));
        ifd.Add(282, kRational, 1, xResAt);
        ifd.Add(283, kRational, 1, yResAt);
        ifd.Add(296, kShort, 1, 2);
        if (withMap) ifd.Add(320, kShort, 3u << bits, mapAt);
        head.insert(head.end(), 4, 0);
        if (rgb) head.insert(head.end(), {8, 0, 8, 0, 8, 0});
        PutResolution(head, image.header.xPelsPerMeter);
        PutResolution(head, image.header.yPelsPerMeter);
        if (withMap) {
            const int count = 1 << bits;
            for (int channel = 0; channel < 3; ++channel)
                for (int i = 0; i < count; ++i) {
                    const PaletteEntry& p = palette[i];
                    head.push_back(0);
                    head.push_back(channel == 0 ? p.red : channel == 1 ? p.green : p.blue);
                }
        }
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
        return false;
    } catch (const std::length_error&) {
        error = kCodecNoMemory;
        return false;
    }
    if (!out.Write(head.data(), head.size()) || !out.Write(pixels.data(), pixels.size())) {
        error = kCodecSaveFailed;
        return false;
    }
    return true;
}

}  // namespace pelio
