// GIF writing: one frame, GIF89a, optional interlace and transparent index. Portable.
#include <algorithm>
#include <cstring>
#include <new>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"
#include "core/image/gif_codec.h"

namespace pelio {

namespace {

// The last entry exactly equal to the colour, else the nearest (the first on ties).
int TransparentIndex(const Palette& palette, int entries, uint8_t red, uint8_t green, uint8_t blue) {
    for (int i = entries - 1; i >= 0; --i)
        if (palette[i].red == red && palette[i].green == green && palette[i].blue == blue) return i;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < entries; ++i) {
        const int dr = palette[i].red - red, dg = palette[i].green - green, db = palette[i].blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// Top-down rows of `reduced` (stored bottom-up) into `out`, in interlace pass order if asked.
void OrderRows(const uint8_t* reduced, size_t width, int height, bool interlace, uint8_t* out) {
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    const int passes = interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = interlace ? kStart[pass] : 0, step = interlace ? kStep[pass] : 1;
        for (int y = start; y < height; y += step, out += width)
            std::memcpy(out, reduced + size_t(height - 1 - y) * width, width);
    }
}

}  // namespace

bool EncodeGif(const Image& image, const SaveOptions& options, ByteSink& out, int& error) {
    const ImageSaveSettings& s = options.settings;
    const int depth = std::clamp(s.depth, 1, 8);
    const int32_t w = image.Width(), h = image.Height();
    if (w < 1 || h < 1 || w > 0xFFFF || h > 0xFFFF || !image.bits) {
        error = kCodecSaveFailed;
        return false;
    }
    const size_t count = size_t(w) * size_t(h);
    std::vector<uint8_t> work, data;
    try {
        work.assign(2 * count, 0);
        data.reserve(count / 2 + 64);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
        return false;
    }
    ColourEngine engine;
    engine.width = w;
    engine.height = h;
    engine.sourceBits = image.BitCount();
    engine.targetBits = depth;
    engine.ditherMode = s.dither;
    Palette palette{};
    if (!ConvertUnpacked(image.BitCount() == 8 ? &image.palette : nullptr, image.bits, palette, engine,
                         work.data())) {
        error = kCodecSaveFailed;
        return false;
    }
    const int entries = 1 << depth;
    const int transparent =
        options.transparent ? TransparentIndex(palette, entries, s.alphaR, s.alphaG, s.alphaB) : -1;

    std::vector<uint8_t> head = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0,
                                 static_cast<uint8_t>(0x80 | (depth - 1) << 4 | (depth - 1)),
                                 static_cast<uint8_t>(transparent < 0 ? 0 : transparent), 0};
    PutU16LE(&head[6], static_cast<uint32_t>(w));
    PutU16LE(&head[8], static_cast<uint32_t>(h));
    for (int i = 0; i < entries; ++i) {
        head.push_back(palette[i].red);
        head.push_back(palette[i].green);
        head.push_back(palette[i].blue);
    }
    if (transparent >= 0)
        head.insert(head.end(), {0x21, 0xF9, 0x04, 0x01, 0, 0, static_cast<uint8_t>(transparent), 0});
    uint8_t descriptor[10] = {','};
    PutU16LE(descriptor + 5, static_cast<uint32_t>(w));
    PutU16LE(descriptor + 7, static_cast<uint32_t>(h));
    descriptor[9] = s.interlace ? 0x40 : 0;
    head.insert(head.end(), descriptor, descriptor + sizeof descriptor);
    const int minCodeSize = depth == 1 ? 2 : depth;
    head.push_back(static_cast<uint8_t>(minCodeSize));

    uint8_t* ordered = work.data() + count;
    OrderRows(work.data(), size_t(w), h, s.interlace, ordered);
    try {
        GifLzwEncode(std::span<const uint8_t>(ordered, count), minCodeSize, data);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
        return false;
    }
    // Sub-blocks of at most 255 bytes, each after its length, then a zero block and the trailer.
    std::vector<uint8_t> blocks;
    try {
        blocks.reserve(data.size() + data.size() / 255 + 3);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
        return false;
    }
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        blocks.push_back(static_cast<uint8_t>(n));
        blocks.insert(blocks.end(), data.begin() + at, data.begin() + at + n);
    }
    blocks.push_back(0);
    blocks.push_back(';');
    if (!out.Write(head.data(), head.size()) || !out.Write(blocks.data(), blocks.size())) {
        error = kCodecSaveFailed;
        return false;
    }
    return true;
}

}  // namespace pelio
