// Rotation by an arbitrary angle. Portable.
#include "core/ops/rotate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace pelio {

namespace {

constexpr double kPi = 3.1415926535;

double Radians(int tenths) { return StoredAngle(tenths) / 10.0 * kPi / 180.0; }

struct Bgr {
    uint8_t c[3];
};
Bgr ColourBytes(uint32_t colour) {  // 0x00BBGGRR to bytes in pixel order
    return {{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)}};
}

inline uint8_t* Fill(uint8_t* d, int32_t count, const Bgr& bg) {
    for (int32_t k = 0; k < count; ++k, d += 3) {
        d[0] = bg.c[0];
        d[1] = bg.c[1];
        d[2] = bg.c[2];
    }
    return d;
}

// Columns first … last of a row; empty when first > last.
struct Span {
    int32_t first = 0, last = -1;
};

int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t n, int64_t d) { return -FloorDiv(-n, d); }

// The j in 0 … n − 1 for which lo ≤ a + s·j ≤ hi. Positions are linear along a row, so
// the columns whose samples lie inside a range form one run.
Span Solve(int64_t a, int64_t s, int64_t lo, int64_t hi, int32_t n) {
    int64_t first = 0, last = n - 1;
    if (s == 0) {
        if (a < lo || a > hi) return {};
    } else if (s > 0) {
        first = std::max(first, CeilDiv(lo - a, s));
        last = std::min(last, FloorDiv(hi - a, s));
    } else {
        first = std::max(first, CeilDiv(a - hi, -s));
        last = std::min(last, FloorDiv(a - lo, -s));
    }
    if (first > last) return {};
    return {static_cast<int32_t>(first), static_cast<int32_t>(last)};
}

Span Both(Span a, Span b) { return {std::max(a.first, b.first), std::min(a.last, b.last)}; }

// One bilinear pixel from four samples. (256 − fx)(256 − fy), fx(256 − fy), (256 − fx)fy and
// fx·fy are the products of the nested formula multiplied out, so the sum is the same integer.
inline void Mix(uint8_t* d, const uint8_t* s00, const uint8_t* s10, const uint8_t* s01, const uint8_t* s11,
                int32_t fx, int32_t fy) {
    const int32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
    for (int k = 0; k < 3; ++k)
        d[k] = static_cast<uint8_t>((w00 * s00[k] + w10 * s10[k] + w01 * s01[k] + w11 * s11[k]) >> 16);
}

// A pixel near the picture's edge: each of its rows and columns tested on its own, a sample
// outside taking the background.
inline void MixEdge(uint8_t* d, const PixelJob& job, int32_t x, int32_t y, const uint8_t* bg) {
    const int32_t X = x >> 8, Y = y >> 8;
    const bool c0 = X >= 0 && X < job.width, c1 = X + 1 >= 0 && X + 1 < job.width;
    const bool r0 = Y >= 0 && Y < job.height, r1 = Y + 1 >= 0 && Y + 1 < job.height;
    const uint8_t* row0 = r0 ? job.source + size_t(Y) * job.stride : nullptr;
    const uint8_t* row1 = r1 ? job.source + size_t(Y + 1) * job.stride : nullptr;
    Mix(d, r0 && c0 ? row0 + size_t(X) * 3 : bg, r0 && c1 ? row0 + size_t(X + 1) * 3 : bg,
        r1 && c0 ? row1 + size_t(X) * 3 : bg, r1 && c1 ? row1 + size_t(X + 1) * 3 : bg, x & 255, y & 255);
}

bool Valid24(const PixelJob& job) {
    return job.bitCount == 24 && job.width > 0 && job.height > 0 && job.source && job.target;
}

}  // namespace

RotationTerms RotationTermsFor(int tenths) {
    const double theta = Radians(tenths);
    return {static_cast<int32_t>(256.0 * std::cos(theta)), static_cast<int32_t>(256.0 * std::sin(theta))};
}

RotatedExtent RotatedSize(int32_t width, int32_t height, int tenths) {
    const double theta = Radians(tenths), c = std::cos(theta), s = std::sin(theta);
    return {static_cast<int32_t>(std::fabs(width * c) + std::fabs(height * s)) + 5,
            static_cast<int32_t>(std::fabs(width * s) + std::fabs(height * c)) + 5};
}

