// Area-averaging and linear resampling. Portable.
#include "core/ops/resize.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelio {

namespace {

// How lines of n samples become lines of m: linear interpolation (m > n) from position
// k × trunc(n × 65536 / m), split into its whole part and fraction; or area averaging (m < n),
// whose walk is the same for every line: for each source sample, the remainder r (in 1/32768
// of a sample) at which it closes an output sample, or -1 when it only adds.
struct LineScale {
    int n = 0, m = 0;
    bool linear = false;
    std::vector<int32_t> whole;
    std::vector<uint32_t> fraction;
    int interpolated = 0;  // outputs before the first that repeats the last sample
    int paired = 0;        // outputs whose 8-byte reads stay in the line, an even number
    // Per two outputs: their fractions as signed 16-bit numbers (four lanes each) and the
    // lanes whose fraction is 32768 or more.
    std::vector<std::array<int16_t, 16>> pairTerms;
    std::vector<int32_t> close;
    std::vector<uint8_t> divide;  // D[i] = trunc(i / x), as far as an index can reach

    bool Plan(int from, int to) {
        n = from;
        m = to;
        linear = m > n;
        try {
            if (linear) PlanLinear();
            else PlanArea();
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

private:
    void PlanLinear() {
        const int64_t step = int64_t{n} * 65536 / m;
        whole.resize(size_t(m));
        fraction.resize(size_t(m));
        for (int k = 0; k < m; ++k) {
            whole[size_t(k)] = static_cast<int32_t>((k * step) >> 16);
            fraction[size_t(k)] = static_cast<uint32_t>((k * step) & 65535);
            if (whole[size_t(k)] < n - 1) interpolated = k + 1;
            if (whole[size_t(k)] <= n - 3) paired = k + 1;
        }
        paired &= ~1;
        pairTerms.resize(size_t(paired / 2));
        for (int k = 0; k < paired; ++k) {
            const auto f = static_cast<uint16_t>(fraction[size_t(k)]);
            for (int lane = 0; lane < 4; ++lane) {
                pairTerms[size_t(k / 2)][size_t((k & 1) * 4 + lane)] = static_cast<int16_t>(f);
                pairTerms[size_t(k / 2)][size_t(8 + (k & 1) * 4 + lane)] = f >= 32768 ? -1 : 0;
            }
        }
    }

    void PlanArea() {
        const double x = static_cast<double>(n) / m;
        const int64_t s = static_cast<int64_t>(std::trunc(x * 32768));
        // An index a + v − trunc(v × r / 32768) sums at most x + 2 samples of 255.
        const int64_t reach = std::min<int64_t>(s, 255 * (static_cast<int64_t>(x) + 3) + 1);
        divide.resize(size_t(reach));
        for (int64_t i = 0; i < reach; ++i) divide[size_t(i)] = static_cast<uint8_t>(std::trunc(i / x));
        close.assign(size_t(n), -1);
        int64_t o = 0;
        int outputs = 0;
        for (int k = 0; k + 1 < n; ++k) {
            o += 32768;
            if (o < s || outputs == m - 1) continue;
            close[size_t(k)] = static_cast<int32_t>(o - s);
            o -= s;
            ++outputs;
        }
        o += 32768;
        close[size_t(n - 1)] = static_cast<int32_t>(o < s ? 0 : o - s);
    }
};

// The value between two samples at fraction f of 65536: (v × (65536 − f) + w × f) >> 16,
// written as v + floor((w − v) × f / 65536), which is the same number.
inline uint8_t Between(int32_t v, int32_t w, int32_t f) { return static_cast<uint8_t>(v + (((w - v) * f) >> 16)); }

// A whole row between two rows at fraction f, sixteen samples at a time where SSE2 is: with
// the fraction taken as a signed 16-bit number fs, (d × f) >> 16 = ((d × fs) >> 16) + d when
// f ≥ 32768, and the high half of the signed product is exactly the first term.
void BetweenRows(const uint8_t* v, const uint8_t* w, int32_t f, uint8_t* out, int bytes) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i fs = _mm_set1_epi16(static_cast<int16_t>(static_cast<uint16_t>(f)));
    const __m128i high = _mm_set1_epi16(f >= 32768 ? -1 : 0);
    auto half = [&](__m128i a, __m128i b) {
        const __m128i d = _mm_sub_epi16(b, a);
        return _mm_add_epi16(a, _mm_add_epi16(_mm_mulhi_epi16(d, fs), _mm_and_si128(d, high)));
    };
    for (; i + 16 <= bytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + i));
        const __m128i low = half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
        const __m128i top = half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, top));
    }
#endif
    for (; i < bytes; ++i) out[i] = Between(v[i], w[i], f);
}

// Adds a row of samples to the running sums of its columns, sixteen at a time where SSE2 is.
void AddRow(uint32_t* sums, const uint8_t* in, int bytes) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= bytes; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i low = _mm_unpacklo_epi8(v, zero), high = _mm_unpackhi_epi8(v, zero);
        auto* s = reinterpret_cast<__m128i*>(sums + i);
        _mm_storeu_si128(s, _mm_add_epi32(_mm_loadu_si128(s), _mm_unpacklo_epi16(low, zero)));
        _mm_storeu_si128(s + 1, _mm_add_epi32(_mm_loadu_si128(s + 1), _mm_unpackhi_epi16(low, zero)));
        _mm_storeu_si128(s + 2, _mm_add_epi32(_mm_loadu_si128(s + 2), _mm_unpacklo_epi16(high, zero)));
        _mm_storeu_si128(s + 3, _mm_add_epi32(_mm_loadu_si128(s + 3), _mm_unpackhi_epi16(high, zero)));
    }
