// PNG row unfiltering: the routines per pixel format and filter, scalar and SSE2, and the
// choice among them row by row. Portable.
#include "core/image/png_unfilter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstring>

namespace pelio {

namespace {

// How a source pixel becomes output: the row routines are instantiated per kind and filter.
enum Kind : int {
    kPacked,      // depths 1, 2, 4: bytes unfiltered, then split into indices
    kIndex8,      // 8-bit grey or palette
    kGrey16,
    kGreyKeyed16, // 16-bit grey with a transparent value: 24-bit output plus a mask
    kGreyA8,
    kGreyA16,
    kRgb8,
    kRgbKeyed8,
    kRgb16,
    kRgbKeyed16,
    kRgba8,
    kRgba16,
    kKindCount,
};

// Where one unfiltered row goes.
struct Target {
    uint8_t* row;    // output row
    uint8_t* alpha;  // alpha-plane row, when there is one
    size_t x0, dx;   // output column of the first pixel, column step
    uint8_t key[6];  // transparent colour as stored in the file (16-bit: big-endian pairs)
    int depth;       // packed depths only
    size_t pixels;   // pixels in the row
};

// The pixel formats: bytes per complete pixel and how one pixel is written out.
struct FBytes {
    static constexpr int kBytes = 1;
    static void Emit(const uint8_t*, const Target&, size_t) {}
};
struct FIndex8 {
    static constexpr int kBytes = 1;
    static void Emit(const uint8_t* p, const Target& t, size_t x) { t.row[x] = p[0]; }
    // A whole dense row.
    static void EmitRow(const uint8_t* p, const Target& t, size_t pixels) { std::memcpy(t.row, p, pixels); }
};
struct FGrey16 {
    static constexpr int kBytes = 2;
    static void Emit(const uint8_t* p, const Target& t, size_t x) { t.row[x] = p[0]; }
};
struct FGreyKeyed16 {
    static constexpr int kBytes = 2;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        uint8_t* o = t.row + 3 * x;
        o[0] = o[1] = o[2] = p[0];
        t.alpha[x] = (p[0] == t.key[0] && p[1] == t.key[1]) ? 0 : 255;
    }
};
struct FGreyA8 {
    static constexpr int kBytes = 2;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        t.row[x] = p[0];
        t.alpha[x] = p[1];
    }
};
struct FGreyA16 {
    static constexpr int kBytes = 4;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        t.row[x] = p[0];
        t.alpha[x] = p[2];
    }
};
struct FRgb8 {
    static constexpr int kBytes = 3;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        uint8_t* o = t.row + 3 * x;
        o[0] = p[2];
        o[1] = p[1];
        o[2] = p[0];
    }
    // The pixel's bytes as a little-endian word.
    static void EmitWord(uint32_t v, const Target& t, size_t x) {
        uint8_t* o = t.row + 3 * x;
        o[0] = uint8_t(v >> 16);
        o[1] = uint8_t(v >> 8);
        o[2] = uint8_t(v);
    }
    // One 4-byte store: the byte after the pixel is left for the next pixel to overwrite.
    static void EmitWordOver(uint32_t v, const Target& t, size_t x) {
        const uint32_t o = __builtin_bswap32(v) >> 8;
        std::memcpy(t.row + 3 * x, &o, 4);
    }
};
struct FRgbKeyed8 {
    static constexpr int kBytes = 3;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        FRgb8::Emit(p, t, x);
        t.alpha[x] = (p[0] == t.key[0] && p[1] == t.key[1] && p[2] == t.key[2]) ? 0 : 255;
    }
};
struct FRgb16 {
    static constexpr int kBytes = 6;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        uint8_t* o = t.row + 3 * x;
        o[0] = p[4];
        o[1] = p[2];
        o[2] = p[0];
    }
};
struct FRgbKeyed16 {
    static constexpr int kBytes = 6;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        FRgb16::Emit(p, t, x);
        t.alpha[x] = std::memcmp(p, t.key, 6) == 0 ? 0 : 255;
    }
};
struct FRgba8 {
    static constexpr int kBytes = 4;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        FRgb8::Emit(p, t, x);
        t.alpha[x] = p[3];
    }
    static void EmitWord(uint32_t v, const Target& t, size_t x) {
        FRgb8::EmitWord(v, t, x);
        t.alpha[x] = uint8_t(v >> 24);
    }
    static void EmitWordOver(uint32_t v, const Target& t, size_t x) {
        FRgb8::EmitWordOver(v, t, x);
        t.alpha[x] = uint8_t(v >> 24);
    }
};
struct FRgba16 {
    static constexpr int kBytes = 8;
    static void Emit(const uint8_t* p, const Target& t, size_t x) {
        FRgb16::Emit(p, t, x);
        t.alpha[x] = p[6];
    }
};

