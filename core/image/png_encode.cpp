// PNG writing from a prepared raster: chunks, filters, interlacing and deflate. Portable.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"
#include "core/image/png_writer.h"

namespace pelio {

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}
void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}

bool WriteChunk(ByteSink& out, const char (&type)[5], const uint8_t* data, size_t length) {
    uint8_t head[8];
    PutU32BE(head, uint32_t(length));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0L, head + 4, 4);
    if (length) crc = crc32(crc, data, uInt(length));
    uint8_t tail[4];
    PutU32BE(tail, uint32_t(crc));
    return out.Write(head, 8) && (length == 0 || out.Write(data, length)) && out.Write(tail, 4);
}
bool WriteChunk(ByteSink& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    return WriteChunk(out, type, data.data(), data.size());
}

int GetIndex(const uint8_t* row, size_t x, int depth) {
    if (depth == 8) return row[x];
    const int perByte = 8 / depth;
    const int shift = 8 - depth * (int(x % perByte) + 1);
    return (row[x / perByte] >> shift) & ((1 << depth) - 1);
}
void SetIndex(uint8_t* row, size_t x, int depth, int value) {
    if (depth == 8) {
        row[x] = uint8_t(value);
        return;
    }
    const int perByte = 8 / depth;
    const int shift = 8 - depth * (int(x % perByte) + 1);
    const int mask = ((1 << depth) - 1) << shift;
    row[x / perByte] = uint8_t((row[x / perByte] & ~mask) | (value << shift));
}

// Scores a candidate row (type byte first): runs of the bytes 0-3 and 252-255.
int RunScore(const uint8_t* row, size_t length) {
    int count = 0;
    for (size_t i = 1; i < length; ++i) {
        const uint8_t v = row[i];
        count += v == row[i - 1] && (v <= 3 || v >= 252);
    }
    return count;
}

// Filters `raw` (n bytes) against `prev` with filter `type` into `out` (after its type byte).
void FilterRow(int type, const uint8_t* raw, const uint8_t* prev, size_t n, int bpp, uint8_t* out) {
    out[0] = uint8_t(type);
    uint8_t* o = out + 1;
    for (size_t i = 0; i < n; ++i) {
        const int a = i >= size_t(bpp) ? raw[i - bpp] : 0;
        const int b = prev[i];
        const int c = i >= size_t(bpp) ? prev[i - bpp] : 0;
        int p = 0;
        switch (type) {
        case 1: p = a; break;
        case 2: p = b; break;
        case 3: p = (a + b) >> 1; break;
        case 4: p = Paeth(a, b, c); break;
        default: break;
        }
        o[i] = uint8_t(raw[i] - p);
    }
}

// Appends the filtered rows of one pass (or the whole image) to `out`.
class RowFilter {
public:
    RowFilter(int setting, int bpp, size_t maxRow) : setting_(setting), bpp_(bpp) {
        prev_.assign(maxRow, 0);
        for (auto& c : candidates_) c.assign(maxRow + 1, 0);
    }
    void StartPass(size_t rowBytes) { std::fill(prev_.begin(), prev_.begin() + rowBytes, 0); }

    void Add(const uint8_t* raw, size_t n, uint8_t* out) {
        if (setting_ >= 1 && setting_ <= 5) {
            FilterRow(setting_ - 1, raw, prev_.data(), n, bpp_, out);
        } else {
            int score[5];
            for (int t = 0; t < 5; ++t) {
                FilterRow(t, raw, prev_.data(), n, bpp_, candidates_[t].data());
                score[t] = RunScore(candidates_[t].data(), n + 1);
            }
            const int subUp = score[2] > score[1] ? 2 : 1;
            const int avgPaeth = score[4] > score[3] ? 4 : 3;
            const int best = score[avgPaeth] > score[subUp] ? avgPaeth : subUp;
            const int pick = score[best] > score[0] ? best : 0;
            std::memcpy(out, candidates_[pick].data(), n + 1);
        }
        std::memcpy(prev_.data(), raw, n);
    }

private:
    int setting_;
    int bpp_;
    std::vector<uint8_t> prev_;
    std::vector<uint8_t> candidates_[5];
};

