// PNG saving: the image brought to the target depth, then written as a raster. Portable.
#include "core/image/png_writer.h"

#include <cstring>
#include <new>

#include "core/image/codec_error.h"
#include "core/image/colour_engine.h"

namespace pelio {

namespace {

// Copies bottom-up rows of `stride` bytes into the raster's top-down rows.
void TakeRows(PngRaster& r, const uint8_t* bits, size_t stride) {
    for (uint32_t y = 0; y < r.height; ++y)
        std::memcpy(r.rows.data() + size_t{y} * r.rowBytes, bits + size_t{r.height - 1 - y} * stride,
                    r.rowBytes);
}

ColourEngine EngineFor(const Image& image, int targetBits, int dither) {
    ColourEngine engine;
    engine.width = image.Width();
    engine.height = image.Height();
    engine.sourceBits = image.BitCount();
    engine.targetBits = targetBits;
    engine.ditherMode = dither;
    PrepareTarget(engine);
    return engine;
}

// The raster for the save settings; the error code or 0.
int Prepare(const Image& image, const ImageSaveSettings& s, PngRaster& r) {
    r.width = uint32_t(image.Width());
    r.height = uint32_t(image.Height());
    std::vector<uint8_t> work;
    if (s.depth == 24) {
        r.bitDepth = 8;
        r.colourType = 2;
        r.rowBytes = size_t{r.width} * 3;
        const uint8_t* bits = image.bits;
        if (image.BitCount() != 24) {
            ColourEngine engine = EngineFor(image, 24, s.dither);
            work.resize(size_t(engine.targetSize));
            Palette unused{};
            if (!Convert(unused, work.data(), engine, &image.palette, image.bits)) return kCodecSaveFailed;
            bits = work.data();
        }
        r.rows.resize(r.rowBytes * r.height);
        TakeRows(r, bits, RowStride(image.Width(), 24));
        for (size_t i = 0; i < r.rows.size(); i += 3) std::swap(r.rows[i], r.rows[i + 2]);
        return kCodecOk;
    }
    r.bitDepth = s.depth;
    r.rowBytes = (size_t{r.width} * s.depth + 7) / 8;
    if (s.gray) {
        // The grey conversion gives one byte per pixel only.
        if (s.depth != 8) return kCodecSaveFailed;
        r.colourType = 0;
        ColourEngine engine = EngineFor(image, 8, s.dither);
        work.resize(size_t{r.width} * r.height);
        if (!ToGrey8(engine, &image.palette, image.bits, work.data())) return kCodecSaveFailed;
        r.rows.resize(work.size());
        TakeRows(r, work.data(), r.width);
        return kCodecOk;
    }
    r.colourType = 3;
    const uint8_t* bits = image.bits;
    r.palette = image.palette;
    if (image.BitCount() != s.depth) {
        ColourEngine engine = EngineFor(image, s.depth, s.dither);
        work.resize(size_t(engine.targetSize));
        r.palette = Palette{};
        if (!Convert(r.palette, work.data(), engine, &image.palette, image.bits)) return kCodecSaveFailed;
        bits = work.data();
    }
    r.rows.resize(r.rowBytes * r.height);
    TakeRows(r, bits, RowStride(image.Width(), s.depth));
    return kCodecOk;
}

}  // namespace

bool EncodePng(const Image& image, const SaveOptions& options, ByteSink& out, int& error) {
    const ImageSaveSettings& s = options.settings;
    if (s.depth != 1 && s.depth != 2 && s.depth != 4 && s.depth != 8 && s.depth != 24) {
        error = kCodecSaveFailed;
        return false;
    }
    PngRaster raster;
    try {
        error = Prepare(image, s, raster);
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
    }
    if (error) return false;
    PngWriteParams p;
    p.level = s.level;
    p.filter = s.filter;
    p.interlace = s.interlace;
    p.gamma = s.gamma;
    p.saveGamma = s.saveGam;
    p.transparent = options.transparent;
    p.transparentRed = s.alphaR;
    p.transparentGreen = s.alphaG;
    p.transparentBlue = s.alphaB;
    p.comment = options.writeComment;
    p.commentText = options.comment;
    p.xPelsPerMeter = image.header.xPelsPerMeter;
    p.yPelsPerMeter = image.header.yPelsPerMeter;
    return WritePngRaster(raster, p, out, error);
}

}  // namespace pelio