// Unfilters one pixel in place; `up` is the same pixel of the previous row.
template <int Filter, int B, bool First>
inline void UnfilterPixel(uint8_t* p, const uint8_t* up) {
    for (int k = 0; k < B; ++k) {
        int a = First ? 0 : p[k - B];
        int b = up[k];
        int c = First ? 0 : up[k - B];
        if constexpr (Filter == 1) p[k] = uint8_t(p[k] + a);
        else if constexpr (Filter == 2) p[k] = uint8_t(p[k] + b);
        else if constexpr (Filter == 3) p[k] = uint8_t(p[k] + ((a + b) >> 1));
        else if constexpr (Filter == 4) p[k] = uint8_t(p[k] + Paeth(a, b, c));
        (void)a, (void)b, (void)c;
    }
}

// Splits a row of packed indices, most significant bits first.
void Unpack(const uint8_t* src, const Target& t) {
    const int depth = t.depth;
    const int perByte = 8 / depth;
    const unsigned mask = (1u << depth) - 1;
    size_t x = t.x0;
    for (size_t i = 0; i < t.pixels; ++i, x += t.dx) {
        int shift = 8 - depth * (int(i % perByte) + 1);
        t.row[x] = uint8_t((src[i / perByte] >> shift) & mask);
    }
}

#if defined(__SSE2__)
// One pixel of up to 8 bytes, widened to 16-bit lanes. Reads up to 8 - B bytes past it.
template <int B>
inline __m128i LoadWide(const uint8_t* p) {
    __m128i v;
    if constexpr (B <= 4) {
        uint32_t w;
        std::memcpy(&w, p, 4);
        v = _mm_cvtsi32_si128(int(w));
    } else {
        v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }
    return _mm_unpacklo_epi8(v, _mm_setzero_si128());
}

// Stores the pixel and writes it out, from a word when the format takes one.
template <class F>
inline void StorePixel(uint8_t* p, __m128i v, const Target& t, size_t x) {
    constexpr int B = F::kBytes;
    const __m128i packed = _mm_packus_epi16(v, v);
    if constexpr (B <= 4 && requires { F::EmitWord(0u, t, x); }) {
        const uint32_t w = uint32_t(_mm_cvtsi128_si32(packed));
        std::memcpy(p, &w, B);  // little-endian: the low B bytes
        F::EmitWord(w, t, x);
    } else {
        uint8_t bytes[8];
        _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), packed);
        std::memcpy(p, bytes, B);
        F::Emit(p, t, x);
    }
}

inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

// One Paeth step on packed lanes: `x` filtered, `a` left, `b` up, `c` up-left.
inline __m128i PaethStep(__m128i x, __m128i a, __m128i b, __m128i c) {
    __m128i pa = _mm_sub_epi16(b, c);
    __m128i pb = _mm_sub_epi16(a, c);
    __m128i pc = Abs16(_mm_add_epi16(pa, pb));
    pa = Abs16(pa);
    pb = Abs16(pb);
    const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    const __m128i takeA = _mm_cmpeq_epi16(least, pa);
    const __m128i takeB = _mm_cmpeq_epi16(least, pb);
    // The sums are formed before the choice, which keeps the add off the critical path.
    const __m128i xa = _mm_add_epi8(x, a), xb = _mm_add_epi8(x, b), xc = _mm_add_epi8(x, c);
    const __m128i bc = _mm_or_si128(_mm_and_si128(takeB, xb), _mm_andnot_si128(takeB, xc));
    return _mm_or_si128(_mm_and_si128(takeA, xa), _mm_andnot_si128(takeA, bc));  // high bytes stay zero
}

