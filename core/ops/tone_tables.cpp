// Tone correction tables and kernels. Portable.
#include "core/ops/tone_tables.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace pelio {

namespace {

ValueTables BuildGamma() {
    ValueTables tables{};
    for (int i = 0; i <= 200; ++i) {
        const int degrees = 5 + (2 * i) / 5;
        const double theta = degrees * 3.1415926535 / 180.0;
        const double e = std::cos(theta) / std::sin(theta);
        std::array<uint8_t, 256>& t = tables[size_t(i)];
        t[0] = 0;
        for (int x = 1; x < 256; ++x) t[size_t(x)] = static_cast<uint8_t>(std::trunc(std::pow(x / 255.0, e) * 255.0 + 0.5));
    }
    return tables;
}

std::array<uint8_t, 766> BuildBrightness() {
    std::array<uint8_t, 766> t{};
    for (int k = -255; k <= 510; ++k) t[size_t(k + 255)] = static_cast<uint8_t>(std::clamp(k, 0, 255));
    return t;
}

// One row of pixels through three tables, four pixels (three 32-bit words) per step.
void MapRow(const uint8_t* __restrict s, uint8_t* __restrict d, int width, const uint8_t* __restrict blue,
            const uint8_t* __restrict green, const uint8_t* __restrict red) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= width; x += 4, s += 12, d += 12) {
            const uint32_t w0 = uint32_t(blue[s[0]]) | uint32_t(green[s[1]]) << 8 | uint32_t(red[s[2]]) << 16 |
                                uint32_t(blue[s[3]]) << 24;
            const uint32_t w1 = uint32_t(green[s[4]]) | uint32_t(red[s[5]]) << 8 | uint32_t(blue[s[6]]) << 16 |
                                uint32_t(green[s[7]]) << 24;
            const uint32_t w2 = uint32_t(red[s[8]]) | uint32_t(blue[s[9]]) << 8 | uint32_t(green[s[10]]) << 16 |
                                uint32_t(red[s[11]]) << 24;
            std::memcpy(d, &w0, 4);
            std::memcpy(d + 4, &w1, 4);
            std::memcpy(d + 8, &w2, 4);
        }
    }
    for (; x < width; ++x, s += 3, d += 3) {
        d[0] = blue[s[0]];
        d[1] = green[s[1]];
        d[2] = red[s[2]];
    }
}

// The three channel tables of one pass: 24-bit pixels or the 256 palette entries.
void MapChannels(const PixelJob& job, const uint8_t* blue, const uint8_t* green, const uint8_t* red) {
    if (job.bitCount == 8) {
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& s = job.sourcePalette[i];
            PaletteEntry& d = job.targetPalette[i];
            if (blue) d.blue = blue[s.blue];
            if (green) d.green = green[s.green];
            if (red) d.red = red[s.red];
        }
        return;
    }
    const int width = job.width, height = job.height;
    const size_t stride = size_t(job.stride);
    const uint8_t* const source = job.source;
    uint8_t* const target = job.target;
    // One channel alone (levels on a single channel) when a table is missing.
    const bool all = blue && green && red;
    const int c = blue ? 0 : green ? 1 : 2;
    const uint8_t* __restrict table = blue ? blue : green ? green : red;
    for (int r = 0; r < height && !job.Cancelled(); ++r) {
        const uint8_t* __restrict s = source + size_t(r) * stride;
        uint8_t* __restrict d = target + size_t(r) * stride;
        if (all) {
            MapRow(s, d, width, blue, green, red);
            continue;
        }
        for (int x = 0; x < width; ++x) d[x * 3 + c] = table[s[x * 3 + c]];
    }
}

const uint8_t* ValueTable(const ValueTables& tables, int value) {
    return tables[size_t(std::clamp(value, -100, 100) + 100)].data();
}

}  // namespace

LevelsTables::LevelsTables() : rows_(255 * kRow, 0) {
    for (int r = 1; r <= 255; ++r) {
        const uint32_t k = 16711680u / static_cast<uint32_t>(r);
        uint8_t* row = rows_.data() + size_t(r - 1) * kRow + 254;  // row[j], j = −254..255
        for (int j = 1; j <= 255; ++j) {
            const uint64_t v = uint64_t(j) * k;
            row[j] = v > 16777215 ? 255 : static_cast<uint8_t>(v >> 16);
        }
    }
}

const ValueTables& GammaTables() {
    static const ValueTables tables = BuildGamma();
    return tables;
}

const std::array<uint8_t, 766>& BrightnessTable() {
    static const std::array<uint8_t, 766> table = BuildBrightness();
    return table;
}

int MeanLuma(const PixelJob& job) {
    if (job.width <= 0 || job.height <= 0) return 0;
    uint64_t totalBlue = 0, totalGreen = 0, totalRed = 0;
    for (int r = 0; r < job.height && !job.Cancelled(); ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        uint64_t blue = 0, green = 0, red = 0;
        if (job.bitCount == 8) {
            for (int x = 0; x < job.width; ++x) {
                const PaletteEntry& e = job.sourcePalette[s[x]];
                blue += 117u * e.blue;
                green += 601u * e.green;
                red += 306u * e.red;
            }
        } else {
            for (int x = 0; x < job.width; ++x, s += 3) {
                blue += 117u * s[0];
                green += 601u * s[1];
                red += 306u * s[2];
            }
        }
        totalBlue += blue >> 10;
        totalGreen += green >> 10;
        totalRed += red >> 10;
    }
    return static_cast<int>((totalRed + totalGreen + totalBlue) / (uint64_t(job.width) * uint64_t(job.height)));
}

