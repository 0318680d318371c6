// BMP reading and writing. Portable.
#include "core/image/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"

namespace pelio {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Where the parts of a bitmap lie in its bytes.
struct Layout {
    BitmapInfoHeader header;
    bool os2 = false;               // an OS/2 header: its compression 3 is not bit fields
    size_t paletteAt = 0;
    size_t paletteEntryBytes = 4;  // 3 after the 12-byte header
    size_t masksAt = 0;
    size_t pixelsAt = 0;
};

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kOs2HeaderMin = 16, kOs2HeaderMax = 64;

// The information header at `at`, read by its declared size: 12 bytes hold 16-bit width and
// height, planes and bit count, with 3-byte palette entries; 16 … 64 bytes (but 40, 52 and
// 56, the Windows sizes) are an OS/2 header whose fields that far follow the 40-byte layout
// and whose missing fields count as zero; any other size is read as the 40-byte layout, the
// palette after the declared size when that is a plausible larger header that fits. Sets the
// palette's place and entry size. False when the header is cut short.
bool ReadInfoHeader(std::span<const uint8_t> data, size_t at, Layout& l) {
    ByteReader r(data);
    r.Seek(at);
    const uint32_t size = r.U32();
    BitmapInfoHeader& h = l.header;
    h = BitmapInfoHeader{};
    h.size = size;
    if (size == kCoreHeaderSize) {
        h.width = r.U16();
        h.height = r.U16();
        h.planes = r.U16();
        h.bitCount = r.U16();
        l.os2 = true;
        l.paletteAt = at + size;
        l.paletteEntryBytes = 3;
        return !r.Overrun();
    }
    l.os2 = size >= kOs2HeaderMin && size <= kOs2HeaderMax && size != 40 && size != 52 && size != 56;
    uint8_t fields[kBmpInfoHeaderSize] = {};
    const size_t present = l.os2 ? std::min<size_t>(size, kBmpInfoHeaderSize) : kBmpInfoHeaderSize;
    const std::span<const uint8_t> bytes = r.Take(present - 4);
    if (r.Overrun()) return false;
    std::memcpy(fields + 4, bytes.data(), bytes.size());
    ByteReader f(std::span<const uint8_t>(fields, sizeof fields));
    f.Skip(4);
    h.width = f.I32();
    h.height = f.I32();
    h.planes = f.U16();
    h.bitCount = f.U16();
    h.compression = f.U32();
    h.imageSize = f.U32();
    h.xPelsPerMeter = f.I32();
    h.yPelsPerMeter = f.I32();
    h.clrUsed = f.U32();
    h.clrImportant = f.U32();
    const bool larger = size >= kBmpInfoHeaderSize && size <= 256 && at + size <= data.size();
    l.paletteAt = at + (l.os2 || larger ? size : kBmpInfoHeaderSize);
    return true;
}

// Size, bit count and compression checks shared by files and packed bitmaps.
int CheckHeader(const Layout& l) {
    const BitmapInfoHeader& h = l.header;
    if (h.width <= 0 || h.width > kMaxImageSide || h.height <= 0 || h.height > kMaxImageSide)
        return kCodecUnsupported;
    switch (h.bitCount) {
    case 1: case 4: case 8: case 24:
        return h.compression == kBiRgb ? kCodecOk : kCodecUnsupported;
    case 16: case 32:
        return h.compression == kBiRgb || (h.compression == kBiBitfields && !l.os2)
                   ? kCodecOk
                   : kCodecUnsupported;
    default:
        return kCodecUnsupported;
    }
}

// Whether any pixel data can exist. Every accepted compression stores rows uncompressed, so a
// file cut inside its rows still has rows to show, but one with nothing at the pixel offset
// has none.
bool PixelDataPresent(const Layout& l, size_t fileSize) {
    switch (l.header.compression) {
    case kBiRgb:
    case kBiBitfields:
        return l.pixelsAt < fileSize;
    default:
        return false;
    }
}

// Palette entries a palette bitmap stores: colours used, or all its depth can address.
size_t PaletteEntries(const BitmapInfoHeader& h) {
    if (h.bitCount > 8) return 0;
    return h.clrUsed ? h.clrUsed : size_t{1} << h.bitCount;
}

// Reads `count` palette entries (at most 256) of `entryBytes` each at `at`; entries past the
// data stay black.
void ReadPalette(std::span<const uint8_t> data, size_t at, size_t entryBytes, size_t count,
                 Palette& palette) {
    palette = Palette{};
    count = std::min<size_t>(count, 256);
    for (size_t i = 0; i < count; ++i) {
        size_t p = at + entryBytes * i;
        if (p + 3 > data.size()) break;
        palette[i] = PaletteEntry{data[p], data[p + 1], data[p + 2], 0};
    }
}

struct Masks {
    uint32_t red, green, blue;
};

Masks ReadMasks(const BitmapInfoHeader& h, std::span<const uint8_t> data, size_t at) {
    if (h.compression != kBiBitfields)
        return h.bitCount == 32 ? Masks{0x00FF0000, 0x0000FF00, 0x000000FF}
                                : Masks{0x7C00, 0x03E0, 0x001F};
    ByteReader r(data);
    r.Seek(at);
    Masks m;
    m.red = r.U32();
    m.green = r.U32();
    m.blue = r.U32();
    return m;
}

int BitWidth(uint32_t v) { return v ? 32 - std::countl_zero(v) : 0; }

// Copies as much of `src` as there is into `dst` of `size` bytes; the rest stays as it was.
void CopyAvailable(uint8_t* dst, size_t size, std::span<const uint8_t> data, size_t at) {
    if (at >= data.size()) return;
    std::memcpy(dst, data.data() + at, std::min(size, data.size() - at));
}

// 16 and 32 bits to 24: masks taken as contiguous fields, blue lowest, green above it, red
// above green, each scaled to 0..255.
bool ConvertMasked(const Masks& m, int bits, std::span<const uint8_t> data, size_t at, Image& out) {
    const int wb = BitWidth(m.blue);
    const int wg = wb < 32 ? BitWidth(m.green >> wb) : 0;
    const int wr = wb + wg < 32 ? BitWidth(m.red >> (wb + wg)) : 0;
    if (wb == 0 || wb >= 32 || wg == 0 || wg >= 32 || wr == 0 || wr >= 32) return false;
    const uint64_t db = (uint64_t{1} << wb) - 1, dg = (uint64_t{1} << wg) - 1,
                   dr = (uint64_t{1} << wr) - 1;
    const int32_t w = out.Width(), h = out.Height();
    const size_t bytesPerPixel = bits / 8;
    const size_t srcStride = bits == 16 ? static_cast<size_t>((w + 1) & ~1) * 2 : size_t(w) * 4;
    const uint8_t* src = at < data.size() ? data.data() + at : nullptr;
    const size_t avail = src ? data.size() - at : 0;
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* dst = out.Row(y);
        const size_t rowAt = static_cast<size_t>(y) * srcStride;
        if (rowAt >= avail) break;
        const int32_t pixels =
            static_cast<int32_t>(std::min<size_t>(w, (avail - rowAt) / bytesPerPixel));
        const uint8_t* s = src + rowAt;
        for (int32_t x = 0; x < pixels; ++x, s += bytesPerPixel, dst += 3) {
            uint32_t v = bits == 16 ? uint32_t{s[0]} | uint32_t{s[1]} << 8
                                    : uint32_t{s[0]} | uint32_t{s[1]} << 8 |
                                          uint32_t{s[2]} << 16 | uint32_t{s[3]} << 24;
            dst[0] = static_cast<uint8_t>((v & m.blue) * 255 / db);
            dst[1] = static_cast<uint8_t>(((v & m.green) >> wb) * 255 / dg);
            dst[2] = static_cast<uint8_t>((uint64_t{v & m.red} >> (wb + wg)) * 255 / dr);
        }
    }
    return true;
}

