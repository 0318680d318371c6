// Neighbourhood filters. Portable.
#include "core/ops/filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/ops/blend_table.h"

namespace pelio {

namespace {

// Sums of a box of (2R + 1)² samples with edge replication, per channel, into `sums` (rows of
// width × 3). Replication clamps rows and columns apart, so the sum separates: sliding sums
// along each row, then sliding sums of those down each column.
template <int R>
void BoxSums(const PixelJob& job, std::vector<uint16_t>& sums) {
    const int w = job.width, h = job.height;
    const size_t line = size_t(w) * 3;
    std::vector<uint16_t> across(line * h);
    sums.assign(line * h, 0);  // whole even when cancelled
    for (int y = 0; y < h; ++y) {
        if (job.Cancelled()) return;
        const uint8_t* s = job.source + size_t(y) * job.stride;
        uint16_t* out = across.data() + size_t(y) * line;
        for (int c = 0; c < 3; ++c) {
            auto at = [&](int x) { return s[size_t(std::clamp(x, 0, w - 1)) * 3 + c]; };
            int sum = 0;
            for (int k = -R; k <= R; ++k) sum += at(k);
            for (int x = 0; x < w; ++x) {
                out[size_t(x) * 3 + c] = static_cast<uint16_t>(sum);
                sum += at(x + R + 1) - at(x - R);
            }
        }
    }
    std::vector<uint16_t> column(line, 0);
    auto row = [&](int y) { return across.data() + size_t(std::clamp(y, 0, h - 1)) * line; };
    for (int k = -R; k <= R; ++k) {
        const uint16_t* r = row(k);
        for (size_t i = 0; i < line; ++i) column[i] += r[i];
    }
    for (int y = 0; y < h; ++y) {
        if (job.Cancelled()) return;
        std::copy(column.begin(), column.end(), sums.begin() + ptrdiff_t(size_t(y) * line));
        const uint16_t* in = row(y + R + 1);
        const uint16_t* outRow = row(y - R);
        for (size_t i = 0; i < line; ++i) column[i] = static_cast<uint16_t>(column[i] + in[i] - outRow[i]);
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
    for (int y = 0; y < job.height && !job.Cancelled(); ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        const uint16_t* sum = sums.data() + size_t(y) * job.width * 3;
        for (int i = 0; i < job.width * 3; ++i) d[i] = static_cast<uint8_t>(mixBlur[divide[sum[i]]] + mixSource[s[i]]);
    }
}

// The Gaussian's weights by offset −R … R.
std::vector<int> FullWindow(const GaussianWeights& g) {
    const int r = static_cast<int>(g.weight.size()) - 1;
    std::vector<int> w(size_t(2 * r + 1));
    for (int k = -r; k <= r; ++k) w[size_t(k + r)] = g.weight[size_t(std::abs(k))];
    return w;
}

// Along each row: every sample's window of 2R + 1 samples of its channel, the sum shifted by
// c where the whole window lies inside the row, divided by the weights inside near its ends.
void GaussianRows(const PixelJob& job, uint8_t* out, size_t outStride, const GaussianWeights& g) {
    const int r = static_cast<int>(g.weight.size()) - 1, length = job.width;
    const std::vector<int> w = FullWindow(g);
    const int* const centre = w.data() + r;
    for (int y = 0; y < job.height && !job.Cancelled(); ++y) {
        const uint8_t* src = job.source + size_t(y) * job.stride;
        uint8_t* dst = out + size_t(y) * outStride;
        auto edge = [&](int pos) {
            const int from = std::max(pos - r, 0), to = std::min(pos + r, length - 1);
            int sum0 = 0, sum1 = 0, sum2 = 0, total = 0;
            for (int q = from; q <= to; ++q) {
                const int wk = centre[q - pos];
                const uint8_t* p = src + size_t(q) * 3;
                sum0 += wk * p[0], sum1 += wk * p[1], sum2 += wk * p[2];
                total += wk;
            }
            uint8_t* o = dst + size_t(pos) * 3;
            o[0] = static_cast<uint8_t>(std::min(sum0 / total, 255));
            o[1] = static_cast<uint8_t>(std::min(sum1 / total, 255));
            o[2] = static_cast<uint8_t>(std::min(sum2 / total, 255));
        };
        const int inFrom = std::min(r, length), inTo = std::max(length - r, inFrom);
        for (int pos = 0; pos < inFrom; ++pos) edge(pos);
        for (int pos = inFrom; pos < inTo; ++pos) {
            const uint8_t* p = src + size_t(pos - r) * 3;
            int sum0 = 0, sum1 = 0, sum2 = 0;
            for (int k = 0; k <= 2 * r; ++k, p += 3) {
                const int wk = w[size_t(k)];
                sum0 += wk * p[0], sum1 += wk * p[1], sum2 += wk * p[2];
            }
            uint8_t* o = dst + size_t(pos) * 3;
            o[0] = static_cast<uint8_t>(std::min(sum0 >> g.shift, 255));
            o[1] = static_cast<uint8_t>(std::min(sum1 >> g.shift, 255));
            o[2] = static_cast<uint8_t>(std::min(sum2 >> g.shift, 255));
        }
        for (int pos = inTo; pos < length; ++pos) edge(pos);
    }
}

// Down the columns, a whole row of sums at a time: rows whose window lies inside the picture
// are shifted by c, the others divided by the weights of the rows inside.
void GaussianColumns(const uint8_t* in, size_t inStride, const PixelJob& job, const GaussianWeights& g) {
    const int r = static_cast<int>(g.weight.size()) - 1, height = job.height;
    const size_t line = size_t(job.width) * 3;
    const std::vector<int> w = FullWindow(g);
    std::vector<int> sums(line);
    for (int y = 0; y < height && !job.Cancelled(); ++y) {
        const int from = std::max(y - r, 0), to = std::min(y + r, height - 1);
        std::fill(sums.begin(), sums.end(), 0);
        int total = 0;
        for (int q = from; q <= to; ++q) {
            const int wk = w[size_t(q - y + r)];
            const uint8_t* p = in + size_t(q) * inStride;
            for (size_t i = 0; i < line; ++i) sums[i] += wk * p[i];
            total += wk;
        }
        uint8_t* o = job.target + size_t(y) * job.stride;
        if (y - r >= 0 && y + r < height) {
            for (size_t i = 0; i < line; ++i) o[i] = static_cast<uint8_t>(std::min(sums[i] >> g.shift, 255));
        } else {
            for (size_t i = 0; i < line; ++i) o[i] = static_cast<uint8_t>(std::min(sums[i] / total, 255));
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
    int64_t sum = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        const int64_t n = int64_t(raw[i]) << c;
        g.weight[i] = static_cast<int>((2 * n + total) / (2 * total));  // n / total rounded
        sum += (i ? 2 : 1) * int64_t(g.weight[i]);
    }
    // Rounding can leave the weights short of 2^c, and a shift by c would then darken a flat
    // picture by a level: the centre takes what is missing. (Weights past 2^c by so little
    // that 255 × the excess stays below 2^c give every level back unchanged.)
    if (sum < (int64_t(1) << c)) g.weight[0] += static_cast<int>((int64_t(1) << c) - sum);
    return g;
}

void GaussianBlur(const PixelJob& job, ScratchBytes& temporary, int radius) {
    const int w = job.width, h = job.height;
    const int r = std::min(radius, (std::min(w, h) - 1) / 2);
    const GaussianWeights g = GaussianWeightsFor(std::max(r, 0));
    const size_t tempStride = size_t(w) * 3;
    temporary.resize(tempStride * h);
    GaussianRows(job, temporary.data(), tempStride, g);
    GaussianColumns(temporary.data(), tempStride, job, g);
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
    for (int y = 0; y < job.height && !job.Cancelled(); ++y) {
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
    for (int y = 0; y < job.height && !job.Cancelled(); ++y) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        const uint8_t* b = blurred.data() + size_t(y) * job.stride;
        uint8_t* d = job.target + size_t(y) * job.stride;
        for (int i = 0; i < job.width * 3; ++i) d[i] = static_cast<uint8_t>(mixBlur[b[i]] + mixSource[s[i]]);
    }
}

}  // namespace pelio
