// Neighbourhood filters. Portable.
#include "core/ops/filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/ops/blend_table.h"

namespace pelio {

namespace {

// Sums of a box of (2r + 1)² samples with edge replication, one channel at a time, into
// `sums` (rows of width × 3).
template <int R>
void BoxSums(const PixelJob& job, std::vector<uint16_t>& sums) {
    const int w = job.width, h = job.height;
    std::vector<uint16_t> rows(size_t(w) * 3);
    sums.assign(size_t(w) * h * 3, 0);
    // Column offsets replicated at the edges.
    std::vector<int> column(size_t(w) + 2 * R);
    for (int x = -R; x < w + R; ++x) column[size_t(x + R)] = std::clamp(x, 0, w - 1) * 3;
    for (int y = 0; y < h; ++y) {
        std::fill(rows.begin(), rows.end(), 0);
        for (int dy = -R; dy <= R; ++dy) {
            const uint8_t* s = job.source + size_t(std::clamp(y + dy, 0, h - 1)) * job.stride;
            for (int x = 0; x < w; ++x) {
                uint16_t* acc = rows.data() + size_t(x) * 3;
                for (int dx = 0; dx <= 2 * R; ++dx) {
                    const uint8_t* p = s + column[size_t(x + dx)];
                    acc[0] += p[0], acc[1] += p[1], acc[2] += p[2];
                }
            }
        }
        std::copy(rows.begin(), rows.end(), sums.begin() + ptrdiff_t(size_t(y) * w * 3));
    }
}

template <int R>
void Box(const PixelJob& job, int weight) {
    std::vector<uint16_t> sums;
    BoxSums<R>(job, sums);
    const FilterTables& t = Filters();
    const uint8_t* divide = R == 1 ? t.divide9.data() : t.divide25.data();
    const BlendTable& blend = Blend();
    const uint8_t* mixBlur = blend.data() + size_t(std::clamp(weight, 0, 255)) * 256;
    const uint8_t* mixSource = blend.data() + size_t(255 - std::clamp(weight, 0, 255)) * 256;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        const uint16_t* sum = sums.data() + size_t(y) * job.width * 3;
        for (int i = 0; i < job.width * 3; ++i) d[i] = static_cast<uint8_t>(mixBlur[divide[sum[i]]] + mixSource[s[i]]);
    }
}

// One Gaussian pass along rows (`along` = 1) or columns of a picture of `count` samples per
// line, from `in` to `out`.
void GaussianPass(const uint8_t* in, size_t inStride, uint8_t* out, size_t outStride, int lines, int length,
                  bool horizontal, const GaussianWeights& g) {
    const int r = static_cast<int>(g.weight.size()) - 1;
    for (int line = 0; line < lines; ++line) {
        for (int pos = 0; pos < length; ++pos) {
            const bool inside = pos - r >= 0 && pos + r < length;
            for (int c = 0; c < 3; ++c) {
                auto sample = [&](int p) -> int {
                    return horizontal ? in[size_t(line) * inStride + size_t(p) * 3 + c]
                                      : in[size_t(p) * inStride + size_t(line) * 3 + c];
                };
                int64_t sum = 0, total = 0;
                for (int k = -r; k <= r; ++k) {
                    const int p = pos + k;
                    if (p < 0 || p >= length) continue;
                    const int wk = g.weight[size_t(std::abs(k))];
                    sum += int64_t(wk) * sample(p);
                    total += wk;
                }
                const int value = inside ? static_cast<int>(sum >> g.shift) : static_cast<int>(total ? sum / total : 0);
                uint8_t* o = horizontal ? out + size_t(line) * outStride + size_t(pos) * 3 + c
                                        : out + size_t(pos) * outStride + size_t(line) * 3 + c;
                *o = static_cast<uint8_t>(std::clamp(value, 0, 255));
            }
        }
    }
}

}  // namespace