// All rows, filtered, with their type bytes; passes one after another when interlaced.
std::vector<uint8_t> FilterImage(const PngRaster& r, const PngWriteParams& p) {
    const int bitsPerPixel = r.colourType == 2 ? 24 : r.bitDepth;
    const int bpp = r.colourType == 2 ? 3 : 1;
    const int setting = r.colourType == 3 ? 1 : p.filter;
    size_t total = 0;
    const int passes = p.interlace ? 7 : 1;
    const Adam7Pass whole{0, 0, 1, 1};
    for (int i = 0; i < passes; ++i) {
        const Adam7Pass& a = p.interlace ? kAdam7[i] : whole;
        const size_t cols = PassExtent(r.width, a.x0, a.dx), rows = PassExtent(r.height, a.y0, a.dy);
        if (cols && rows) total += rows * ((cols * bitsPerPixel + 7) / 8 + 1);
    }
    std::vector<uint8_t> out(total);
    RowFilter filter(setting, bpp, r.rowBytes);
    std::vector<uint8_t> passRow(r.rowBytes);
    size_t at = 0;
    for (int i = 0; i < passes; ++i) {
        const Adam7Pass& a = p.interlace ? kAdam7[i] : whole;
        const size_t cols = PassExtent(r.width, a.x0, a.dx), rows = PassExtent(r.height, a.y0, a.dy);
        if (!cols || !rows) continue;
        const size_t n = (cols * bitsPerPixel + 7) / 8;
        filter.StartPass(n);
        for (size_t j = 0; j < rows; ++j) {
            const uint8_t* src = r.rows.data() + (a.y0 + j * a.dy) * r.rowBytes;
            if (p.interlace) {
                std::fill(passRow.begin(), passRow.end(), 0);
                for (size_t k = 0; k < cols; ++k) {
                    const size_t x = a.x0 + k * a.dx;
                    if (r.colourType == 2) std::memcpy(&passRow[3 * k], src + 3 * x, 3);
                    else SetIndex(passRow.data(), k, r.bitDepth, GetIndex(src, x, r.bitDepth));
                }
                src = passRow.data();
            }
            filter.Add(src, n, out.data() + at);
            at += n + 1;
        }
    }
    return out;
}

// The tRNS and bKGD data for the transparent colour.
void TransparencyChunks(const PngRaster& r, const PngWriteParams& p, std::vector<uint8_t>& trns,
                        std::vector<uint8_t>& bkgd) {
    const int red = p.transparentRed, green = p.transparentGreen, blue = p.transparentBlue;
    if (r.colourType == 2) {
        for (int v : {red, green, blue}) Put16(trns, uint32_t(v));
        bkgd = trns;
    } else if (r.colourType == 0) {
        Put16(trns, uint32_t((green * 587 + blue * 114 + red * 299) / 1000));
        bkgd = trns;
    } else {
        int last = -1, nearest = 0, best = 1 << 30;
        for (int i = 0; i < r.paletteEntries; ++i) {
            const PaletteEntry& e = r.palette[i];
            const int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d == 0) last = i;
            if (d < best) {
                best = d;
                nearest = i;
            }
        }
        const int end = last >= 0 ? last : nearest;
        for (int i = 0; i <= end; ++i) {
            const PaletteEntry& e = r.palette[i];
            const bool clear = last >= 0 ? (e.red == red && e.green == green && e.blue == blue) : i == nearest;
            trns.push_back(clear ? 0 : 255);
        }
        bkgd.push_back(uint8_t(end));
    }
}

// Deflates `data` in one call into a buffer of the worst-case size.
int Compress(const std::vector<uint8_t>& data, int level, int colourType, std::vector<uint8_t>& out) {
    if (level == -1) level = 6;
    if (level < 0 || level > 9) return kPngDeflate;
    const size_t len = data.size();
    const size_t size = len + (len + 7) / 8 + (len + 63) / 64 + 11;
    if (size < len || size > UINT32_MAX) return kCodecNoMemory;
    try {
        out.resize(size);
    } catch (const std::bad_alloc&) {
        return kCodecNoMemory;
    }
    z_stream zs{};
    const PngHeap& heap = CurrentPngHeap();
    zs.zalloc = heap.alloc;
    zs.zfree = heap.free;
    zs.opaque = heap.opaque;
    int rc = deflateInit2(&zs, level, Z_DEFLATED, 15, 9,
                          colourType == 3 ? Z_DEFAULT_STRATEGY : Z_FILTERED);
    if (rc != Z_OK) return rc == Z_MEM_ERROR ? kCodecNoMemory : kPngDeflate;
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = uInt(len);
    zs.next_out = out.data();
    zs.avail_out = uInt(size);
    rc = deflate(&zs, Z_FINISH);
    const size_t produced = zs.total_out;
    const int endRc = deflateEnd(&zs);
    if (rc != Z_STREAM_END || endRc != Z_OK) return kPngDeflate;
    out.resize(produced);
    return kCodecOk;
}

}  // namespace

