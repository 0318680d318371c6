// Neighbourhood filters. Portable.
#include "core/ops/filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/ops/blend_table.h"

namespace pelio {

namespace {

// One row's sliding sums of 2R + 1 samples of a channel (samples 3 bytes apart), the ends
// replicated; sixteen at a time where SSE2 is and the window lies inside the row.
template <int R>
void RowSums(const uint8_t* s, int w, uint16_t* out) {
    const int line = w * 3;
    auto edge = [&](int j) {
        const int x = j / 3, c = j % 3;
        int sum = 0;
        for (int k = -R; k <= R; ++k) sum += s[std::clamp(x + k, 0, w - 1) * 3 + c];
        out[j] = static_cast<uint16_t>(sum);
    };
    const int inFrom = std::min(3 * R, line), inTo = std::max(line - 3 * R, inFrom);
    for (int j = 0; j < inFrom; ++j) edge(j);
    int j = inFrom;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; j + 16 <= inTo; j += 16) {
        __m128i low = zero, high = zero;
        for (int k = -R; k <= R; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j + 3 * k));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j + 8), high);
    }
#endif
    for (; j < inTo; ++j) {
        int sum = 0;
        for (int k = -R; k <= R; ++k) sum += s[j + 3 * k];
        out[j] = static_cast<uint16_t>(sum);
    }
    for (j = inTo; j < line; ++j) edge(j);
}

// Each row's sums of boxes of (2R + 1)² samples with edge replication, per channel (rows of
// width × 3), handed to `use(y, sums)` in order: replication clamps rows and columns apart, so
// the row sums are kept in a ring of 2R + 1 rows of `scratch` and the column sums added from
// it. Stops at a cancelled job's next row.
template <int R, class Use>
void ForEachBoxRow(const PixelJob& job, ScratchBytes& scratch, Use use) {
    constexpr int kRows = 2 * R + 1;
    const int w = job.width, h = job.height;
    if (w <= 0 || h <= 0) return;
    const size_t line = size_t(w) * 3;
    scratch.resize((kRows + 1) * line * sizeof(uint16_t));
    auto* const ring = reinterpret_cast<uint16_t*>(scratch.data());
    uint16_t* const sums = ring + kRows * line;
    auto slot = [&](int y) { return ring + size_t(y % kRows) * line; };
    int ready = 0;  // rows summed so far
    for (int y = 0; y < h; ++y) {
        if (job.Cancelled()) return;
        for (; ready <= std::min(y + R, h - 1); ++ready) RowSums<R>(job.source + size_t(ready) * job.stride, w, slot(ready));
        const uint16_t* rows[kRows];
        for (int k = -R; k <= R; ++k) rows[k + R] = slot(std::clamp(y + k, 0, h - 1));
        size_t i = 0;
#if defined(__SSE2__)
        for (; i + 8 <= line; i += 8) {
            __m128i sum = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + i));
            for (int k = 1; k < kRows; ++k) sum = _mm_add_epi16(sum, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), sum);
        }
#endif
        for (; i < line; ++i) {
            int sum = 0;
            for (int k = 0; k < kRows; ++k) sum += rows[k][i];
            sums[i] = static_cast<uint16_t>(sum);
        }
        use(y, static_cast<const uint16_t*>(sums));
    }
}

// The box's sums divided and mixed with the source through tables.
template <int R>
void Box(const PixelJob& job, int weight, ScratchBytes& scratch) {
    const FilterTables& t = Filters();
    const uint8_t* divide = R == 1 ? t.divide9.data() : t.divide25.data();
    const BlendTable& blend = Blend();
    const uint8_t* mixBlur = blend.data() + size_t(std::clamp(weight, 0, 255)) * 256;
    const uint8_t* __restrict mixSource = blend.data() + size_t(255 - std::clamp(weight, 0, 255)) * 256;
    // The blur's share of every sum, division included.
    std::array<uint8_t, (2 * R + 1) * (2 * R + 1) * 255 + 1> blurShare;
    for (size_t i = 0; i < blurShare.size(); ++i) blurShare[i] = mixBlur[divide[i]];
    const size_t line = size_t(job.width) * 3;
    ForEachBoxRow<R>(job, scratch, [&](int y, const uint16_t* __restrict sum) {
        const uint8_t* __restrict s = job.source + size_t(y) * job.stride;
        uint8_t* __restrict d = job.target + size_t(y) * job.stride;
        for (size_t j = 0; j < line; ++j) d[j] = static_cast<uint8_t>(blurShare[sum[j]] + mixSource[s[j]]);
    });
}