// A row of 3- to 8-byte pixels, a whole pixel per step: lanes hold left, up and up-left.
template <class F, int Filter, bool Dense>
void WideRow(uint8_t* cur, const uint8_t* prev, size_t pixels, const Target& target) {
    constexpr int B = F::kBytes;
    const Target t = target;  // a local copy the stores cannot alias
    __m128i a = _mm_setzero_si128(), c = a;
    const size_t dx = Dense ? 1 : t.dx;
    size_t x = Dense ? 0 : t.x0;
    for (size_t i = 0; i < pixels; ++i, x += dx) {
        uint8_t* p = cur + i * B;
        const __m128i raw = LoadWide<B>(p);
        // Lanes are bytes widened to 16 bits; byte adds keep their high bytes zero.
        if constexpr (Filter == 0) {
            a = raw;
        } else if constexpr (Filter == 1) {
            a = _mm_add_epi8(a, raw);
        } else if constexpr (Filter == 2) {
            a = _mm_add_epi8(LoadWide<B>(prev + i * B), raw);
        } else if constexpr (Filter == 3) {
            const __m128i b = LoadWide<B>(prev + i * B);
            a = _mm_add_epi8(_mm_srli_epi16(_mm_add_epi16(a, b), 1), raw);
        } else {
            const __m128i b = LoadWide<B>(prev + i * B);
            a = PaethStep(raw, a, b, c);
            c = b;
        }
        StorePixel<F>(p, a, t, x);
    }
}

// Two Paeth rows at once for pixels of up to 4 bytes: the low lanes carry pixel i of the
// upper row, the high lanes pixel i - 1 of the lower row, whose up neighbour is the
// upper row's previous result.
template <class F, bool Dense>
void PaethPair(uint8_t* cur0, uint8_t* cur1, const uint8_t* prev, size_t pixels,
               const Target& target0, const Target& target1) {
    constexpr int B = F::kBytes;
    const Target t0 = target0, t1 = target1;
    const size_t dx = Dense ? 1 : t0.dx;
    const size_t x0 = Dense ? 0 : t0.x0;
    // Pixel 0 of the upper row; the lower row's lanes stay zero.
    __m128i b = LoadWide<B>(prev);
    __m128i r = PaethStep(LoadWide<B>(cur0), _mm_setzero_si128(), b, _mm_setzero_si128());
    StorePixel<F>(cur0, r, t0, x0);
    for (size_t i = 1; i < pixels; ++i) {
        const __m128i c = b;
        b = _mm_unpacklo_epi64(LoadWide<B>(prev + i * B), r);
        const __m128i x = _mm_unpacklo_epi64(LoadWide<B>(cur0 + i * B), LoadWide<B>(cur1 + (i - 1) * B));
        r = PaethStep(x, r, b, c);
        StorePixel<F>(cur0 + i * B, r, t0, x0 + i * dx);
        StorePixel<F>(cur1 + (i - 1) * B, _mm_unpackhi_epi64(r, r), t1, x0 + (i - 1) * dx);
    }
    // The lower row's last pixel.
    const __m128i c = b;
    b = _mm_unpacklo_epi64(r, r);
    r = PaethStep(LoadWide<B>(cur1 + (pixels - 1) * B), _mm_unpackhi_epi64(r, r), b,
                  _mm_unpackhi_epi64(c, c));
    StorePixel<F>(cur1 + (pixels - 1) * B, r, t1, x0 + (pixels - 1) * dx);
}

using PairFn = void (*)(uint8_t*, uint8_t*, const uint8_t*, size_t, const Target&, const Target&);

template <class F, bool Dense>
constexpr PairFn PairOf() {
    if constexpr (F::kBytes == 3 || F::kBytes == 4) return PaethPair<F, Dense>;
    else return nullptr;
}

// The Paeth step on bytes. Unless c lies strictly between a and b, the estimate is at least
// as far from c as from a or b and the nearer of those wins; when it does lie between, the
// distance to c is the difference of the other two.
inline __m128i PaethBytes(__m128i x, __m128i a, __m128i b, __m128i c) {
    const __m128i bUp = _mm_subs_epu8(b, c), bDown = _mm_subs_epu8(c, b);
    const __m128i aUp = _mm_subs_epu8(a, c), aDown = _mm_subs_epu8(c, a);
    const __m128i pa = _mm_or_si128(bUp, bDown);  // |b - c|
    const __m128i pb = _mm_or_si128(aUp, aDown);  // |a - c|
    const __m128i between = _mm_or_si128(_mm_min_epu8(bUp, aDown), _mm_min_epu8(bDown, aUp));
    const __m128i outside = _mm_cmpeq_epi8(between, _mm_setzero_si128());
    const __m128i nearer = _mm_min_epu8(pa, pb);
    const __m128i aFirst = _mm_cmpeq_epi8(nearer, pa);
    const __m128i pc = _mm_sub_epi8(_mm_max_epu8(pa, pb), nearer);  // when between
    const __m128i keep = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(nearer, pc), nearer), outside);
    const __m128i first = _mm_xor_si128(b, _mm_and_si128(aFirst, _mm_xor_si128(a, b)));
    return _mm_add_epi8(x, _mm_xor_si128(c, _mm_and_si128(keep, _mm_xor_si128(first, c))));
}

