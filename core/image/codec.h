// What every decoder and encoder is given, and the one table that finds them. Portable.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/image/byte_io.h"
#include "core/image/image.h"
#include "core/image/image_settings.h"

namespace pelio {

// Section "LImg" as the decoders read it.
struct LoadOptions {
    bool gamma = true;
    int displayGamma = 2200;
    bool alpha = true;
    bool fileBackground = true;
    PaletteEntry background{255, 255, 255, 0};

    static LoadOptions From(const ImageReadSettings& s) {
        return {s.gamma, s.dispGam, s.alpha, s.fbg, PaletteEntry{s.bgB, s.bgG, s.bgR, 0}};
    }
    friend bool operator==(const LoadOptions&, const LoadOptions&) = default;
};

// Section "SImg" plus what a save adds: the comment (ANSI, at most 10000 bytes) and the
// transparency switch; for the lossless JPEG save, the source file and its transform.
struct SaveOptions {
    ImageSaveSettings settings;
    bool writeComment = false;
    std::string comment;
    bool transparent = false;
    // Save format 5: the source JPEG file's bytes and the pending transform (0..5).
    std::span<const uint8_t> losslessSource;
    int losslessTransform = 0;
};

// `file` is the whole file; the result's image is allocated through `allocator`.
using DecodeFn = bool (*)(std::span<const uint8_t> file, const LoadOptions& options,
                          PixelAllocator& allocator, DecodeResult& result);
// Writes `image` to `out`; on failure leaves a codec error code in `error`.
using EncodeFn = bool (*)(const Image& image, const SaveOptions& options, ByteSink& out,
                          int& error);

// The decoder of a detected format, or null when none is built in.
DecodeFn FindDecoder(ImageFormat format);
// The encoder of a save format, or null when none is built in.
EncodeFn FindEncoder(SaveFormat format);

}  // namespace pelio