int CompactPalette(PngRaster& r) {
    const int entries = 1 << r.bitDepth;
    if (r.colourType != 3 || r.bitDepth == 1) return r.paletteEntries = entries;
    int map[256];
    Palette kept{};
    int count = 0;
    for (int i = 0; i < entries; ++i) {
        const PaletteEntry& e = r.palette[i];
        int j = 0;
        while (j < count && !(kept[j].red == e.red && kept[j].green == e.green && kept[j].blue == e.blue)) ++j;
        if (j == count) kept[count++] = PaletteEntry{e.blue, e.green, e.red, 0};
        map[i] = j;
    }
    for (uint32_t y = 0; y < r.height; ++y) {
        uint8_t* row = r.rows.data() + y * r.rowBytes;
        for (uint32_t x = 0; x < r.width; ++x) SetIndex(row, x, r.bitDepth, map[GetIndex(row, x, r.bitDepth)]);
    }
    r.palette = kept;
    return r.paletteEntries = count;
}

bool WritePngRaster(PngRaster& r, const PngWriteParams& p, ByteSink& out, int& error) {
    if (r.colourType == 3) CompactPalette(r);
    std::vector<uint8_t> filtered, stream;
    try {
        filtered = FilterImage(r, p);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
        return false;
    }
    if (int e = Compress(filtered, p.level, r.colourType, stream)) {
        error = e;
        return false;
    }
    filtered = {};

    bool ok = out.Write(kPngFileSignature, 8);
    std::vector<uint8_t> d;
    Put32(d, r.width);
    Put32(d, r.height);
    d.insert(d.end(), {uint8_t(r.bitDepth), uint8_t(r.colourType), 0, 0, uint8_t(p.interlace ? 1 : 0)});
    ok = ok && WriteChunk(out, "IHDR", d);
    if (p.gamma) {
        d.clear();
        Put32(d, uint32_t(std::lround(1e8 / std::max(1, p.saveGamma))));
        ok = ok && WriteChunk(out, "gAMA", d);
    }
    if (p.xPelsPerMeter > 0 && p.yPelsPerMeter > 0) {
        d.clear();
        Put32(d, uint32_t(p.xPelsPerMeter));
        Put32(d, uint32_t(p.yPelsPerMeter));
        d.push_back(1);
        ok = ok && WriteChunk(out, "pHYs", d);
    }
    if (r.colourType == 3) {
        d.clear();
        for (int i = 0; i < r.paletteEntries; ++i)
            d.insert(d.end(), {r.palette[i].red, r.palette[i].green, r.palette[i].blue});
        ok = ok && WriteChunk(out, "PLTE", d);
    }
    if (p.transparent) {
        std::vector<uint8_t> trns, bkgd;
        TransparencyChunks(r, p, trns, bkgd);
        ok = ok && WriteChunk(out, "tRNS", trns) && WriteChunk(out, "bKGD", bkgd);
    }
    ok = ok && WriteChunk(out, "IDAT", stream);
    if (p.comment && !p.commentText.empty()) {
        d.assign({'C', 'o', 'm', 'm', 'e', 'n', 't', 0});
        size_t taken = 0;
        for (char c : p.commentText) {
            if (c == '\r') continue;
            if (taken++ == 10000) break;
            d.push_back(uint8_t(c));
        }
        ok = ok && WriteChunk(out, "tEXt", d);
    }
    ok = ok && WriteChunk(out, "IEND", nullptr, 0);
    if (!ok) error = kCodecSaveFailed;
    return ok;
}

}  // namespace pelio