bool RotatePreview(const PixelJob& job, int tenths, uint32_t background) {
    if (!Valid24(job)) return false;
    const RotationTerms t = RotationTermsFor(tenths);
    const Bgr bg = ColourBytes(background);
    const int32_t w = job.width, h = job.height, cx = w >> 1, cy = h >> 1;
    for (int32_t i = 0; i < h; ++i) {
        if (job.Cancelled()) return false;
        // The source position (8.8) of column 0; each column adds (cs, sn).
        const int32_t x0 = -t.cs * cx - t.sn * (i - cy) + cx * 256;
        const int32_t y0 = -t.sn * cx + t.cs * (i - cy) + cy * 256;
        const Span in = Both(Solve(x0, t.cs, 0, int64_t(w) * 256 - 1, w), Solve(y0, t.sn, 0, int64_t(h) * 256 - 1, w));
        uint8_t* d = job.target + size_t(i) * job.stride;
        if (in.first > in.last) {
            Fill(d, w, bg);
            continue;
        }
        d = Fill(d, in.first, bg);
        int32_t x = x0 + t.cs * in.first, y = y0 + t.sn * in.first;
        for (int32_t j = in.first; j <= in.last; ++j, x += t.cs, y += t.sn, d += 3) {
            const uint8_t* s = job.source + size_t(y >> 8) * job.stride + size_t(x >> 8) * 3;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
        Fill(d, w - 1 - in.last, bg);
    }
    return true;
}

bool RotateFull(const PixelJob& job, int tenths, uint32_t background, int32_t outWidth, int32_t outHeight) {
    if (!Valid24(job) || outWidth <= 0 || outHeight <= 0) return false;
    const RotationTerms t = RotationTermsFor(tenths);
    const Bgr bg = ColourBytes(background);
    const int32_t w = job.width, h = job.height, cx = outWidth >> 1, cy = outHeight >> 1;
    const int32_t ox = (w & ~1) * 128, oy = (h & ~1) * 128;
    const size_t outStride = RowStride(outWidth, 24);
    const size_t stride = size_t(job.stride);
    for (int32_t i = 0; i < outHeight; ++i) {
        if (job.Cancelled()) return false;
        const int32_t x0 = -t.cs * cx - t.sn * (i - cy) + ox;
        const int32_t y0 = -t.sn * cx + t.cs * (i - cy) + oy;
        // Some sample inside: X in −1 … W − 1 and Y in −1 … H − 1. All four inside: X in
        // 0 … W − 2 and Y in 0 … H − 2. Only the columns between the two runs test samples.
        const Span some = Both(Solve(x0, t.cs, -256, int64_t(w) * 256 - 1, outWidth),
                               Solve(y0, t.sn, -256, int64_t(h) * 256 - 1, outWidth));
        const Span all = Both(Solve(x0, t.cs, 0, int64_t(w - 1) * 256 - 1, outWidth),
                              Solve(y0, t.sn, 0, int64_t(h - 1) * 256 - 1, outWidth));
        uint8_t* d = job.target + size_t(i) * outStride;
        if (some.first > some.last) {
            Fill(d, outWidth, bg);
            continue;
        }
        d = Fill(d, some.first, bg);
        int32_t j = some.first, x = x0 + t.cs * j, y = y0 + t.sn * j;
        const int32_t edgeEnd = all.first <= all.last ? all.first : some.last + 1;
        for (; j < edgeEnd; ++j, x += t.cs, y += t.sn, d += 3) MixEdge(d, job, x, y, bg.c);
        if (all.first <= all.last) {
            for (; j <= all.last; ++j, x += t.cs, y += t.sn, d += 3) {
                const uint8_t* s = job.source + size_t(y >> 8) * stride + size_t(x >> 8) * 3;
                Mix(d, s, s + 3, s + stride, s + stride + 3, x & 255, y & 255);
            }
            for (; j <= some.last; ++j, x += t.cs, y += t.sn, d += 3) MixEdge(d, job, x, y, bg.c);
        }
        Fill(d, outWidth - 1 - some.last, bg);
    }
    return true;
}

int ParseAngleField(std::wstring_view text) {
    text = text.substr(0, 7);
    size_t i = 0;
    const size_t n = text.size();
    auto digit = [&](size_t k) { return k < n && text[k] >= L'0' && text[k] <= L'9'; };
    while (i < n && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    // The longest decimal number at the start, as the C library reads it (no hexadecimal,
    // infinity or NaN): sign, digits with one optional point, an optional exponent.
    std::string number;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') number += '-';
        ++i;
    }
    size_t digits = 0;
    for (; digit(i); ++i, ++digits) number += char(text[i]);
    if (i < n && text[i] == L'.') {
        number += '.';
        for (++i; digit(i); ++i, ++digits) number += char(text[i]);
    }
    if (digits == 0) return 0;
    bool smallExponent = false;
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        size_t k = i + 1;
        const bool minus = k < n && text[k] == L'-';
        if (k < n && (text[k] == L'+' || text[k] == L'-')) ++k;
        if (digit(k)) {
            number += minus ? "e-" : "e";
            for (; digit(k); ++k) number += char(text[k]);
            smallExponent = minus;
        }
    }
    double x = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), x);
    if (parsed.ec == std::errc::result_out_of_range) x = smallExponent ? 0.0 : (number[0] == '-' ? -1e300 : 1e300);
    return static_cast<int>(std::clamp(std::round(10.0 * x), double(-kAngleLimit), double(kAngleLimit)));
}

std::wstring DegreesText(double degrees) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 1);
    if (r.ec != std::errc()) return L"0.0";
    return std::wstring(buffer, r.ptr);
}

std::wstring StoredAngleText(int stored) { return DegreesText(DisplayedAngle(stored) / 10.0); }

std::optional<double> LineToolAngle(LineMode mode, PanePoint start, PanePoint end, int storedAngle) {
    const bool horizontal = mode == LineMode::Horizontal;
    const int64_t b = horizontal ? int64_t(end.x) - start.x : int64_t(start.y) - end.y;
    const int64_t a = horizontal ? int64_t(end.y) - start.y : int64_t(end.x) - start.x;
    if (std::llabs(a) < 9 && std::llabs(b) < 9) return std::nullopt;
    const double phi = std::atan2(double(a), double(b)) * 180.0 / kPi;
    double d = StoredAngle(storedAngle) / 10.0 - phi;
    if (d > 180) d -= 360;
    else if (d < -180) d += 360;
    if (d > 90) d -= 180;
    else if (d < -90) d += 180;
    return d;
}

}  // namespace pelio
