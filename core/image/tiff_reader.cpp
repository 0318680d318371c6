// TIFF reading: header, the first IFD, strips and unpacking into the bitmap. Portable.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/image/byte_io.h"
#include "core/image/codec_error.h"
#include "core/image/tiff_codec.h"

namespace pelio {

namespace {

enum TiffType : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };
constexpr int kNoPhotometric = -1;

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint64_t valueAt;  // the 4-byte value field
};

struct TiffInfo {
    uint32_t width = 0, height = 0;
    int bits = 1, bitsValues = 1;
    int photometric = kNoPhotometric;
    std::vector<uint32_t> stripOffsets, stripCounts;
    bool hasStrips = false;
    size_t xResAt = 0, yResAt = 0;
    bool hasXRes = false, hasYRes = false;
    int resolutionUnit = 2;
    size_t colourMapAt = 0;
    bool hasColourMap = false;
    bool description = false;
};

int ReadSize(ByteReader& b, const Entry& e, uint32_t& value) {
    if (e.type == kShort) value = b.U16At(e.valueAt);
    else if (e.type == kLong) value = b.U32At(e.valueAt);
    else return kCodecBadFile;
    if (value == 0) return kCodecBadFile;
    return value > uint32_t(kMaxImageSide) ? kCodecUnsupported : kCodecOk;
}

// A SHORT or LONG scalar; other types read as a SHORT.
uint32_t Scalar(ByteReader& b, const Entry& e) { return e.type == kLong ? b.U32At(e.valueAt) : b.U16At(e.valueAt); }

// A SHORT or LONG array: inside the value field when it fits there, else at its offset.
int ReadArray(ByteReader& b, const Entry& e, std::vector<uint32_t>& out) {
    if ((e.type != kShort && e.type != kLong) || e.count == 0) return kCodecBadFile;
    const bool shorts = e.type == kShort;
    const uint64_t bytes = uint64_t(e.count) * (shorts ? 2 : 4);
    uint64_t at = e.valueAt;
    if (bytes > 4) {
        at = b.U32At(e.valueAt);
        if (!b.Fits(at, bytes)) return kCodecBadFile;
    }
    try {
        out.resize(e.count);
    } catch (const std::bad_alloc&) {
        return kCodecNoMemory;
    }
    ByteReader values(b.BytesAt(at, bytes), b.Order());
    for (uint32_t& v : out) v = shorts ? values.U16() : values.U32();
    return kCodecOk;
}

int ReadEntry(ByteReader& b, const Entry& e, TiffInfo& t) {
    switch (e.tag) {
    case 256: return ReadSize(b, e, t.width);
    case 257: return ReadSize(b, e, t.height);
    case 258:
        if (e.count == 3) {
            const uint32_t at = b.U32At(e.valueAt);
            if (!b.Fits(at, 6)) return kCodecBadFile;
            const int v = b.U16At(at);
            if (v != b.U16At(at + 2) || v != b.U16At(at + 4) || (v != 8 && v != 16)) return kCodecUnsupported;
            t.bits = v;
            t.bitsValues = 3;
        } else if (e.count == 1) {
            t.bits = b.U16At(e.valueAt);
            t.bitsValues = 1;
        } else {
            return kCodecUnsupported;
        }
        return kCodecOk;
    case 259: return Scalar(b, e) == 1 ? kCodecOk : kCodecUnsupported;
    case 262: t.photometric = static_cast<int>(Scalar(b, e)); return kCodecOk;
    case 270: t.description = true; return kCodecOk;
    case 273: t.hasStrips = true; return ReadArray(b, e, t.stripOffsets);
    case 279: return ReadArray(b, e, t.stripCounts);
    case 282: t.xResAt = b.U32At(e.valueAt); t.hasXRes = true; return kCodecOk;
    case 283: t.yResAt = b.U32At(e.valueAt); t.hasYRes = true; return kCodecOk;
    case 284: return Scalar(b, e) == 1 ? kCodecOk : kCodecUnsupported;  // planes apart
    case 296: t.resolutionUnit = static_cast<int>(Scalar(b, e)); return kCodecOk;
    case 322: case 323: case 324: case 325: return kCodecUnsupported;  // tiles, not strips
    case 320: t.colourMapAt = b.U32At(e.valueAt); t.hasColourMap = true; return kCodecOk;
    default: return kCodecOk;
    }
}