#endif
    for (; i < bytes; ++i) sums[i] += in[i];
}

// One output sample of the area walk: the accumulated part, this sample less what it carries on.
inline uint8_t Close(const uint8_t* divide, uint32_t& a, uint32_t v, int32_t r) {
    const uint32_t carry = (v * static_cast<uint32_t>(r)) >> 15;
    const uint8_t out = divide[a + v - carry];
    a = carry;
    return out;
}

// A row of pixels scaled across, the three channels each on their own.
void ScaleRow(const LineScale& s, const uint8_t* in, uint8_t* out) {
    if (s.linear) {
        // Positions only grow: the interpolated outputs come first, then copies of the last pixel.
        const int32_t* whole = s.whole.data();
        const uint32_t* fraction = s.fraction.data();
        int k = 0;
#if defined(__SSE2__)
        // Two outputs at a time: each one's six neighbouring samples from one 8-byte read, the
        // second written over the first's fourth byte.
        const __m128i zero = _mm_setzero_si128();
        for (; k < s.paired; k += 2, out += 6) {
            const __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + whole[k] * 3)), zero);
            const __m128i b =
                _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + whole[k + 1] * 3)), zero);
            const __m128i p = _mm_unpacklo_epi64(a, b);
            const __m128i q = _mm_unpacklo_epi64(_mm_srli_si128(a, 6), _mm_srli_si128(b, 6));
            const auto* terms = reinterpret_cast<const __m128i*>(s.pairTerms[size_t(k / 2)].data());
            const __m128i d = _mm_sub_epi16(q, p);
            const __m128i r = _mm_add_epi16(
                p, _mm_add_epi16(_mm_mulhi_epi16(d, _mm_loadu_si128(terms)), _mm_and_si128(d, _mm_loadu_si128(terms + 1))));
            const __m128i bytes = _mm_packus_epi16(r, r);
            const auto first = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
            const auto second = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
            std::memcpy(out, &first, 4);
            out[3] = static_cast<uint8_t>(second);
            out[4] = static_cast<uint8_t>(second >> 8);
            out[5] = static_cast<uint8_t>(second >> 16);
        }
#endif
        for (; k < s.interpolated; ++k, out += 3) {
            const uint8_t* v = in + size_t(whole[k]) * 3;
            const auto f = static_cast<int32_t>(fraction[k]);
            out[0] = Between(v[0], v[3], f);
            out[1] = Between(v[1], v[4], f);
            out[2] = Between(v[2], v[5], f);
        }
        const uint8_t* last = in + size_t(s.n - 1) * 3;
        for (int k = s.interpolated; k < s.m; ++k, out += 3) out[0] = last[0], out[1] = last[1], out[2] = last[2];
        return;
    }
    const uint8_t* divide = s.divide.data();
    uint32_t a[3] = {0, 0, 0};
    for (int k = 0; k < s.n; ++k, in += 3) {
        const int32_t r = s.close[size_t(k)];
        if (r < 0) {
            for (int c = 0; c < 3; ++c) a[c] += in[c];
            continue;
        }
        for (int c = 0; c < 3; ++c) out[c] = Close(divide, a[c], in[c], r);
        out += 3;
    }
}

// The vertical pass row by row over all columns at once; each output row goes to the row
// `rowOut(y)` returns, then to `done(y)`.
template <class RowOut, class Done>
bool ScaleDown(const LineScale& s, const Image& source, int bytes, RowOut rowOut, Done done) {
    if (s.linear) {
        for (int y = 0; y < s.m; ++y) {
            const int l = s.whole[size_t(y)];
            const uint8_t* v = source.Row(l);
            uint8_t* out = rowOut(y);
            if (l >= s.n - 1) {
                std::memcpy(out, v, size_t(bytes));
            } else {
                BetweenRows(v, source.Row(l + 1), static_cast<int32_t>(s.fraction[size_t(y)]), out, bytes);
            }
            done(y);
        }
        return true;
    }
    std::vector<uint32_t> a;
    try {
        a.assign(size_t(bytes), 0u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const uint8_t* divide = s.divide.data();
    int y = 0;
    for (int k = 0; k < s.n; ++k) {
        const uint8_t* in = source.Row(k);
        const int32_t r = s.close[size_t(k)];
        if (r < 0) {
            AddRow(a.data(), in, bytes);
            continue;
        }
        uint8_t* out = rowOut(y);
        for (int i = 0; i < bytes; ++i) out[i] = Close(divide, a[size_t(i)], in[i], r);
        done(y++);
    }
    return true;
}

}  // namespace

bool ResizePixels(const Image& source, Image& target) {
    const int w = source.Width(), h = source.Height(), W = target.Width(), H = target.Height();
    if (W <= 0 || H <= 0 || W > kMaxImageSide || H > kMaxImageSide) return false;
    if (source.BitCount() != 24 || target.BitCount() != 24 || w <= 0 || h <= 0) return false;
    if ((W == w && H == h) || W > 2 * w || H > 2 * h) return false;
    LineScale across, down;
    if ((W != w && !across.Plan(w, W)) || (H != h && !down.Plan(h, H))) return false;
    if (H == h) {
        for (int y = 0; y < h; ++y) ScaleRow(across, source.Row(y), target.Row(y));
        return true;
    }
    if (W == w) return ScaleDown(down, source, w * 3, [&](int y) { return target.Row(y); }, [](int) {});
    // Each row of the vertical pass is scaled across as soon as it is made: one row of w × H.
    std::vector<uint8_t> row;
    try {
        row.resize(size_t(w) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ScaleDown(down, source, w * 3, [&](int) { return row.data(); },
                     [&](int y) { ScaleRow(across, row.data(), target.Row(y)); });
}

}  // namespace pelio
