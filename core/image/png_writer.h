// Images to PNG files: truecolour, palette or greyscale, filtered and deflated. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/image/codec.h"

namespace pelio {

// Writes `image` at the depth of the save settings (error 7 for another depth or a failed
// conversion, 1 without memory, 24 when deflate fails).
bool EncodePng(const Image& image, const SaveOptions& options, ByteSink& out, int& error);

// Pixels ready to be written, rows from the top down.
struct PngRaster {
    uint32_t width = 0, height = 0;
    int bitDepth = 8;    // 1, 2, 4 or 8
    int colourType = 2;  // 0 grey, 2 red-green-blue, 3 palette
    size_t rowBytes = 0; // (width × bits per pixel + 7) / 8; indices packed high bits first
    std::vector<uint8_t> rows;
    Palette palette{};
    int paletteEntries = 0;
};

// What the file carries besides the pixels.
struct PngWriteParams {
    int level = 9;       // -1 means 6
    int filter = 0;      // 0 Auto, 1 None, 2 Sub, 3 Up, 4 Average, 5 Paeth
    bool interlace = false;
    bool gamma = false;
    int saveGamma = 2200;
    bool transparent = false;
    uint8_t transparentRed = 0, transparentGreen = 0, transparentBlue = 0;
    bool comment = false;
    std::string commentText;
    int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
};

// Writes a raster. Palette rasters of depth 2 to 8 have their palette compacted first.
bool WritePngRaster(PngRaster& raster, const PngWriteParams& params, ByteSink& out, int& error);

// Merges equal palette entries (entry 0 kept, later duplicates mapped to the first, the
// others moved down) and rewrites the indices; returns the number of entries kept.
int CompactPalette(PngRaster& raster);

}  // namespace pelio