int ReadIfd(ByteReader& b, TiffInfo& t) {
    if (b.Size() < 8) return kCodecBadFile;
    const uint8_t order = b.U8At(0);
    if ((order != 'I' && order != 'M') || b.U8At(1) != order) return kCodecBadFile;
    if (b.U16At(2) != 42) return kCodecBadFile;
    const uint32_t ifd = b.U32At(4);
    if (!b.Fits(ifd, 2)) return kCodecBadFile;
    const uint32_t count = b.U16At(ifd);
    if (!b.Fits(uint64_t(ifd) + 2, uint64_t(count) * 12)) return kCodecBadFile;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = uint64_t(ifd) + 2 + 12 * uint64_t(i);
        const Entry e{b.U16At(at), b.U16At(at + 2), b.U32At(at + 4), at + 8};
        if (int error = ReadEntry(b, e, t)) return error;
    }
    if (t.width == 0 || t.height == 0) return kCodecBadFile;
    if (t.stripOffsets.size() != t.stripCounts.size()) return kCodecBadFile;
    if (!t.hasStrips) return kCodecUnsupported;  // tiles or no pixels at all
    return kCodecOk;
}

// Pixels per metre from a resolution rational, 0 when it cannot be had.
int32_t PixelsPerMetre(ByteReader& b, uint64_t at, int unit) {
    const uint32_t numerator = b.U32At(at), denominator = b.U32At(at + 4);
    if (denominator == 0) return 0;
    double v = 0;
    if (unit == 2) v = std::round(numerator / 0.0254 / denominator);
    else if (unit == 3) v = std::round(numerator * 100.0 / denominator);
    return v >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

int BuildPalette(ByteReader& b, const TiffInfo& t, Palette& palette) {
    const int entries = 1 << t.bits;
    if (t.photometric == 3) {
        if (!b.Fits(t.colourMapAt, 6 * uint64_t(entries))) return kCodecReadFailed;
        for (int i = 0; i < entries; ++i) {
            palette[i].red = static_cast<uint8_t>(b.U16At(t.colourMapAt + 2 * i) >> 8);
            palette[i].green = static_cast<uint8_t>(b.U16At(t.colourMapAt + 2 * (entries + i)) >> 8);
            palette[i].blue = static_cast<uint8_t>(b.U16At(t.colourMapAt + 2 * (2 * entries + i)) >> 8);
        }
        return kCodecOk;
    }
    if (t.photometric == kNoPhotometric) return kCodecReadFailed;
    const int step = t.bits == 1 ? 255 : t.bits == 4 ? 17 : 1;
    for (int i = 0; i < entries; ++i) {
        const auto v = static_cast<uint8_t>(t.photometric == 0 ? 255 - i * step : i * step);
        palette[i] = PaletteEntry{v, v, v, 0};
    }
    return kCodecOk;
}

// Red, green, blue pixels to blue, green, red. Where SSE2 is, five pixels from one 16-byte
// read: the middle bytes kept, the outer two moved across by two bytes; each store's sixteenth
// byte is the next store's first.
void SwapRgb(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t pixels) {
    size_t x = 0;
#if defined(__SSE2__)
    const __m128i middle = _mm_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
    const __m128i first = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0);
    const __m128i last = _mm_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
    for (; x + 6 <= pixels; x += 5) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * x));
        const __m128i swapped = _mm_or_si128(_mm_and_si128(v, middle),
                                             _mm_or_si128(_mm_and_si128(_mm_srli_si128(v, 2), first),
                                                          _mm_and_si128(_mm_slli_si128(v, 2), last)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * x), swapped);
    }
#endif
    for (; x < pixels; ++x) {
        const uint8_t r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
        dst[3 * x] = b, dst[3 * x + 1] = g, dst[3 * x + 2] = r;
    }
}

// Unpacks one stored row of `bytes` bytes (fewer when the data ends early) into `dst`.
void UnpackRow(const TiffInfo& t, ByteOrder order, const uint8_t* src, size_t bytes, uint8_t* dst) {
    const size_t w = t.width;
    if (t.bitsValues == 3 && t.bits == 8) {
        SwapRgb(src, dst, std::min(w, bytes / 3));
        return;
    }
    if (t.bitsValues == 3) {
        const size_t sample = t.bits / 8;
        const size_t pixels = std::min(w, bytes / (3 * sample));
        // The most significant byte of each sample.
        const size_t high = sample == 2 && order == ByteOrder::Little ? 1 : 0;
        for (size_t x = 0; x < pixels; ++x, src += 3 * sample, dst += 3) {
            dst[0] = src[2 * sample + high];
            dst[1] = src[sample + high];
            dst[2] = src[high];
        }
        return;
    }
    switch (t.bits) {
    case 8:
        std::memcpy(dst, src, std::min(w, bytes));
        return;
    case 4:
        for (size_t x = 0; x < w && x / 2 < bytes; ++x) dst[x] = (src[x / 2] >> (x & 1 ? 0 : 4)) & 15;
        return;
    default:
        for (size_t x = 0; x < w && x / 8 < bytes; ++x) dst[x] = (src[x / 8] >> (7 - (x & 7))) & 1;
        return;
    }
}