// Decodes the pixels of a checked layout into `image` (allocated here).
int DecodePixels(const Layout& l, std::span<const uint8_t> data, PixelAllocator& allocator,
                 Image& image) {
    const BitmapInfoHeader& src = l.header;
    image.header = BitmapInfoHeader{};
    image.header.width = src.width;
    image.header.height = src.height;
    image.header.xPelsPerMeter = src.xPelsPerMeter;
    image.header.yPelsPerMeter = src.yPelsPerMeter;
    image.palette = Palette{};

    switch (src.bitCount) {
    case 8:
    case 24: {
        image.header.bitCount = src.bitCount;
        if (src.bitCount == 8)
            ReadPalette(data, l.paletteAt, l.paletteEntryBytes, PaletteEntries(src), image.palette);
        if (!allocator.Allocate(image)) return kCodecNoMemory;
        CopyAvailable(image.bits, image.PixelBytes(), data, l.pixelsAt);
        return kCodecOk;
    }
    case 1:
    case 4: {
        Palette palette;
        ReadPalette(data, l.paletteAt, l.paletteEntryBytes, PaletteEntries(src), palette);
        const size_t srcSize = RowStride(src.width, src.bitCount) * static_cast<size_t>(src.height);
        std::vector<uint8_t> packed, unpacked;
        ColourEngine engine;
        engine.width = src.width;
        engine.height = src.height;
        engine.sourceBits = src.bitCount;
        engine.targetBits = 8;
        PrepareTarget(engine);
        try {
            packed.assign(srcSize, 0);
            unpacked.assign(static_cast<size_t>(engine.targetSize), 0);
        } catch (const std::bad_alloc&) {
            return kCodecNoMemory;
        }
        CopyAvailable(packed.data(), packed.size(), data, l.pixelsAt);
        if (!Convert(image.palette, unpacked.data(), engine, &palette, packed.data()))
            return kCodecReadFailed;
        image.header.bitCount = 8;
        if (!allocator.Allocate(image)) return kCodecNoMemory;
        std::memcpy(image.bits, unpacked.data(), std::min(unpacked.size(), image.PixelBytes()));
        return kCodecOk;
    }
    case 16:
    case 32: {
        image.header.bitCount = 24;
        if (!allocator.Allocate(image)) return kCodecNoMemory;
        if (!ConvertMasked(ReadMasks(src, data, l.masksAt), src.bitCount, data, l.pixelsAt, image)) {
            allocator.Release(image);
            return kCodecReadFailed;
        }
        return kCodecOk;
    }
    default:
        return kCodecUnsupported;
    }
}