// The average step on bytes: the rounded-up mean less the dropped half.
inline __m128i AverageBytes(__m128i x, __m128i a, __m128i b) {
    const __m128i odd = _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1));
    return _mm_add_epi8(x, _mm_sub_epi8(_mm_avg_epu8(a, b), odd));
}

template <int Filter>
inline __m128i StepBytes(__m128i x, __m128i a, __m128i b, __m128i c) {
    if constexpr (Filter == 3) return AverageBytes(x, a, b);
    else return PaethBytes(x, a, b, c);
}

inline __m128i LoadWord(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return _mm_cvtsi32_si128(int(w));
}

// Writes out one pixel given as a little-endian word.
template <class F, bool Over>
inline void EmitFromWord(uint32_t w, const Target& t, size_t x) {
    if constexpr (Over) {
        F::EmitWordOver(w, t, x);
    } else if constexpr (requires { F::EmitWord(w, t, x); }) {
        F::EmitWord(w, t, x);
    } else {
        uint8_t p[4];
        std::memcpy(p, &w, 4);
        F::Emit(p, t, x);
    }
}

// The lanes carried from one four-row step to the next: the results and the up neighbours.
struct QuadLanes {
    __m128i r, b;
};

// A four-row step where a row may not have started or may be on its last pixel; see RowQuad.
// The lanes of a row that has not started stay zero, as its left and up-left pixels must be.
template <class F, int Filter>
QuadLanes QuadEdge(uint8_t* const rows[4], uint8_t* prev, size_t pixels, const Target targets[4],
                   size_t x0, size_t dx, size_t i, QuadLanes s) {
    constexpr int B = F::kBytes;
    alignas(16) uint32_t w[4] = {};
    for (size_t k = 0; k < 4; ++k)
        if (i >= k && i - k < pixels) std::memcpy(&w[k], rows[k] + (i - k) * B, 4);
    const __m128i up = i < pixels ? LoadWord(prev + i * B) : _mm_setzero_si128();
    const __m128i b = _mm_or_si128(_mm_slli_si128(s.r, 4), up);
    __m128i* const lanes = reinterpret_cast<__m128i*>(w);
    const __m128i r = StepBytes<Filter>(_mm_load_si128(lanes), s.r, b, s.b);
    _mm_store_si128(lanes, r);
    for (size_t k = 0; k < 4; ++k) {
        if (i < k || i - k >= pixels) continue;
        const size_t j = i - k;
        EmitFromWord<F, false>(w[k], targets[k], x0 + j * dx);
        if (k == 3) std::memcpy(prev + j * B, &w[3], B);
    }
    return {r, b};
}

// Four rows of average or Paeth at once for 3- and 4-byte pixels, a byte per lane: the
// lanes 4k..4k+3 carry pixel i - k of row k at step i, whose up neighbour is row k - 1's
// result of the step before. The last row's pixels replace `prev` as they are done, which
// makes `prev` the up row of whatever follows. The steps in the middle write dense pixels
// 4 bytes at a time; the last pixel of a row is written by QuadEdge.
template <class F, int Filter, bool Dense>
void RowQuad(uint8_t* const rows[4], uint8_t* prev, size_t pixels, const Target targets[4]) {
    constexpr int B = F::kBytes;
    constexpr bool kOver = Dense && requires { F::EmitWordOver(0u, targets[0], 0); };
    const Target t0 = targets[0], t1 = targets[1], t2 = targets[2], t3 = targets[3];
    const size_t dx = Dense ? 1 : t0.dx;
    const size_t x0 = Dense ? 0 : t0.x0;
    QuadLanes s{_mm_setzero_si128(), _mm_setzero_si128()};
    for (size_t i = 0; i < 3; ++i)
        s = QuadEdge<F, Filter>(rows, prev, pixels, targets, x0, dx, i, s);
    const size_t body = pixels > 4 ? pixels - 1 : 3;  // steps 3 .. body - 1 have every row inside
    const uint8_t* p0 = rows[0] + 3 * B;
    const uint8_t* p1 = rows[1] + 2 * B;
    const uint8_t* p2 = rows[2] + B;
    const uint8_t* p3 = rows[3];
    const uint8_t* up = prev + 3 * B;
    uint8_t* done = prev;  // the fourth row's pixel of the step, in `prev`
    __m128i r = s.r, c = s.b;
    size_t x = x0 + 3 * dx;
    for (size_t i = 3; i < body; ++i, p0 += B, p1 += B, p2 += B, p3 += B, up += B, done += B, x += dx) {
        const __m128i x01 = _mm_unpacklo_epi32(LoadWord(p0), LoadWord(p1));
        const __m128i x23 = _mm_unpacklo_epi32(LoadWord(p2), LoadWord(p3));
        const __m128i b = _mm_or_si128(_mm_slli_si128(r, 4), LoadWord(up));
        r = StepBytes<Filter>(_mm_unpacklo_epi64(x01, x23), r, b, c);
        c = b;
        alignas(16) uint32_t w[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(w), r);
        EmitFromWord<F, kOver>(w[0], t0, x);
        EmitFromWord<F, kOver>(w[1], t1, x - dx);
        EmitFromWord<F, kOver>(w[2], t2, x - 2 * dx);
        EmitFromWord<F, kOver>(w[3], t3, x - 3 * dx);
        std::memcpy(done, &w[3], 4);  // the byte after it has been read
    }
    s = {r, c};
    for (size_t i = body; i < pixels + 3; ++i)
        s = QuadEdge<F, Filter>(rows, prev, pixels, targets, x0, dx, i, s);
}

