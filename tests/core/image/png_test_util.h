// PNG files built in memory and read back with libpng, for the PNG tests.
#pragma once
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace pelio::test {

inline void PushU32BE(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

// Appends a chunk; `crcDelta` spoils its CRC when non-zero.
inline void AppendChunk(std::vector<uint8_t>& file, const char* type,
                        const std::vector<uint8_t>& data, uint32_t crcDelta = 0) {
    PushU32BE(file, uint32_t(data.size()));
    size_t at = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    uLong crc = crc32(0, file.data() + at, uInt(4 + data.size()));
    PushU32BE(file, uint32_t(crc) + crcDelta);
}

inline std::vector<uint8_t> Signature() { return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}; }

inline std::vector<uint8_t> IhdrData(uint32_t w, uint32_t h, int depth, int type, int interlace = 0) {
    std::vector<uint8_t> d;
    PushU32BE(d, w);
    PushU32BE(d, h);
    d.insert(d.end(), {uint8_t(depth), uint8_t(type), 0, 0, uint8_t(interlace)});
    return d;
}

inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw, int level = 6) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, raw.data(), uLong(raw.size()), level);
    out.resize(size);
    return out;
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// A whole file: signature, IHDR, `before` chunks, the zlib stream of `raw` (filter bytes
// included) split into IDAT chunks of `idatPart` bytes, `after` chunks and IEND.
inline std::vector<uint8_t> BuildPng(uint32_t w, uint32_t h, int depth, int type,
                                     const std::vector<uint8_t>& raw,
                                     const std::vector<Chunk>& before = {},
                                     const std::vector<Chunk>& after = {}, size_t idatPart = 0,
                                     int interlace = 0, bool iend = true) {
    std::vector<uint8_t> f = Signature();
    AppendChunk(f, "IHDR", IhdrData(w, h, depth, type, interlace));
    for (const Chunk& c : before) AppendChunk(f, c.type.c_str(), c.data);
    std::vector<uint8_t> z = Deflate(raw);
    if (idatPart == 0) idatPart = z.size();
    for (size_t at = 0; at < z.size(); at += idatPart)
        AppendChunk(f, "IDAT", std::vector<uint8_t>(z.begin() + at, z.begin() + std::min(z.size(), at + idatPart)));
    for (const Chunk& c : after) AppendChunk(f, c.type.c_str(), c.data);
    if (iend) AppendChunk(f, "IEND", {});
    return f;
}

inline std::vector<uint8_t> Text(const std::string& keyword, const std::string& text) {
    std::vector<uint8_t> d(keyword.begin(), keyword.end());
    d.push_back(0);
    d.insert(d.end(), text.begin(), text.end());
    return d;
}

// What libpng makes of a file: samples unpacked to one value per channel (16-bit kept).
struct LibpngImage {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, channels = 0, interlace = 0;
    std::vector<uint16_t> samples;  // row-major, top-down, `channels` per pixel
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;
    bool hasTrns = false, hasBkgd = false, hasGama = false;
    png_color_16 trns{}, bkgd{};
    png_fixed_point gama = 0;
    uint16_t At(uint32_t x, uint32_t y, int c) const {
        return samples[(size_t(y) * width + x) * channels + c];
    }
};

struct LibpngSource {
    const std::vector<uint8_t>* file;
    size_t at;
};

inline void LibpngRead(png_structp p, png_bytep data, png_size_t n) {
    auto* s = static_cast<LibpngSource*>(png_get_io_ptr(p));
    if (s->at + n > s->file->size()) png_error(p, "short");
    std::memcpy(data, s->file->data() + s->at, n);
    s->at += n;
}

// The frames that call setjmp hold nothing with a destructor.
inline bool LibpngReadInfo(png_structp png, png_infop info, LibpngImage* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->depth = png_get_bit_depth(png, info);
    out->colourType = png_get_color_type(png, info);
    out->interlace = png_get_interlace_type(png, info);
    out->channels = png_get_channels(png, info);
    png_colorp pal;
    int n;
    if (png_get_PLTE(png, info, &pal, &n)) out->palette.assign(pal, pal + n);
    png_bytep alpha;
    int na;
    png_color_16p tc;
    if (png_get_tRNS(png, info, &alpha, &na, &tc)) {
        out->hasTrns = true;
        if (out->colourType == 3) out->paletteAlpha.assign(alpha, alpha + na);
        else out->trns = *tc;
    }
    png_color_16p bk;
    if (png_get_bKGD(png, info, &bk)) {
        out->hasBkgd = true;
        out->bkgd = *bk;
    }
    if (png_get_gAMA_fixed(png, info, &out->gama)) out->hasGama = true;
    if (out->depth < 8) png_set_packing(png);
    if (out->depth == 16) png_set_swap(png);  // little-endian in memory
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

inline bool LibpngReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

inline LibpngImage ReadWithLibpng(const std::vector<uint8_t>& file) {
    LibpngImage out;
    LibpngSource src{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &src, LibpngRead);
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    if (LibpngReadInfo(png, info, &out)) {
        size_t rowBytes = png_get_rowbytes(png, info);
        std::vector<uint8_t> buffer(rowBytes * out.height);
        std::vector<png_bytep> rows(out.height);
        for (uint32_t y = 0; y < out.height; ++y) rows[y] = buffer.data() + y * rowBytes;
        if (LibpngReadRows(png, rows.data())) {
            out.samples.resize(size_t(out.width) * out.height * out.channels);
            const size_t n = size_t(out.width) * out.channels;
            for (uint32_t y = 0; y < out.height; ++y)
                for (size_t i = 0; i < n; ++i)
                    out.samples[y * n + i] = out.depth == 16
                                                 ? uint16_t(rows[y][2 * i] | rows[y][2 * i + 1] << 8)
                                                 : rows[y][i];
            out.ok = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
}

}  // namespace pelio::test
