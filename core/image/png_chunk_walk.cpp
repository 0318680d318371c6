// The PNG reader's chunk walk: IHDR, the chunks it uses up to IEND, and inflating the IDAT
// run. Portable.
#include "core/image/png_chunk_walk.h"

#include <algorithm>
#include <cstring>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"

namespace pelio {

namespace {

// The step between grey levels of a depth: a sample of 1 at that depth, in 8 bits.
int GreyStep(int depth) { return depth == 1 ? 255 : depth == 2 ? 85 : depth == 4 ? 17 : 1; }

voidpf HeapAlloc(voidpf opaque, uInt items, uInt size) {
    const PngHeap& h = CurrentPngHeap();
    if (h.alloc) return h.alloc(h.opaque, items, size);
    (void)opaque;
    return std::calloc(items, size);
}
void HeapFree(voidpf opaque, voidpf address) {
    const PngHeap& h = CurrentPngHeap();
    if (h.free) return h.free(h.opaque, address);
    (void)opaque;
    std::free(address);
}

}  // namespace

PngBuffer AllocatePngBuffer(size_t size, bool zero) {
    if (size == 0) size = 1;
    return PngBuffer(static_cast<uint8_t*>(zero ? std::calloc(size, 1) : std::malloc(size)));
}

int ReadPngHeader(std::span<const uint8_t> file, PngState& s) {
    if (file.size() < kPngHeaderEnd || std::memcmp(file.data(), kPngFileSignature, 8) != 0)
        return kCodecBadFile;
    ByteReader ihdr(file, ByteOrder::Big);
    ihdr.Seek(8);
    if (ihdr.U32() != 13) return kPngIhdrLength;
    if (ihdr.U32() != ChunkTag("IHDR")) return kPngIhdrType;
    if (!PngCrcMatches(file.data() + 8, 13)) return kPngCrc;
    s.width = ihdr.U32();
    s.height = ihdr.U32();
    if (s.width < 1 || s.width > uint32_t(kMaxImageSide) || s.height < 1 ||
        s.height > uint32_t(kMaxImageSide))
        return kCodecUnsupported;
    s.depth = ihdr.U8();
    s.colourType = ihdr.U8();
    if (ihdr.U8() != 0) return kPngIhdrCompression;
    if (ihdr.U8() != 0) return kPngIhdrFilter;
    const int interlace = ihdr.U8();
    if (interlace > 1) return kPngIhdrInterlace;
    s.interlace = interlace;
    switch (s.colourType) {
    case 0: s.channels = 1; break;
    case 2: s.channels = 3; break;
    case 3: s.channels = 1; break;
    case 4: s.channels = 2; break;
    case 6: s.channels = 4; break;
    default: return kPngIhdrColourType;
    }
    switch (s.depth) {
    case 1: case 2: case 4:
        if (s.colourType != 0 && s.colourType != 3) return kPngIhdrColourType;
        break;
    case 8: break;
    case 16:
        if (s.colourType == 3) return kPngIhdrColourType;
        break;
    default: return kPngIhdrBitDepth;
    }
    s.grey = (s.colourType & 2) == 0;
    s.alphaChannel = (s.colourType & 4) != 0;
    s.outBits = s.grey || s.colourType == 3 ? 8 : 24;
    // 16-bit grey may turn into 24-bit output: check the larger size.
    if (!CheckedMul(RowStride(int32_t(s.width), 24), s.height)) return kCodecUnsupported;
    std::fill(std::begin(s.paletteAlpha), std::end(s.paletteAlpha), uint8_t{255});
    if (s.grey) {
        const int step = GreyStep(s.depth);
        for (int i = 0; i * step <= 255; ++i) {
            uint8_t v = uint8_t(i * step);
            s.palette[i] = PaletteEntry{v, v, v, 0};
        }
    }
    return kCodecOk;
}

namespace {

// The background colour of a bKGD chunk in the image's colour type; others are ignored.
void ReadBackground(std::span<const uint8_t> d, PngState& s) {
    if (s.grey && d.size() == 2) {
        uint8_t v = s.depth == 16 ? d[0] : uint8_t(d[1] * GreyStep(s.depth));
        s.bkgd[0] = s.bkgd[1] = s.bkgd[2] = v;
        s.bkgdSeen = true;
    } else if (s.colourType == 3 && s.plteSeen && d.size() == 1) {
        const PaletteEntry& e = s.palette[d[0]];
        s.bkgd[0] = e.red;
        s.bkgd[1] = e.green;
        s.bkgd[2] = e.blue;
        s.bkgdSeen = true;
    } else if ((s.colourType == 2 || s.colourType == 6) && d.size() == 6) {
        const int low = s.depth == 16 ? 0 : 1;
        for (int i = 0; i < 3; ++i) s.bkgd[i] = d[2 * i + low];
        s.bkgdSeen = true;
    }
}

// The transparent grey or colour, or the palette's alpha values, of a tRNS chunk.
void ReadTransparency(std::span<const uint8_t> d, PngState& s) {
    if (s.colourType == 0 && d.size() == 2) {
        std::memcpy(s.trnsRaw, d.data(), 2);
        s.transparentGrey = s.depth == 16 ? d[0] : d[1];
        s.trnsSeen = true;
    } else if (s.colourType == 2 && d.size() == 6) {
        if (s.depth == 16) std::memcpy(s.trnsRaw, d.data(), 6);
        else for (int i = 0; i < 3; ++i) s.trnsRaw[i] = d[2 * i + 1];
        s.trnsSeen = true;
    } else if (s.colourType == 3 && s.plteSeen && d.size() <= size_t(s.paletteEntries)) {
        std::memcpy(s.paletteAlpha, d.data(), d.size());
        s.trnsSeen = true;
    }
}

// A tEXt chunk with a keyword counts as text; one keyed "Comment" also as a comment.
void CountText(std::span<const uint8_t> d, PngState& s) {
    const size_t limit = std::min<size_t>(d.size(), 80);
    const void* nul = std::memchr(d.data(), 0, limit);
    if (!nul || nul == d.data()) return;
    ++s.texts;
    if (static_cast<const uint8_t*>(nul) - d.data() == 7 && std::memcmp(d.data(), "Comment", 7) == 0) ++s.comments;
}

}  // namespace

int WalkPngChunks(std::span<const uint8_t> file, PngState& s, const PngImageData& decode) {
    ByteReader walk(file, ByteOrder::Big);
    walk.Seek(kPngHeaderEnd);
    bool idatDone = false;
    for (;;) {
        const size_t pos = walk.Position();
        if (walk.Remaining() < 8) return kCodecBadFile;
        const uint32_t length = walk.U32();
        const uint32_t type = walk.U32();
        if (length > kPngMaxChunkLength) return kPngChunkLength;
        if (walk.Remaining() < size_t{length} + 4) return kCodecBadFile;
        const std::span<const uint8_t> d = walk.Take(length);
        walk.Skip(4);  // the CRC
        ByteReader fields(d, ByteOrder::Big);
        auto crcOk = [&] { return PngCrcMatches(file.data() + pos, length); };

        switch (type) {
        case ChunkTag("IHDR"):
            return kPngChunkOrder;
        case ChunkTag("gAMA"):
            if (!s.gamaSeen && !s.plteSeen && !s.idatSeen && length == 4 && crcOk() &&
                fields.U32At(0) > 0) {
                s.gamaSeen = true;
                s.gama = fields.U32At(0);
            }
            break;
        case ChunkTag("PLTE"):
            if (s.colourType != 3) break;
            if (s.plteSeen || s.idatSeen) return kPngChunkOrder;
            if (!crcOk()) return kPngCrc;
            s.plteSeen = true;
            s.paletteEntries = int(std::min<uint32_t>(length / 3, 1u << s.depth));
            for (int i = 0; i < s.paletteEntries; ++i)
                s.palette[i] = PaletteEntry{d[3 * i + 2], d[3 * i + 1], d[3 * i], 0};
            break;
        case ChunkTag("bKGD"):
            if (!s.bkgdSeen && !s.idatSeen && crcOk()) ReadBackground(d, s);
            break;
        case ChunkTag("tRNS"):
            if (!s.trnsSeen && !s.idatSeen && crcOk()) ReadTransparency(d, s);
            break;
        case ChunkTag("IDAT"): {
            if (idatDone) return kPngChunkOrder;
            if (!crcOk()) return kPngCrc;
            // The run: this chunk and the IDAT chunks that follow at once.
            int count = 1;
            while (walk.Remaining() >= 8 && walk.U32At(walk.Position() + 4) == ChunkTag("IDAT")) {
                const size_t at = walk.Position();
                const uint32_t len = walk.U32();
                walk.Skip(4);
                if (len > kPngMaxChunkLength || walk.Remaining() < size_t{len} + 4 ||
                    !PngCrcMatches(file.data() + at, len))
                    return kPngIdatLength;
                walk.Skip(size_t{len} + 4);
                ++count;
            }
            s.idatSeen = true;
            idatDone = true;
            if (int e = decode(pos, count)) return e;
            break;
        }
        case ChunkTag("pHYs"):
            if (!s.idatSeen && length == 9 && crcOk() && d[8] == 1 &&
                fields.U32At(0) < 0x80000000u && fields.U32At(4) < 0x80000000u) {
                s.xRes = fields.U32At(0);
                s.yRes = fields.U32At(4);
            }
            break;
        case ChunkTag("tEXt"):
            if (length >= 2 && crcOk()) CountText(d, s);
            break;
        case ChunkTag("IEND"):
            if (!crcOk()) return kPngCrc;
            if (!s.idatSeen || (s.colourType == 3 && !s.plteSeen)) return kPngCriticalChunk;
            return kCodecOk;
        default:
            break;
        }
    }
}

PngIdatStream::PngIdatStream(std::span<const uint8_t> file, size_t first, int count)
    : run_(file, ByteOrder::Big), left_(count) {
    run_.Seek(first);
}

PngIdatStream::~PngIdatStream() {
    if (started_) inflateEnd(&zs_);
}

int PngIdatStream::Start() {
    zs_.zalloc = HeapAlloc;
    zs_.zfree = HeapFree;
    const int rc = inflateInit2(&zs_, 15);
    if (rc != Z_OK) return rc == Z_MEM_ERROR ? kCodecNoMemory : kPngInflate;
    started_ = true;
    inflateValidate(&zs_, 0);
    return kCodecOk;
}

int PngIdatStream::Read(uint8_t* out, size_t size, size_t& got, bool& ended) {
    zs_.next_out = out;
    zs_.avail_out = uInt(size);
    ended = false;
    while (zs_.avail_out > 0) {
        Refill();
        uint8_t* const from = zs_.next_out;
        const int rc = inflate(&zs_, Z_NO_FLUSH);
        adler_ = PngAdler32(adler_, from, size_t(zs_.next_out - from));
        if (rc == Z_STREAM_END) {
            if (adler_ != LastFour()) return kPngInflate;
            ended = true;
            break;
        }
        if (rc != Z_OK) return kPngInflate;
    }
    got = size - zs_.avail_out;
    return kCodecOk;
}

int PngIdatStream::Finish() {
    // With no room for output, zlib reads on to the end of the stream and its check value.
    uint8_t none;
    while (Refill()) {
        zs_.next_out = &none;
        zs_.avail_out = 0;
        const int rc = inflate(&zs_, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) return adler_ == LastFour() ? kCodecOk : kPngInflate;
        if (rc != Z_OK) break;
    }
    return kCodecOk;
}

bool PngIdatStream::Refill() {
    while (zs_.avail_in == 0) {
        // The input given last has been used up: keep its last bytes.
        for (const uint8_t* q = part_ - std::min<size_t>(part_ - given_, 4); q < part_; ++q)
            last_ = last_ << 8 | *q;
        given_ = part_;
        if (partLeft_ == 0) {
            if (left_ == 0) return false;
            const uint32_t length = run_.U32();
            run_.Skip(4);  // the type
            const std::span<const uint8_t> data = run_.Take(length);
            run_.Skip(4);  // the CRC
            part_ = data.data();
            partLeft_ = data.size();
            --left_;
        }
        uInt n = uInt(std::min<size_t>(partLeft_, 0x40000000));
        zs_.next_in = const_cast<Bytef*>(part_);
        zs_.avail_in = n;
        given_ = part_;
        part_ += n;
        partLeft_ -= n;
    }
    return true;
}

uint32_t PngIdatStream::LastFour() const {
    uint32_t v = last_;
    const uint8_t* end = zs_.next_in;
    for (const uint8_t* q = end - std::min<size_t>(end - given_, 4); q < end; ++q) v = v << 8 | *q;
    return v;
}

}  // namespace pelio