using QuadFn = void (*)(uint8_t* const*, uint8_t*, size_t, const Target*);

// Per kind: the four-row average and Paeth routines, where there are ones.
template <class F, bool Dense>
constexpr std::array<QuadFn, 2> QuadsOf() {
    if constexpr (F::kBytes == 3 || F::kBytes == 4) return {RowQuad<F, 3, Dense>, RowQuad<F, 4, Dense>};
    else return {nullptr, nullptr};
}
#endif

// Unfilters a row (filter type byte removed) and writes it out, in one pass. Dense rows
// start at column 0 with step 1.
template <class F, int Filter, bool Dense>
void RowRoutine(uint8_t* cur, const uint8_t* prev, size_t pixels, const Target& target) {
    constexpr int B = F::kBytes;
#if defined(__SSE2__)
    if constexpr (B >= 3) {
        WideRow<F, Filter, Dense>(cur, prev, pixels, target);
        return;
    }
#endif
    const Target t = target;  // a local copy the stores cannot alias
    if (pixels == 0) return;
    if constexpr (Dense && requires { F::EmitRow(cur, t, pixels); }) {
        // Unfilter the row, then copy it out whole.
        if constexpr (Filter != 0) {
            UnfilterPixel<Filter, B, true>(cur, prev);
            for (size_t i = 1; i < pixels; ++i) UnfilterPixel<Filter, B, false>(cur + i * B, prev + i * B);
        }
        F::EmitRow(cur, t, pixels);
        return;
    }
    const size_t dx = Dense ? 1 : t.dx;
    size_t x = Dense ? 0 : t.x0;
    UnfilterPixel<Filter, B, true>(cur, prev);
    F::Emit(cur, t, x);
    x += dx;
    for (size_t i = 1; i < pixels; ++i, x += dx) {
        UnfilterPixel<Filter, B, false>(cur + i * B, prev + i * B);
        F::Emit(cur + i * B, t, x);
    }
}

using RowFn = void (*)(uint8_t*, const uint8_t*, size_t, const Target&);
using FilterFns = std::array<RowFn, 5>;

template <class F, bool Dense>
constexpr FilterFns Filters() {
    return {RowRoutine<F, 0, Dense>, RowRoutine<F, 1, Dense>, RowRoutine<F, 2, Dense>,
            RowRoutine<F, 3, Dense>, RowRoutine<F, 4, Dense>};
}

// A table with an entry per kind, in Kind order: `entry` made for each pixel format.
template <class Entry>
constexpr auto PerKind(Entry entry) {
    const auto table = std::array{
        entry.template operator()<FBytes>(),      entry.template operator()<FIndex8>(),
        entry.template operator()<FGrey16>(),     entry.template operator()<FGreyKeyed16>(),
        entry.template operator()<FGreyA8>(),     entry.template operator()<FGreyA16>(),
        entry.template operator()<FRgb8>(),       entry.template operator()<FRgbKeyed8>(),
        entry.template operator()<FRgb16>(),      entry.template operator()<FRgbKeyed16>(),
        entry.template operator()<FRgba8>(),      entry.template operator()<FRgba16>(),
    };
    static_assert(std::tuple_size_v<decltype(table)> == kKindCount);
    return table;
}