uint32_t PaletteBytesFor(int bits) { return bits < 24 ? 4u << bits : 0u; }

void PutInfoHeader(uint8_t* p, int32_t width, int32_t height, int bits, int32_t xRes, int32_t yRes,
                   uint32_t coloursUsed) {
    PutU32LE(p, 40);
    PutU32LE(p + 4, static_cast<uint32_t>(width));
    PutU32LE(p + 8, static_cast<uint32_t>(height));
    PutU16LE(p + 12, 1);
    PutU16LE(p + 14, static_cast<uint32_t>(bits));
    PutU32LE(p + 16, 0);
    PutU32LE(p + 20, 0);
    PutU32LE(p + 24, static_cast<uint32_t>(xRes));
    PutU32LE(p + 28, static_cast<uint32_t>(yRes));
    PutU32LE(p + 32, coloursUsed);
    PutU32LE(p + 36, 0);
}

}  // namespace

bool DecodeBmp(std::span<const uint8_t> file, const LoadOptions&, PixelAllocator& allocator,
               DecodeResult& result) {
    ByteReader r(file);
    r.Skip(10);
    Layout l;
    l.pixelsAt = r.U32();
    if (r.Overrun() || !ReadInfoHeader(file, kBmpFileHeaderSize, l)) {
        result.error = kCodecReadFailed;
        return false;
    }
    result.error = CheckHeader(l);
    if (result.error) return false;
    // Checked before any pixel memory is reserved: a header alone may claim 25000 × 25000.
    if (!PixelDataPresent(l, file.size())) {
        result.error = kCodecReadFailed;
        return false;
    }
    l.masksAt = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    result.error = DecodePixels(l, file, allocator, result.image);
    if (result.error) return false;
    result.image.format = ImageFormat::Bmp;
    result.image.sourceBits = l.header.bitCount;
    result.image.fileSize = static_cast<int32_t>(std::min<size_t>(file.size(), INT32_MAX));
    return true;
}

