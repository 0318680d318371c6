// Luminance histogram. Portable.
#include "core/ops/luminance.h"

#include <algorithm>
#include <cmath>

namespace pelio {

namespace {

struct Weights {
    std::array<uint8_t, 256> red{}, green{}, blue{};
    Weights() {
        for (int v = 0; v < 256; ++v) {
            red[size_t(v)] = static_cast<uint8_t>(std::floor(0.299 * v + 0.5));
            green[size_t(v)] = static_cast<uint8_t>(std::floor(0.587 * v + 0.5));
            blue[size_t(v)] = static_cast<uint8_t>(std::floor(0.114 * v + 0.5));
        }
    }
};

const Weights& Tables() {
    static const Weights weights;
    return weights;
}

}  // namespace

uint8_t Luminance(uint8_t red, uint8_t green, uint8_t blue) {
    const Weights& w = Tables();
    return static_cast<uint8_t>(w.red[red] + w.green[green] + w.blue[blue]);
}

void LuminanceHistogram24(const PixelJob& job, LuminanceCounts& counts) {
    const Weights& w = Tables();
    counts.fill(0);
    for (int r = 0; r < job.height; ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        for (int x = 0; x < job.width; ++x, s += 3) ++counts[size_t(w.red[s[2]] + w.green[s[1]] + w.blue[s[0]])];
    }
}

void LuminanceHistogram8(const PixelJob& job, LuminanceCounts& counts) {
    std::array<uint8_t, 256> ofIndex{};
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = job.sourcePalette[i];
        ofIndex[size_t(i)] = Luminance(e.red, e.green, e.blue);
    }
    counts.fill(0);
    for (int r = 0; r < job.height; ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        for (int x = 0; x < job.width; ++x) ++counts[ofIndex[s[x]]];
    }
}

bool LuminanceHistogram(const Image& image, LuminanceCounts& counts) {
    Image unused;
    const PixelJob job = MakePixelJob(image, unused);
    if (image.BitCount() == 8) LuminanceHistogram8(job, counts);
    else if (image.BitCount() == 24) LuminanceHistogram24(job, counts);
    else return false;
    return true;
}

std::array<int, 256> LuminanceBarTops(const LuminanceCounts& counts) {
    uint64_t scale = 1;
    for (int v = 1; v <= 254; ++v) scale = std::max<uint64_t>(scale, counts[size_t(v)]);
    std::array<int, 256> tops{};
    for (int v = 0; v < 256; ++v) tops[size_t(v)] = 149 - static_cast<int>(uint64_t(counts[size_t(v)]) * 149 / scale);
    return tops;
}

}  // namespace pelio
