// Display gamma and compositing over the background for decoded PNG images. Portable.
#include "core/image/png_colour.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/image/png_reader.h"

namespace pelio {

namespace {

// round(255 × (i / 255)^exponent), entry 0 = 0.
std::array<uint8_t, 256> GammaTable(double exponent) {
    std::array<uint8_t, 256> t{};
    for (int i = 1; i < 256; ++i) {
        double v = 255.0 * std::pow(i / 255.0, exponent) + 0.5;
        t[i] = uint8_t(std::clamp(int(v), 0, 255));
    }
    return t;
}

uint8_t Blend(const PngAlphaTable& b, int a, int v, int background) {
    return uint8_t(std::min(255, b[a][v] + b[255 - a][background]));
}

// Blends the output with the alpha plane over `bg` (blue, green, red).
void CompositePixels(PngState& s, const uint8_t bg[3]) {
    const PngAlphaTable& b = PngBlendTable();
    for (uint32_t y = 0; y < s.height; ++y) {
        uint8_t* row = s.out + y * s.outStride;
        const uint8_t* alpha = s.alpha.get() + size_t{y} * s.width;
        for (uint32_t x = 0; x < s.width; ++x) {
            const int a = alpha[x];
            if (a == 255) continue;
            if (s.outBits == 8) {
                row[x] = Blend(b, a, row[x], bg[2]);
            } else {
                uint8_t* p = row + 3 * x;
                for (int k = 0; k < 3; ++k) p[k] = Blend(b, a, p[k], bg[k]);
            }
        }
    }
}

}  // namespace

const PngAlphaTable& PngBlendTable() {
    static const PngAlphaTable table = [] {
        PngAlphaTable t;
        for (int a = 0; a < 256; ++a)
            for (int v = 0; v < 256; ++v) t[a][v] = uint8_t((a * v + 127) / 255);
        return t;
    }();
    return table;
}

void ApplyPngGammaAndAlpha(const LoadOptions& options, PngState& s) {
    const int display = options.gamma ? std::max(1, options.displayGamma) : 0;
    const bool gamma = display > 0 && s.gamaSeen;
    std::array<uint8_t, 256> table{};
    if (gamma) {
        table = GammaTable(1.0 / ((s.gama / 100000.0) * (display / 1000.0)));
        bool identity = true;  // a file gamma that the display undoes: no pixel to map
        for (int i = 0; i < 256; ++i) identity = identity && table[size_t(i)] == i;
        if (s.outBits == 8) {
            for (PaletteEntry& e : s.palette) {
                e.red = table[e.red];
                e.green = table[e.green];
                e.blue = table[e.blue];
            }
        } else if (!identity) {
            const size_t rowBytes = size_t{s.width} * 3;
            for (uint32_t y = 0; y < s.height; ++y) {
                uint8_t* row = s.out + y * s.outStride;
                for (size_t i = 0; i < rowBytes; ++i) row[i] = table[row[i]];
            }
        }
    }
    if (!options.alpha || !(s.trnsSeen || s.alphaChannel)) return;
    // Background as blue, green, red.
    uint8_t bg[3] = {options.background.blue, options.background.green, options.background.red};
    if (options.fileBackground && s.bkgdSeen) {
        for (int k = 0; k < 3; ++k) {
            uint8_t v = s.bkgd[2 - k];
            bg[k] = gamma && v ? table[v] : v;
        }
    }
    if (s.alpha) {
        CompositePixels(s, bg);
    } else if (s.colourType == 0) {
        s.palette[s.transparentGrey] = PaletteEntry{bg[0], bg[1], bg[2], 0};
    } else if (s.colourType == 3) {
        const PngAlphaTable& b = PngBlendTable();
        for (int i = 0; i < 256; ++i) {
            PaletteEntry& e = s.palette[i];
            const int a = s.paletteAlpha[i];
            e.blue = Blend(b, a, e.blue, bg[0]);
            e.green = Blend(b, a, e.green, bg[1]);
            e.red = Blend(b, a, e.red, bg[2]);
        }
    }
}

}  // namespace pelio