// Per kind: the routines for spread-out (interlaced) rows, then for dense rows.
constexpr auto kRoutines =
    PerKind([]<class F>() { return std::array{Filters<F, false>(), Filters<F, true>()}; });

#if defined(__SSE2__)
// Two-row Paeth routines, where there is one.
constexpr auto kPairs =
    PerKind([]<class F>() { return std::array{PairOf<F, false>(), PairOf<F, true>()}; });

// Four-row routines for average (0) and Paeth (1) rows, where there are ones.
constexpr auto kQuads =
    PerKind([]<class F>() { return std::array{QuadsOf<F, false>(), QuadsOf<F, true>()}; });
#endif

Kind KindOf(int depth, int colourType, bool keyed) {
    if (depth < 8) return kPacked;
    const bool wide = depth == 16;
    switch (colourType) {
    case 0: return wide ? (keyed ? kGreyKeyed16 : kGrey16) : kIndex8;
    case 2:
        if (keyed) return wide ? kRgbKeyed16 : kRgbKeyed8;
        return wide ? kRgb16 : kRgb8;
    case 3: return kIndex8;
    case 4: return wide ? kGreyA16 : kGreyA8;
    default: return wide ? kRgba16 : kRgba8;
    }
}

}  // namespace

PngRowUnfilter::PngRowUnfilter(int depth, int colourType, bool keyed, const uint8_t key[6],
                               const PngRowOutput& output)
    : kind_(KindOf(depth, colourType, keyed)), depth_(depth), out_(output) {
    std::memcpy(key_, key, 6);
}

void PngRowUnfilter::StartPass(const Adam7Pass& pass, uint32_t cols, size_t rowBytes) {
    pass_ = pass;
    cols_ = cols;
    rowBytes_ = rowBytes;
}

void PngRowUnfilter::Rows(uint8_t* block, size_t count, uint32_t first) const {
    const Kind kind = Kind(kind_);
    const Adam7Pass& p = pass_;
    const size_t rowBytes = rowBytes_;
    Target t{};
    t.depth = depth_;
    std::memcpy(t.key, key_, 6);
    t.x0 = p.x0;
    t.dx = p.dx;
    t.pixels = cols_;
    const bool dense = p.dx == 1 && p.x0 == 0;
    const RowFn* routines = kRoutines[kind][dense].data();
#if defined(__SSE2__)
    const PairFn pair = kPairs[kind][dense];
    const std::array<QuadFn, 2>& quads = kQuads[kind][dense];
#endif
    // Points the target at the output rows of row j of the pass.
    auto place = [&](Target& target, size_t j) {
        const size_t y = out_.height - 1 - (p.y0 + j * p.dy);
        target.row = out_.pixels + y * out_.stride;
        target.alpha = out_.alpha ? out_.alpha + y * out_.width : nullptr;
    };
    const size_t units = kind == kPacked ? rowBytes - 1 : cols_;
    uint8_t* prev = block;
    uint32_t j = first;
    for (size_t r = 0; r < count; ++r, ++j) {
        uint8_t* cur = block + (r + 1) * rowBytes;
        place(t, j);
        const int filter = cur[0] > 4 ? 0 : cur[0];
#if defined(__SSE2__)
        // Four rows of the same filter, when it is average or Paeth.
        if (filter >= 3 && quads[filter - 3] && r + 3 < count && cur[rowBytes] == filter &&
            cur[2 * rowBytes] == filter && cur[3 * rowBytes] == filter) {
            Target targets[4] = {t, t, t, t};
            uint8_t* const rows[4] = {cur + 1, cur + rowBytes + 1, cur + 2 * rowBytes + 1,
                                      cur + 3 * rowBytes + 1};
            for (size_t k = 1; k < 4; ++k) place(targets[k], j + k);
            quads[filter - 3](rows, prev + 1, units, targets);
            r += 3, j += 3;  // `prev` now holds the fourth row
            continue;
        }
        if (pair && filter == 4 && r + 1 < count && cur[rowBytes] == 4) {
            Target lower = t;
            place(lower, j + 1);
            pair(cur + 1, cur + rowBytes + 1, prev + 1, units, t, lower);
            prev = cur + rowBytes;
            ++r, ++j;
            continue;
        }
#endif
        routines[filter](cur + 1, prev + 1, units, t);
        if (kind == kPacked) Unpack(cur + 1, t);
        prev = cur;
    }
    if (prev != block) std::memcpy(block, prev, rowBytes);
}

}  // namespace pelio