bool DecodePackedBitmap(std::span<const uint8_t> packed, PixelAllocator& allocator, Image& image) {
    Layout l;
    if (!ReadInfoHeader(packed, 0, l) || CheckHeader(l)) return false;
    const BitmapInfoHeader& h = l.header;
    const uint64_t paletteBytes =
        l.paletteEntryBytes * uint64_t{h.clrUsed ? h.clrUsed : (h.bitCount <= 8 ? 1u << h.bitCount : 0u)};
    l.masksAt = kBmpInfoHeaderSize;
    // Masks follow a plain 40-byte header; larger headers hold them inside.
    const size_t masksBytes = h.compression == kBiBitfields && l.paletteAt == kBmpInfoHeaderSize ? 12 : 0;
    const uint64_t pixelsAt = l.paletteAt + masksBytes + paletteBytes;
    const size_t pixelBytes = RowStride(h.width, h.bitCount) * size_t(h.height);
    if (pixelsAt > packed.size() || packed.size() - pixelsAt < pixelBytes) return false;
    l.pixelsAt = static_cast<size_t>(pixelsAt);
    if (DecodePixels(l, packed, allocator, image) != kCodecOk) return false;
    image.format = ImageFormat::Bmp;
    image.sourceBits = h.bitCount;
    image.fileSize = static_cast<int32_t>(std::min<uint64_t>(
        kBmpFileHeaderSize + kBmpInfoHeaderSize + paletteBytes + pixelBytes, INT32_MAX));
    return true;
}

bool EncodeBmp(const Image& image, const SaveOptions& options, ByteSink& out, int& error) {
    const int depth = options.settings.depth;
    const int32_t w = image.Width(), h = image.Height();
    Palette palette = image.palette;
    const uint8_t* pixels = image.bits;
    std::vector<uint8_t> reduced;
    size_t pixelBytes = image.PixelBytes();

    if (depth != image.BitCount()) {
        ColourEngine engine;
        engine.width = w;
        engine.height = h;
        engine.sourceBits = image.BitCount();
        engine.targetBits = depth;
        engine.ditherMode = options.settings.dither;
        PrepareTarget(engine);
        try {
            reduced.assign(static_cast<size_t>(engine.targetSize), 0);
        } catch (const std::bad_alloc&) {
            error = kCodecNoMemory;
            return false;
        }
        palette = Palette{};
        if (!Convert(palette, reduced.data(), engine, &image.palette, image.bits)) {
            error = kCodecSaveFailed;
            return false;
        }
        pixels = reduced.data();
        pixelBytes = reduced.size();
    }

    const uint32_t paletteBytes = PaletteBytesFor(depth);
    uint8_t head[kBmpFileHeaderSize + kBmpInfoHeaderSize] = {'B', 'M'};
    PutU32LE(head + 2, static_cast<uint32_t>(sizeof head + paletteBytes + pixelBytes));
    PutU32LE(head + 10, static_cast<uint32_t>(sizeof head + paletteBytes));
    PutInfoHeader(head + kBmpFileHeaderSize, w, h, depth, image.header.xPelsPerMeter,
                  image.header.yPelsPerMeter, depth < 24 ? 1u << depth : 0u);
    if (!out.Write(head, sizeof head) || !out.Write(palette.data(), paletteBytes) ||
        !out.Write(pixels, pixelBytes)) {
        error = kCodecSaveFailed;
        return false;
    }
    return true;
}

std::vector<uint8_t> PackBitmap(const Image& image) {
    const size_t paletteBytes = image.BitCount() == 24 ? 0 : 1024;
    std::vector<uint8_t> out(kBmpInfoHeaderSize + paletteBytes + image.PixelBytes(), 0);
    PutInfoHeader(out.data(), image.Width(), image.Height(), image.BitCount(),
                  image.header.xPelsPerMeter, image.header.yPelsPerMeter, 0);
    std::memcpy(out.data() + kBmpInfoHeaderSize, image.palette.data(), paletteBytes);
    std::memcpy(out.data() + kBmpInfoHeaderSize + paletteBytes, image.bits, image.PixelBytes());
    return out;
}

}  // namespace pelio
