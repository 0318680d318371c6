// PNG reading: the header, the chunk walk with the image data inflated and unfiltered a block
// at a time pass by pass, then gamma and compositing. Portable.
#include "core/image/png_reader.h"

#include <algorithm>
#include <cstring>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"
#include "core/image/png_chunk_walk.h"
#include "core/image/png_colour.h"
#include "core/image/png_unfilter.h"

namespace pelio {

namespace {

// Output bytes inflated per block.
constexpr size_t kBlockBytes = size_t{1024} << 10;

// Inflates the IDAT run and writes every row into the output. The error code or 0.
int DecodeRows(PngState& s, PngIdatStream& stream) {
    if (int e = stream.Start()) return e;
    const size_t bpp = size_t(s.depth * s.channels);
    const size_t fullRow = (size_t{s.width} * bpp + 7) / 8 + 1;
    // Rows are inflated a block at a time behind a slot holding the previous row.
    // Whole groups of four rows where the block holds more than four.
    size_t blockRows = std::clamp<size_t>(kBlockBytes / fullRow, 1, s.height);
    if (blockRows > 4) blockRows &= ~size_t{3};
    PngBuffer block = AllocatePngBuffer((blockRows + 1) * fullRow + kPngRowSlack, false);
    if (!block) return kCodecNoMemory;
    uint8_t* const base = block.get();
    PngRowUnfilter unfilter(s.depth, s.colourType, s.keyed, s.trnsRaw,
                            PngRowOutput{s.out, s.outStride, s.alpha.get(), s.width, s.height});

    const Adam7Pass whole{0, 0, 1, 1};
    const int passes = s.interlace ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const Adam7Pass& p = s.interlace ? kAdam7[pass] : whole;
        const uint32_t cols = PassExtent(s.width, p.x0, p.dx);
        const uint32_t rowsInPass = PassExtent(s.height, p.y0, p.dy);
        if (cols == 0 || rowsInPass == 0) continue;
        const size_t rowBytes = (size_t{cols} * bpp + 7) / 8 + 1;
        std::memset(base, 0, rowBytes);
        unfilter.StartPass(p, cols, rowBytes);
        for (uint32_t j = 0; j < rowsInPass;) {
            const size_t want = std::min<size_t>(blockRows, rowsInPass - j);
            size_t bytes = 0;
            bool ended = false;
            if (int e = stream.Read(base + rowBytes, want * rowBytes, bytes, ended)) return e;
            // A stream that ends inside a row leaves that row and the rest untouched.
            const size_t got = bytes / rowBytes;
            unfilter.Rows(base, got, j);
            j += uint32_t(got);
            if (ended || got < want) return kCodecOk;
        }
    }
    return stream.Finish();
}

// Allocates the output and the alpha plane and decodes the run. The error code or 0.
int ReadImageData(std::span<const uint8_t> file, const LoadOptions& options, PngState& s,
                  size_t first, int count, PixelAllocator& allocator, Image& image) {
    s.keyed = options.alpha && s.trnsSeen && (s.colourType == 2 || (s.colourType == 0 && s.depth == 16));
    if (s.colourType == 0 && s.depth == 16) s.outBits = s.keyed ? 24 : 8;
    s.outStride = RowStride(int32_t(s.width), s.outBits);
    image.header = BitmapInfoHeader{};
    image.header.width = int32_t(s.width);
    image.header.height = int32_t(s.height);
    image.header.bitCount = uint16_t(s.outBits);
    image.header.xPelsPerMeter = int32_t(s.xRes);
    image.header.yPelsPerMeter = int32_t(s.yRes);
    if (s.alphaChannel || s.keyed) {
        s.alpha = AllocatePngBuffer(size_t{s.width} * s.height, true);
        if (!s.alpha) return kCodecNoMemory;
    }
    if (s.outBits == 24) {
        // Nothing of the palette matters: decode straight into the image.
        if (!allocator.Allocate(image)) return kCodecNoMemory;
        s.out = image.bits;
    } else {
        s.pixels = AllocatePngBuffer(s.outStride * s.height, true);
        if (!s.pixels) return kCodecNoMemory;
        s.out = s.pixels.get();
    }
    PngIdatStream stream(file, first, count);
    return DecodeRows(s, stream);
}

}  // namespace

bool DecodePng(std::span<const uint8_t> file, const LoadOptions& options,
               PixelAllocator& allocator, DecodeResult& result) {
    result = DecodeResult{};
    Image& image = result.image;
    ImageHolder hold(allocator, image);
    PngState s;
    int error = ReadPngHeader(file, s);
    if (!error)
        error = WalkPngChunks(file, s, [&](size_t first, int count) {
            return ReadImageData(file, options, s, first, count, allocator, image);
        });
    if (error) {
        result.error = error;
        return false;
    }
    ApplyPngGammaAndAlpha(options, s);
    image.palette = s.outBits == 8 ? s.palette : Palette{};
    if (s.outBits == 8) {
        if (!allocator.Allocate(image)) {
            result.error = kCodecNoMemory;
            return false;
        }
        std::memcpy(image.bits, s.pixels.get(), image.PixelBytes());
    }
    hold.Keep();
    image.format = ImageFormat::Png;
    image.sourceBits = s.colourType == 2 || s.colourType == 6 ? s.depth * 3 : s.depth;
    image.fileSize = int32_t(std::min<size_t>(file.size(), INT32_MAX));
    result.info.interlaced = s.interlace;
    result.info.transparency = s.trnsSeen || s.alphaChannel;
    result.info.text = s.texts;
    result.info.comment = s.comments;
    return true;
}

}  // namespace pelio
