// Area-averaging and linear resampling. Portable.
#include "core/ops/resize.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

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
        for (int k = 0; k < s.m; ++k, out += 3) {
            const int l = s.whole[size_t(k)];
            const uint8_t* v = in + size_t(l) * 3;
            if (l >= s.n - 1) {
                out[0] = v[0], out[1] = v[1], out[2] = v[2];
                continue;
            }
            const auto f = static_cast<int32_t>(s.fraction[size_t(k)]);
            for (int c = 0; c < 3; ++c) out[c] = Between(v[c], v[c + 3], f);
        }
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
                const uint8_t* w = source.Row(l + 1);
                const auto f = static_cast<int32_t>(s.fraction[size_t(y)]);
                for (int i = 0; i < bytes; ++i) out[i] = Between(v[i], w[i], f);
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
            for (int i = 0; i < bytes; ++i) a[size_t(i)] += in[i];
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