FilterTables::FilterTables() {
    for (int i = 1; i < 2296; ++i) divide9[size_t(i)] = static_cast<uint8_t>((7281 * i + 32768) >> 16);
    for (int i = 1; i < 6376; ++i) divide25[size_t(i)] = static_cast<uint8_t>((2621 * i + 32768) >> 16);
    for (int level = 0; level <= 100; ++level)
        for (int d = -128; d <= 127; ++d) {
            const int product = level * d;
            gain[size_t(level)][size_t(d + 128)] = static_cast<int16_t>(product >= 0 ? product >> 3 : -((-product + 7) >> 3));
        }
    for (int k = -1600; k <= 1842; ++k) clamp[size_t(k + 1600)] = static_cast<uint8_t>(std::clamp(k, 0, 255));
}

const FilterTables& Filters() {
    static const FilterTables tables;
    return tables;
}

void Box3x3(const PixelJob& job, int weight) { Box<1>(job, weight); }
void Box5x5(const PixelJob& job, int weight) { Box<2>(job, weight); }

GaussianWeights GaussianWeightsFor(int radius) {
    GaussianWeights g;
    const int r = std::max(radius, 0);
    std::vector<int> raw(size_t(r) + 1);
    raw[0] = 255;
    const int k = static_cast<int>(std::trunc(r * r / 2.0 + 0.5));
    for (int i = 1; i <= r; ++i) raw[size_t(i)] = static_cast<int>(std::trunc(255.0 * std::exp(-double(i) * i / k) + 0.5));
    int64_t total = raw[0];
    for (int i = 1; i <= r; ++i) total += 2 * int64_t(raw[size_t(i)]);
    int c = 0;
    while ((int64_t(1) << c) <= total) ++c;  // the bit length of the total
    g.shift = c;
    g.weight.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const int64_t n = int64_t(raw[i]) << c;
        g.weight[i] = static_cast<int>((2 * n + total) / (2 * total));  // n / total rounded
    }
    return g;
}

void GaussianBlur(const PixelJob& job, std::vector<uint8_t>& temporary, int radius) {
    const int w = job.width, h = job.height;
    const int r = std::min(radius, (std::min(w, h) - 1) / 2);
    const GaussianWeights g = GaussianWeightsFor(std::max(r, 0));
    const size_t tempStride = size_t(w) * 3;
    temporary.resize(tempStride * h);
    GaussianPass(job.source, job.stride, temporary.data(), tempStride, h, w, true, g);
    GaussianPass(temporary.data(), tempStride, job.target, job.stride, w, h, false, g);
}

std::vector<int8_t> PrepareUnsharp(const PixelJob& job) {
    std::vector<uint16_t> sums;
    BoxSums<2>(job, sums);
    const FilterTables& t = Filters();
    std::vector<int8_t> difference(size_t(job.width) * job.height * 3);
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        const size_t row = size_t(y) * job.width * 3;
        for (int i = 0; i < job.width * 3; ++i)
            difference[row + i] = static_cast<int8_t>(std::clamp(int(s[i]) - int(t.divide25[sums[row + i]]), -128, 127));
    }
    return difference;
}

void ApplyUnsharp(const PixelJob& job, const std::vector<int8_t>& difference, int strength, int threshold) {
    const FilterTables& t = Filters();
    const int16_t* gain = t.gain[size_t(std::clamp(strength, 0, 100))].data() + 128;
    const uint8_t* clamp = t.clamp.data() + 1600;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        const int8_t* diff = difference.data() + size_t(y) * job.width * 3;
        for (int x = 0; x < job.width; ++x, s += 3, d += 3, diff += 3) {
            if (std::abs(diff[0]) + std::abs(diff[1]) + std::abs(diff[2]) <= threshold) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
                continue;
            }
            d[0] = clamp[s[0] + gain[diff[0]]];
            d[1] = clamp[s[1] + gain[diff[1]]];
            d[2] = clamp[s[2] + gain[diff[2]]];
        }
    }
}

void MixSoftFocus(const PixelJob& job, int level, const std::vector<uint8_t>& blurred) {
    const BlendTable& blend = Blend();
    const int a = std::clamp(level, 0, 255);
    const uint8_t* mixBlur = blend.data() + size_t(a) * 256;
    const uint8_t* mixSource = blend.data() + size_t(255 - a) * 256;
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        const uint8_t* b = blurred.data() + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        for (int i = 0; i < job.width * 3; ++i) d[i] = static_cast<uint8_t>(mixBlur[b[i]] + mixSource[s[i]]);
    }
}

}  // namespace pelio