// The strips read as one stream, row by row: a row inside one strip is read in place, a row
// split between strips is gathered. Nothing past the strips is ever read.
class JoinedStrips {
public:
    explicit JoinedStrips(const std::vector<std::span<const uint8_t>>& strips) : strips_(strips) {}

    // The next `size` bytes; `available` is less than `size` where the strips end.
    const uint8_t* Next(size_t size, uint8_t* scratch, size_t& available) {
        Settle();
        if (strip_ < strips_.size() && strips_[strip_].size() - within_ >= size) {
            const uint8_t* p = strips_[strip_].data() + within_;
            within_ += size;
            available = size;
            return p;
        }
        available = 0;
        while (available < size && (Settle(), strip_ < strips_.size())) {
            const size_t n = std::min(size - available, strips_[strip_].size() - within_);
            std::memcpy(scratch + available, strips_[strip_].data() + within_, n);
            within_ += n;
            available += n;
        }
        return scratch;
    }

private:
    // Moves past used-up strips.
    void Settle() {
        while (strip_ < strips_.size() && within_ >= strips_[strip_].size()) {
            ++strip_;
            within_ = 0;
        }
    }

    const std::vector<std::span<const uint8_t>>& strips_;
    size_t strip_ = 0;
    size_t within_ = 0;
};

int Decode(ByteReader& b, PixelAllocator& allocator, DecodeResult& result) {
    TiffInfo t;
    if (int error = ReadIfd(b, t)) return error;

    Image& image = result.image;
    image.header = BitmapInfoHeader{};
    image.header.width = static_cast<int32_t>(t.width);
    image.header.height = static_cast<int32_t>(t.height);
    image.palette = Palette{};
    if (t.photometric == 2 && t.bitsValues == 3) {
        image.header.bitCount = 24;
        image.sourceBits = t.bits * 3;
    } else if (t.bitsValues == 1 && (t.bits == 1 || t.bits == 4 || t.bits == 8) &&
               ((t.photometric == 3 && t.hasColourMap) || t.photometric == 0 || t.photometric == 1 ||
                t.photometric == kNoPhotometric)) {
        image.header.bitCount = 8;
        image.sourceBits = t.bits;
        if (int error = BuildPalette(b, t, image.palette)) return error;
    } else {
        return kCodecUnsupported;
    }

    // Rows start on byte boundaries and run on across strips as one joined stream.
    const size_t rowBytes = t.bitsValues == 3 ? size_t(t.width) * 3 * (t.bits / 8)
                                              : (size_t(t.width) * t.bits + 7) / 8;
    // Each strip checked once; rows are then read from its bytes directly.
    std::vector<std::span<const uint8_t>> stripBytes(t.stripOffsets.size());
    for (size_t i = 0; i < stripBytes.size(); ++i) {
        if (!b.Fits(t.stripOffsets[i], t.stripCounts[i])) return kCodecReadFailed;
        stripBytes[i] = b.BytesAt(t.stripOffsets[i], t.stripCounts[i]);
    }
    std::vector<uint8_t> gathered(rowBytes);
    if (!allocator.Allocate(image)) return kCodecNoMemory;
    JoinedStrips strips(stripBytes);
    for (uint32_t y = 0; y < t.height; ++y) {
        size_t available = 0;
        const uint8_t* row = strips.Next(rowBytes, gathered.data(), available);
        if (available == 0) break;  // missing rows stay 0
        UnpackRow(t, b.Order(), row, available, image.Row(static_cast<int32_t>(t.height - 1 - y)));
    }

    if (t.hasXRes && t.hasYRes && b.Fits(t.xResAt, 8) && b.Fits(t.yResAt, 8)) {
        image.header.xPelsPerMeter = PixelsPerMetre(b, t.xResAt, t.resolutionUnit);
        image.header.yPelsPerMeter = PixelsPerMetre(b, t.yResAt, t.resolutionUnit);
    }
    result.info.comment = t.description;
    return kCodecOk;
}

}  // namespace

bool DecodeTiff(std::span<const uint8_t> file, const LoadOptions&, PixelAllocator& allocator,
                DecodeResult& result) {
    ByteReader bytes(file, file.size() >= 2 && file[0] == 'M' ? ByteOrder::Big : ByteOrder::Little);
    int error = kCodecOk;
    try {
        error = Decode(bytes, allocator, result);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
    }
    if (error) {
        if (result.image.bits) allocator.Release(result.image);
        result.error = error;
        return false;
    }
    result.error = kCodecOk;
    result.image.format = ImageFormat::Tiff;
    result.image.fileSize = static_cast<int32_t>(std::min<size_t>(file.size(), INT32_MAX));
    return true;
}

}  // namespace pelio
