// The integer HLS model. Portable.
#include "core/ops/hls.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/ops/blend_table.h"

namespace pelio {

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Every division of the model, looked up by its integer operands.
struct HlsTables {
    std::vector<int16_t> hueQuotient;  // [(Δ + 255) * 256 + c] = trunc(60Δ / c)
    std::vector<uint8_t> saturation;   // [sum * 256 + c]
    std::vector<int16_t> m2;           // [l * 256 + s]
    std::vector<uint8_t> v;            // [h * 256 + d], h 0..359
    std::array<int16_t, 960> wrap{};   // [h + 300] = h mod 360
    HlsTables() : hueQuotient(511 * 256), saturation(511 * 256), m2(256 * 256), v(360 * 256) {
        for (int d = -255; d <= 255; ++d)
            for (int c = 1; c <= 255; ++c) hueQuotient[size_t((d + 255) * 256 + c)] = static_cast<int16_t>(60 * d / c);
        for (int sum = 0; sum <= 510; ++sum)
            for (int c = 0; c <= 255; ++c) {
                int value = 0;
                if (sum > 0 && sum < 510) value = sum <= 255 ? 255 * c / sum : 255 * c / (510 - sum);
                saturation[size_t(sum * 256 + c)] = static_cast<uint8_t>(std::min(value, 255));
            }
        for (int l = 0; l < 256; ++l)
            for (int s = 0; s < 256; ++s)
                m2[size_t(l * 256 + s)] = static_cast<int16_t>(l <= 127 ? l * (255 + s) / 255 : l + s - l * s / 255);
        for (int h = 0; h < 360; ++h)
            for (int d = 0; d < 256; ++d) {
                int value = 0;
                if (h < 60) value = FloorDiv(d * h, 60);
                else if (h < 180) value = d;
                else if (h < 240) value = FloorDiv(d * (240 - h), 60);
                v[size_t(h * 256 + d)] = static_cast<uint8_t>(value);
            }
        for (int h = -300; h < 660; ++h) wrap[size_t(h + 300)] = static_cast<int16_t>(((h % 360) + 360) % 360);
    }
    int Wrap(int h) const { return wrap[size_t(h + 300)]; }
};

const HlsTables& Tables() {
    static const std::unique_ptr<HlsTables> tables = std::make_unique<HlsTables>();
    return *tables;
}

inline Hls Convert(const HlsTables& t, int r, int g, int b) {
    int max, min, delta, offset;
    if (r > g && r > b) max = r, delta = g - b, offset = 0;
    else if (g >= b) max = g, delta = b - r, offset = 120;
    else max = b, delta = r - g, offset = 240;
    min = std::min({r, g, b});
    Hls out;
    out.l = (max + min) >> 1;
    if (max == min) return out;
    const int c = max - min;
    out.s = t.saturation[size_t((max + min) * 256 + c)];
    out.h = t.Wrap(offset + t.hueQuotient[size_t((delta + 255) * 256 + c)]);
    return out;
}

inline void Back(const HlsTables& t, const Hls& x, uint8_t& r, uint8_t& g, uint8_t& b) {
    if (x.s == 0) {
        r = g = b = static_cast<uint8_t>(x.l);
        return;
    }
    const int m2 = t.m2[size_t(x.l * 256 + x.s)];
    const int m1 = 2 * x.l - m2;
    const int d = std::clamp(m2 - m1, 0, 255);
    auto V = [&](int h) { return t.v[size_t(t.Wrap(h) * 256 + d)]; };
    r = static_cast<uint8_t>(std::clamp(m1 + V(x.h + 120), 0, 255));
    g = static_cast<uint8_t>(std::clamp(m1 + V(x.h), 0, 255));
    b = static_cast<uint8_t>(std::clamp(m1 + V(x.h - 120), 0, 255));
}

inline void Shifted(const HlsTables& t, HlsShift s, uint8_t& r, uint8_t& g, uint8_t& b) {
    Hls x = Convert(t, r, g, b);
    x.h = t.Wrap(x.h + s.hue);
    x.l = std::clamp(x.l + s.lightness, 0, 255);
    x.s = std::clamp(x.s + s.saturation, 0, 255);
    Back(t, x, r, g, b);
}

template <class PixelFn>
void ForEachPixel(const PixelJob& job, PixelFn fn) {
    if (job.bitCount == 8) {
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& s = job.sourcePalette[i];
            PaletteEntry& d = job.targetPalette[i];
            d = s;
            fn(s.red, s.green, s.blue, d.red, d.green, d.blue);
        }
        return;
    }
    for (int y = 0; y < job.height && !job.Cancelled(); ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        for (int x = 0; x < job.width; ++x, s += 3, d += 3) fn(s[2], s[1], s[0], d[2], d[1], d[0]);
    }
}

}  // namespace

Hls ToHls(uint8_t red, uint8_t green, uint8_t blue) { return Convert(Tables(), red, green, blue); }

void FromHls(const Hls& hls, uint8_t& red, uint8_t& green, uint8_t& blue) { Back(Tables(), hls, red, green, blue); }

std::vector<uint8_t> RangeWeights(int radius) {
    const int limit = 3 * radius * radius;
    std::vector<uint8_t> w(size_t(limit) + 1);
    w[0] = 255;
    for (int i = 1; i <= limit; ++i) w[size_t(i)] = static_cast<uint8_t>(255 - 255 * i / limit);
    return w;
}

void AdjustHls(const PixelJob& job, HlsShift shift) {
    const HlsTables& t = Tables();
    ForEachPixel(job, [&](uint8_t r, uint8_t g, uint8_t b, uint8_t& dr, uint8_t& dg, uint8_t& db) {
        dr = r, dg = g, db = b;
        Shifted(t, shift, dr, dg, db);
    });
}

void AdjustHlsInRange(const PixelJob& job, HlsShift shift, uint32_t colour, const std::vector<uint8_t>& weights) {
    const HlsTables& t = Tables();
    const BlendTable& blend = Blend();
    const int rc = int(colour & 0xFF), gc = int((colour >> 8) & 0xFF), bc = int((colour >> 16) & 0xFF);
    const int limit = static_cast<int>(weights.size()) - 1;
    ForEachPixel(job, [&](uint8_t r, uint8_t g, uint8_t b, uint8_t& dr, uint8_t& dg, uint8_t& db) {
        const int distance = (b - bc) * (b - bc) + (g - gc) * (g - gc) + (r - rc) * (r - rc);
        dr = r, dg = g, db = b;
        if (distance > limit) return;
        const int w = weights[size_t(distance)];
        uint8_t ar = r, ag = g, ab = b;
        Shifted(t, shift, ar, ag, ab);
        const uint8_t* keep = blend.data() + size_t(255 - w) * 256;
        const uint8_t* take = blend.data() + size_t(w) * 256;
        dr = static_cast<uint8_t>(keep[r] + take[ar]);
        dg = static_cast<uint8_t>(keep[g] + take[ag]);
        db = static_cast<uint8_t>(keep[b] + take[ab]);
    });
}

}  // namespace pelio