// The Gaussian's weights by offset −R … R.
std::vector<int> FullWindow(const GaussianWeights& g) {
    const int r = static_cast<int>(g.weight.size()) - 1;
    std::vector<int> w(size_t(2 * r + 1));
    for (int k = -r; k <= r; ++k) w[size_t(k + r)] = g.weight[size_t(std::abs(k))];
    return w;
}

// The weights of a window that lies whole inside its line, with the samples `step` bytes
// apart: the sum pairs the samples at ±k before weighting them, which gives the same sum.
struct Window {
    const int* weight;  // offsets 0..R
    int r, shift;
    ptrdiff_t step;
#if defined(__SSE2__)
    const int32_t* pairs;  // four lanes of (w[2m], w[2m + 1]) per m, w[R + 1] = 0
#endif
};

inline uint8_t WindowSample(const uint8_t* p, const Window& win) {
    int sum = win.weight[0] * p[0];
    for (int k = 1; k <= win.r; ++k) sum += win.weight[k] * (p[-k * win.step] + p[k * win.step]);
    return static_cast<uint8_t>(std::min(sum >> win.shift, 255));
}

#if defined(__SSE2__)
// Sixteen samples at once: the pairs' 16-bit sums interleaved two offsets at a time, so one
// multiply-add weighs both; 32-bit sums.
inline void WindowSixteen(const uint8_t* p, uint8_t* out, const Window& win) {
    const __m128i zero = _mm_setzero_si128();
    __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
    auto term = [&](int k, __m128i& low, __m128i& high) {
        if (k > win.r) {
            low = high = zero;
        } else if (k == 0) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            low = _mm_unpacklo_epi8(v, zero), high = _mm_unpackhi_epi8(v, zero);
        } else {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - k * win.step));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k * win.step));
            low = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
            high = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
        }
    };
    for (int k = 0; k <= win.r; k += 2) {
        __m128i aLow, aHigh, bLow, bHigh;
        term(k, aLow, aHigh);
        term(k + 1, bLow, bHigh);
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(win.pairs + 2 * k));
        acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(aLow, bLow), w));
        acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(aLow, bLow), w));
        acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(aHigh, bHigh), w));
        acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(aHigh, bHigh), w));
    }
    const __m128i shift = _mm_cvtsi32_si128(win.shift);
    const __m128i low = _mm_packs_epi32(_mm_sra_epi32(acc0, shift), _mm_sra_epi32(acc1, shift));
    const __m128i high = _mm_packs_epi32(_mm_sra_epi32(acc2, shift), _mm_sra_epi32(acc3, shift));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
}
#endif

// Samples [from, to) of a line whose windows all lie inside it, sixteen at a time while they
// last when `wide`.
void WindowRun(const uint8_t* in, uint8_t* out, int from, int to, const Window& win, bool wide) {
    int i = from;
#if defined(__SSE2__)
    if (wide)
        for (; i + 16 <= to; i += 16) WindowSixteen(in + i, out + i, win);
#else
    (void)wide;
#endif
    for (; i < to; ++i) out[i] = WindowSample(in + i, win);
}