ValueTables ContrastTables(int mean) {
    ValueTables tables{};
    for (int c = -100; c <= 100; ++c) {
        const int64_t s = c <= 0 ? int64_t(c) * 512 : int64_t(c) * 2048;
        std::array<uint8_t, 256>& t = tables[size_t(c + 100)];
        for (int x = 0; x < 256; ++x) {
            const int64_t product = s * (x - mean);
            // Flooring shift, also for negative products.
            const int64_t shifted = product >= 0 ? product >> 16 : -((-product + 65535) >> 16);
            t[size_t(x)] = static_cast<uint8_t>(std::clamp<int64_t>(x + shifted, 0, 255));
        }
    }
    return tables;
}

std::array<uint8_t, 256> LevelsMap(const LevelsTables& tables, int low, int high) {
    high = std::clamp(high, 1, 255);
    low = std::clamp(low, 0, high - 1);
    std::array<uint8_t, 256> map{};
    const uint8_t* row = tables.Row(high - low);
    for (int x = 0; x < 256; ++x) map[size_t(x)] = row[x - low];
    return map;
}

void ApplyLevels(const PixelJob& job, const LevelsTables& tables, int low, int high, int channel) {
    const std::array<uint8_t, 256> map = LevelsMap(tables, low, high);
    const uint8_t* m = map.data();
    MapChannels(job, channel == 0 || channel == 3 ? m : nullptr, channel == 1 || channel == 3 ? m : nullptr,
                channel == 2 || channel == 3 ? m : nullptr);
}

void ApplyChannelTables(const PixelJob& job, const uint8_t* red, const uint8_t* green, const uint8_t* blue) {
    MapChannels(job, blue, green, red);
}

void ApplyGamma(const PixelJob& job, int red, int green, int blue) {
    const ValueTables& g = GammaTables();
    MapChannels(job, ValueTable(g, blue), ValueTable(g, green), ValueTable(g, red));
}

void ApplyBrightness(const PixelJob& job, int red, int green, int blue) {
    const uint8_t* b = BrightnessTable().data() + 255;  // b[k] for k = −255..510
    auto at = [b](int value) { return b + std::clamp(value, -255, 255); };
    MapChannels(job, at(blue), at(green), at(red));
}

void ApplyContrast(const PixelJob& job, const ValueTables& tables, int red, int green, int blue) {
    MapChannels(job, ValueTable(tables, blue), ValueTable(tables, green), ValueTable(tables, red));
}

Histograms ComputeHistograms(const PixelJob& job) {
    Histograms h;
    for (int r = 0; r < job.height && !job.Cancelled(); ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        if (job.bitCount == 8) {
            for (int x = 0; x < job.width; ++x) {
                const PaletteEntry& e = job.sourcePalette[s[x]];
                ++h.blue[e.blue], ++h.green[e.green], ++h.red[e.red];
            }
        } else {
            for (int x = 0; x < job.width; ++x, s += 3) ++h.blue[s[0]], ++h.green[s[1]], ++h.red[s[2]];
        }
    }
    for (int i = 0; i < 256; ++i) h.sum[size_t(i)] = h.blue[size_t(i)] + h.green[size_t(i)] + h.red[size_t(i)];
    return h;
}

std::array<int, 256> HistogramBarTops(const Histograms& h, int mode) {
    const std::array<uint32_t, 256>* channels[] = {&h.blue, &h.green, &h.red, &h.sum};
    uint64_t scale = 1;
    if (mode == 3) {
        for (int i = 1; i <= 254; ++i) scale = std::max<uint64_t>(scale, h.sum[size_t(i)]);
    } else {
        for (int c = 0; c < 3; ++c)
            for (int i = 1; i <= 254; ++i) scale = std::max<uint64_t>(scale, (*channels[c])[size_t(i)]);
    }
    const std::array<uint32_t, 256>& counts = *channels[std::clamp(mode, 0, 3)];
    std::array<int, 256> tops{};
    for (int i = 0; i < 256; ++i) tops[size_t(i)] = 99 - static_cast<int>(uint64_t(counts[size_t(i)]) * 99 / scale);
    return tops;
}

void AutoLevels(const std::array<uint32_t, 256>& counts, int width, int height, int& low, int& high) {
    const uint64_t threshold = (uint64_t(height) * uint64_t(width) * 3) >> 8;
    uint64_t running = 0;
    low = 255;
    for (int v = 0; v < 256; ++v) {
        running += counts[size_t(v)];
        if (running > threshold) {
            low = v;
            break;
        }
    }
    running = 0;
    high = 0;
    for (int v = 255; v >= 0; --v) {
        running += counts[size_t(v)];
        if (running > threshold) {
            high = v;
            break;
        }
    }
}

int ClampLevelsLow(int value, int high) { return value < 0 ? 0 : std::min(value, high - 1); }

int ClampLevelsHigh(int value, int low) {
    if (value <= low) return low + 1;
    return value >= 256 ? 255 : value;
}

}  // namespace pelio