// Ties the Window to its weights and their vector pairs; no wide path when a weight would not
// fit 16 bits (the weights stay near 2^c / (R + 1), far below that).
struct WindowWeights {
    std::vector<int> weight;
    bool wide = false;
#if defined(__SSE2__)
    std::vector<int32_t> pairs;
#endif
    WindowWeights(const GaussianWeights& g) : weight(g.weight) {
        const int r = static_cast<int>(weight.size()) - 1;
        wide = std::all_of(weight.begin(), weight.end(), [](int w) { return w >= 0 && w <= 32767; });
#if defined(__SSE2__)
        for (int k = 0; k <= r; k += 2) {
            const int second = k + 1 <= r ? weight[size_t(k + 1)] : 0;
            const auto pair = static_cast<int32_t>(static_cast<uint32_t>(second) << 16 | uint32_t(weight[size_t(k)]));
            pairs.insert(pairs.end(), 4, pair);
        }
#endif
    }
    Window For(ptrdiff_t step, int shift) const {
        Window win{weight.data(), static_cast<int>(weight.size()) - 1, shift, step
#if defined(__SSE2__)
                   , pairs.data()
#endif
        };
        return win;
    }
};

// Along each row: every sample's window of 2R + 1 samples of its channel, the sum shifted by
// c where the whole window lies inside the row, divided by the weights inside near its ends.
void GaussianRows(const PixelJob& job, uint8_t* out, size_t outStride, const GaussianWeights& g, const WindowWeights& ww) {
    const int r = static_cast<int>(g.weight.size()) - 1, length = job.width;
    const std::vector<int> w = FullWindow(g);
    const int* const centre = w.data() + r;
    const Window win = ww.For(3, g.shift);
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
        WindowRun(src, dst, 3 * inFrom, 3 * inTo, win, ww.wide);
        for (int pos = inTo; pos < length; ++pos) edge(pos);
    }
}

// Down the columns, a whole row at a time: rows whose window lies inside the picture are
// shifted by c, the others divided by the weights of the rows inside.
void GaussianColumns(const uint8_t* in, size_t inStride, const PixelJob& job, const GaussianWeights& g,
                     const WindowWeights& ww) {
    const int r = static_cast<int>(g.weight.size()) - 1, height = job.height;
    const size_t line = size_t(job.width) * 3;
    const std::vector<int> w = FullWindow(g);
    const Window win = ww.For(static_cast<ptrdiff_t>(inStride), g.shift);
    std::vector<int> sums;
    for (int y = 0; y < height && !job.Cancelled(); ++y) {
        uint8_t* o = job.target + size_t(y) * job.stride;
        if (y - r >= 0 && y + r < height) {
            WindowRun(in + size_t(y) * inStride, o, 0, static_cast<int>(line), win, ww.wide);
            continue;
        }
        const int from = std::max(y - r, 0), to = std::min(y + r, height - 1);
        sums.assign(line, 0);
        int total = 0;
        for (int q = from; q <= to; ++q) {
            const int wk = w[size_t(q - y + r)];
            const uint8_t* p = in + size_t(q) * inStride;
            for (size_t i = 0; i < line; ++i) sums[i] += wk * p[i];
            total += wk;
        }
        for (size_t i = 0; i < line; ++i) o[i] = static_cast<uint8_t>(std::min(sums[i] / total, 255));
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

void Box3x3(const PixelJob& job, int weight, ScratchBytes& scratch) { Box<1>(job, weight, scratch); }
void Box5x5(const PixelJob& job, int weight, ScratchBytes& scratch) { Box<2>(job, weight, scratch); }

void Box3x3(const PixelJob& job, int weight) {
    ScratchBytes scratch;
    Box3x3(job, weight, scratch);
}

void Box5x5(const PixelJob& job, int weight) {
    ScratchBytes scratch;
    Box5x5(job, weight, scratch);
}

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
    const WindowWeights ww(g);
    GaussianRows(job, temporary.data(), tempStride, g, ww);
    GaussianColumns(temporary.data(), tempStride, job, g, ww);
}

std::vector<int8_t> PrepareUnsharp(const PixelJob& job) {
    const uint8_t* divide = Filters().divide25.data();
    const size_t line = size_t(job.width) * 3;
    std::vector<int8_t> difference(line * job.height);
    ScratchBytes scratch;
    ForEachBoxRow<2>(job, scratch, [&](int y, const uint16_t* sum) {
        const uint8_t* s = job.source + size_t(y) * job.stride;
        int8_t* out = difference.data() + size_t(y) * line;
        for (size_t i = 0; i < line; ++i) out[i] = static_cast<int8_t>(std::clamp(int(s[i]) - int(divide[sum[i]]), -128, 127));
    });
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
