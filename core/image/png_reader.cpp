// PNG reading: chunk walk, inflate, unfilter, gamma and compositing. Portable.
#include "core/image/png_reader.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"

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

// Per kind: the routines for spread-out (interlaced) rows, then for dense rows.
template <class F>
constexpr std::array<FilterFns, 2> Routines() {
    return {Filters<F, false>(), Filters<F, true>()};
}

constexpr std::array<std::array<FilterFns, 2>, kKindCount> kRoutines = {
    Routines<FBytes>(),   Routines<FIndex8>(),  Routines<FGrey16>(), Routines<FGreyKeyed16>(),
    Routines<FGreyA8>(),  Routines<FGreyA16>(), Routines<FRgb8>(),   Routines<FRgbKeyed8>(),
    Routines<FRgb16>(),   Routines<FRgbKeyed16>(), Routines<FRgba8>(), Routines<FRgba16>(),
};

#if defined(__SSE2__)
template <class F>
constexpr std::array<PairFn, 2> Pairs() {
    return {PairOf<F, false>(), PairOf<F, true>()};
}

// Two-row Paeth routines, where there is one.
constexpr std::array<std::array<PairFn, 2>, kKindCount> kPairs = {
    Pairs<FBytes>(),   Pairs<FIndex8>(),  Pairs<FGrey16>(), Pairs<FGreyKeyed16>(),
    Pairs<FGreyA8>(),  Pairs<FGreyA16>(), Pairs<FRgb8>(),   Pairs<FRgbKeyed8>(),
    Pairs<FRgb16>(),   Pairs<FRgbKeyed16>(), Pairs<FRgba8>(), Pairs<FRgba16>(),
};

template <class F>
constexpr std::array<std::array<QuadFn, 2>, 2> Quads() {
    return {QuadsOf<F, false>(), QuadsOf<F, true>()};
}

// Four-row routines for average (0) and Paeth (1) rows, where there are ones.
constexpr std::array<std::array<std::array<QuadFn, 2>, 2>, kKindCount> kQuads = {
    Quads<FBytes>(),   Quads<FIndex8>(),  Quads<FGrey16>(), Quads<FGreyKeyed16>(),
    Quads<FGreyA8>(),  Quads<FGreyA16>(), Quads<FRgb8>(),   Quads<FRgbKeyed8>(),
    Quads<FRgb16>(),   Quads<FRgbKeyed16>(), Quads<FRgba8>(), Quads<FRgba16>(),
};
#endif

// Output bytes inflated per block, and the slack after it for whole-pixel reads.
constexpr size_t kBlockBytes = size_t{1024} << 10;
constexpr size_t kRowSlack = 16;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<uint8_t, FreeDeleter>;

Buffer Allocate(size_t size, bool zero) {
    if (size == 0) size = 1;
    return Buffer(static_cast<uint8_t*>(zero ? std::calloc(size, 1) : std::malloc(size)));
}

// Everything the chunk walk learns.
struct PngState {
    // IHDR
    uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    // derived
    int channels = 0;
    bool grey = false, alphaChannel = false;
    // chunk flags
    bool plteSeen = false, idatSeen = false, gamaSeen = false, bkgdSeen = false, trnsSeen = false;
    uint32_t gama = 0;
    uint8_t bkgd[3] = {};     // red, green, blue
    uint8_t trnsRaw[6] = {};  // the tRNS samples as stored
    uint8_t transparentGrey = 0;
    uint8_t paletteAlpha[256];
    int paletteEntries = 0;
    int texts = 0, comments = 0;
    uint32_t xRes = 0, yRes = 0;
    Palette palette{};
    // output
    int outBits = 8;
    size_t outStride = 0;
    Buffer pixels;  // 8-bit output before it moves into the image
    Buffer alpha;   // alpha plane, bottom-up like the output
    uint8_t* out = nullptr;
    bool keyed = false;  // tRNS colour turned into an alpha mask
};

int BitsPerPixel(const PngState& s) { return s.depth * s.channels; }

// Reads and checks IHDR; the error code or 0.
int ReadHeader(std::span<const uint8_t> file, PngState& s) {
    if (file.size() < kPngHeaderEnd || std::memcmp(file.data(), kPngFileSignature, 8) != 0)
        return kCodecBadFile;
    const uint8_t* c = file.data() + 8;
    if (GetU32BE(c) != 13) return kPngIhdrLength;
    if (GetU32BE(c + 4) != ChunkTag("IHDR")) return kPngIhdrType;
    if (!PngCrcMatches(c, 13)) return kPngCrc;
    const uint8_t* d = c + 8;
    s.width = GetU32BE(d);
    s.height = GetU32BE(d + 4);
    if (s.width < 1 || s.width > uint32_t(kMaxImageSide) || s.height < 1 ||
        s.height > uint32_t(kMaxImageSide))
        return kCodecUnsupported;
    s.depth = d[8];
    s.colourType = d[9];
    if (d[10] != 0) return kPngIhdrCompression;
    if (d[11] != 0) return kPngIhdrFilter;
    if (d[12] > 1) return kPngIhdrInterlace;
    s.interlace = d[12];
    switch (s.colourType) {
    case 0: s.channels = 1; break;
    case 2: s.channels = 3; break;
    case 3: s.channels = 1; break;
    case 4: s.channels = 2; break;
    case 6: s.channels = 4; break;
    default: return kPngIhdrColourType;
    }
    switch (s.depth) {
    case 1: case 2: case 4:
        if (s.colourType != 0 && s.colourType != 3) return kPngIhdrColourType;
        break;
    case 8: break;
    case 16:
        if (s.colourType == 3) return kPngIhdrColourType;
        break;
    default: return kPngIhdrBitDepth;
    }
    s.grey = (s.colourType & 2) == 0;
    s.alphaChannel = (s.colourType & 4) != 0;
    s.outBits = s.grey || s.colourType == 3 ? 8 : 24;
    // 16-bit grey may turn into 24-bit output: check the larger size.
    if (!CheckedMul(RowStride(int32_t(s.width), 24), s.height)) return kCodecUnsupported;
    std::fill(std::begin(s.paletteAlpha), std::end(s.paletteAlpha), uint8_t{255});
    if (s.grey) {
        const int step = s.depth == 1 ? 255 : s.depth == 2 ? 85 : s.depth == 4 ? 17 : 1;
        for (int i = 0; i * step <= 255; ++i) {
            uint8_t v = uint8_t(i * step);
            s.palette[i] = PaletteEntry{v, v, v, 0};
        }
    }
    return kCodecOk;
}

// The data of the chunk at `at` (its length field), which the caller has checked.
struct Chunk {
    size_t at;
    uint32_t length;
    uint32_t type;
    const uint8_t* data;
};

// Feeds the data of a run of IDAT chunks to zlib, chunk by chunk.
class IdatFeed {
public:
    IdatFeed(std::span<const uint8_t> file, size_t first, int count)
        : file_(file), next_(first), left_(count) {}
    // Gives zlib more input when it has none; false when the run is used up.
    bool Refill(z_stream& zs) {
        while (zs.avail_in == 0) {
            // The input given last has been used up: keep its last bytes.
            for (const uint8_t* q = part_ - std::min<size_t>(part_ - given_, 4); q < part_; ++q)
                last_ = last_ << 8 | *q;
            given_ = part_;
            if (partLeft_ == 0) {
                if (left_ == 0) return false;
                uint32_t length = GetU32BE(file_.data() + next_);
                part_ = file_.data() + next_ + 8;
                partLeft_ = length;
                next_ += size_t{length} + 12;
                --left_;
            }
            uInt n = uInt(std::min<size_t>(partLeft_, 0x40000000));
            zs.next_in = const_cast<Bytef*>(part_);
            zs.avail_in = n;
            given_ = part_;
            part_ += n;
            partLeft_ -= n;
        }
        return true;
    }
    // The four bytes zlib read last, as a big-endian number: the stream's check value once
    // it has ended.
    uint32_t LastFour(const z_stream& zs) const {
        uint32_t v = last_;
        const uint8_t* end = zs.next_in;
        for (const uint8_t* q = end - std::min<size_t>(end - given_, 4); q < end; ++q) v = v << 8 | *q;
        return v;
    }

private:
    std::span<const uint8_t> file_;
    size_t next_;
    int left_;
    const uint8_t* part_ = nullptr;
    size_t partLeft_ = 0;
    const uint8_t* given_ = nullptr;  // the input given to zlib last runs from here to part_
    uint32_t last_ = 0;               // the last bytes of the input before that
};

voidpf HeapAlloc(voidpf opaque, uInt items, uInt size) {
    const PngHeap& h = CurrentPngHeap();
    if (h.alloc) return h.alloc(h.opaque, items, size);
    (void)opaque;
    return std::calloc(items, size);
}
void HeapFree(voidpf opaque, voidpf address) {
    const PngHeap& h = CurrentPngHeap();
    if (h.free) return h.free(h.opaque, address);
    (void)opaque;
    std::free(address);
}

Kind KindOf(const PngState& s) {
    if (s.depth < 8) return kPacked;
    const bool wide = s.depth == 16;
    switch (s.colourType) {
    case 0: return wide ? (s.keyed ? kGreyKeyed16 : kGrey16) : kIndex8;
    case 2:
        if (s.keyed) return wide ? kRgbKeyed16 : kRgbKeyed8;
        return wide ? kRgb16 : kRgb8;
    case 3: return kIndex8;
    case 4: return wide ? kGreyA16 : kGreyA8;
    default: return wide ? kRgba16 : kRgba8;
    }
}

// Inflates the IDAT run and writes every row into the output. The error code or 0.
int DecodeRows(PngState& s, IdatFeed& feed) {
    z_stream zs{};
    zs.zalloc = HeapAlloc;
    zs.zfree = HeapFree;
    int rc = inflateInit2(&zs, 15);
    if (rc != Z_OK) return rc == Z_MEM_ERROR ? kCodecNoMemory : kPngInflate;
    struct End {
        z_stream& zs;
        ~End() { inflateEnd(&zs); }
    } end{zs};
    // The stream's Adler-32 is checked here rather than by zlib, with a faster sum, over each
    // piece of output as it comes while the piece is still in cache.
    inflateValidate(&zs, 0);
    uint32_t adler = 1;

    const size_t bpp = size_t(BitsPerPixel(s));
    const size_t fullRow = (size_t{s.width} * bpp + 7) / 8 + 1;
    // Rows are inflated a block at a time behind a slot holding the previous row.
    // Whole groups of four rows where the block holds more than four.
    size_t blockRows = std::clamp<size_t>(kBlockBytes / fullRow, 1, s.height);
    if (blockRows > 4) blockRows &= ~size_t{3};
    Buffer block = Allocate((blockRows + 1) * fullRow + kRowSlack, false);
    if (!block) return kCodecNoMemory;
    uint8_t* const base = block.get();
    const Kind kind = KindOf(s);

    Target t{};
    t.depth = s.depth;
    std::memcpy(t.key, s.trnsRaw, 6);
    const Adam7Pass whole{0, 0, 1, 1};
    const int passes = s.interlace ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const Adam7Pass& p = s.interlace ? kAdam7[pass] : whole;
        const uint32_t cols = PassExtent(s.width, p.x0, p.dx);
        const uint32_t rowsInPass = PassExtent(s.height, p.y0, p.dy);
        if (cols == 0 || rowsInPass == 0) continue;
        const size_t rowBytes = (size_t{cols} * bpp + 7) / 8 + 1;
        std::memset(base, 0, rowBytes);
        t.x0 = p.x0;
        t.dx = p.dx;
        t.pixels = cols;
        const bool dense = p.dx == 1 && p.x0 == 0;
        const RowFn* routines = kRoutines[kind][dense].data();
#if defined(__SSE2__)
        const PairFn pair = kPairs[kind][dense];
        const std::array<QuadFn, 2>& quads = kQuads[kind][dense];
#endif
        // Points the target at the output rows of row j of the pass.
        auto place = [&](Target& target, size_t j) {
            const size_t y = s.height - 1 - (p.y0 + j * p.dy);
            target.row = s.out + y * s.outStride;
            target.alpha = s.alpha ? s.alpha.get() + y * s.width : nullptr;
        };
        const size_t units = kind == kPacked ? rowBytes - 1 : cols;
        for (uint32_t j = 0; j < rowsInPass;) {
            const size_t want = std::min<size_t>(blockRows, rowsInPass - j);
            const size_t wantBytes = want * rowBytes;
            zs.next_out = base + rowBytes;
            zs.avail_out = uInt(wantBytes);
            bool ended = false;
            while (zs.avail_out > 0) {
                feed.Refill(zs);
                uint8_t* const from = zs.next_out;
                rc = inflate(&zs, Z_NO_FLUSH);
                adler = PngAdler32(adler, from, size_t(zs.next_out - from));
                if (rc == Z_STREAM_END) {
                    if (adler != feed.LastFour(zs)) return kPngInflate;
                    ended = true;
                    break;
                }
                if (rc != Z_OK) return kPngInflate;
            }
            // A stream that ends inside a row leaves that row and the rest untouched.
            const size_t got = (wantBytes - zs.avail_out) / rowBytes;
            uint8_t* prev = base;
            for (size_t r = 0; r < got; ++r, ++j) {
                uint8_t* cur = base + (r + 1) * rowBytes;
                place(t, j);
                const int filter = cur[0] > 4 ? 0 : cur[0];
#if defined(__SSE2__)
                // Four rows of the same filter, when it is average or Paeth.
                if (filter >= 3 && quads[filter - 3] && r + 3 < got && cur[rowBytes] == filter &&
                    cur[2 * rowBytes] == filter && cur[3 * rowBytes] == filter) {
                    Target targets[4] = {t, t, t, t};
                    uint8_t* const rows[4] = {cur + 1, cur + rowBytes + 1, cur + 2 * rowBytes + 1,
                                              cur + 3 * rowBytes + 1};
                    for (size_t k = 1; k < 4; ++k) place(targets[k], j + k);
                    quads[filter - 3](rows, prev + 1, units, targets);
                    r += 3, j += 3;  // `prev` now holds the fourth row
                    continue;
                }
                if (pair && filter == 4 && r + 1 < got && cur[rowBytes] == 4) {
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
            if (ended || got < want) return kCodecOk;
            if (prev != base) std::memcpy(base, prev, rowBytes);
        }
    }
    // The rows are complete. With no room for output, zlib reads on to the end of the stream
    // and its check value when only they follow the rows, even in later chunks; data beyond
    // the last row is never asked for.
    while (feed.Refill(zs)) {
        zs.next_out = base;
        zs.avail_out = 0;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) return adler == feed.LastFour(zs) ? kCodecOk : kPngInflate;
        if (rc != Z_OK) break;
    }
    return kCodecOk;
}

// Allocates the output and the alpha plane and decodes the run. The error code or 0.
int ReadImageData(std::span<const uint8_t> file, const LoadOptions& options, PngState& s,
                  size_t first, int count, PixelAllocator& allocator, Image& image) {
    s.keyed = options.alpha && s.trnsSeen && (s.colourType == 2 || (s.colourType == 0 && s.depth == 16));
    if (s.colourType == 0 && s.depth == 16) s.outBits = s.keyed ? 24 : 8;
    s.outStride = RowStride(int32_t(s.width), s.outBits);
    image.header = BitmapInfoHeader{};
    image.header.width = int32_t(s.width);
    image.header.height = int32_t(s.height);
    image.header.bitCount = uint16_t(s.outBits);
    image.header.xPelsPerMeter = int32_t(s.xRes);
    image.header.yPelsPerMeter = int32_t(s.yRes);
    if (s.alphaChannel || s.keyed) {
        s.alpha = Allocate(size_t{s.width} * s.height, true);
        if (!s.alpha) return kCodecNoMemory;
    }
    if (s.outBits == 24) {
        // Nothing of the palette matters: decode straight into the image.
        if (!allocator.Allocate(image)) return kCodecNoMemory;
        s.out = image.bits;
    } else {
        s.pixels = Allocate(s.outStride * s.height, true);
        if (!s.pixels) return kCodecNoMemory;
        s.out = s.pixels.get();
    }
    IdatFeed feed(file, first, count);
    return DecodeRows(s, feed);
}

// Walks the chunks after IHDR up to IEND, decoding the image data on the way.
int WalkChunks(std::span<const uint8_t> file, const LoadOptions& options, PngState& s,
               PixelAllocator& allocator, Image& image) {
    size_t pos = kPngHeaderEnd;
    const size_t size = file.size();
    bool idatDone = false;
    for (;;) {
        if (size - pos < 8) return kCodecBadFile;
        const uint8_t* c = file.data() + pos;
        const uint32_t length = GetU32BE(c);
        const uint32_t type = GetU32BE(c + 4);
        if (length > kPngMaxChunkLength) return kPngChunkLength;
        if (size - pos - 8 < size_t{length} + 4) return kCodecBadFile;
        const uint8_t* d = c + 8;
        const size_t next = pos + 12 + length;
        auto crcOk = [&] { return PngCrcMatches(c, length); };

        switch (type) {
        case ChunkTag("IHDR"):
            return kPngChunkOrder;
        case ChunkTag("gAMA"):
            if (!s.gamaSeen && !s.plteSeen && !s.idatSeen && length == 4 && crcOk() &&
                GetU32BE(d) > 0) {
                s.gamaSeen = true;
                s.gama = GetU32BE(d);
            }
            break;
        case ChunkTag("PLTE"):
            if (s.colourType != 3) break;
            if (s.plteSeen || s.idatSeen) return kPngChunkOrder;
            if (!crcOk()) return kPngCrc;
            s.plteSeen = true;
            s.paletteEntries = int(std::min<uint32_t>(length / 3, 1u << s.depth));
            for (int i = 0; i < s.paletteEntries; ++i)
                s.palette[i] = PaletteEntry{d[3 * i + 2], d[3 * i + 1], d[3 * i], 0};
            break;
        case ChunkTag("bKGD"):
            if (s.bkgdSeen || s.idatSeen || !crcOk()) break;
            if (s.grey && length == 2) {
                const int step = s.depth == 1 ? 255 : s.depth == 2 ? 85 : s.depth == 4 ? 17 : 1;
                uint8_t v = s.depth == 16 ? d[0] : uint8_t(d[1] * step);
                s.bkgd[0] = s.bkgd[1] = s.bkgd[2] = v;
                s.bkgdSeen = true;
            } else if (s.colourType == 3 && s.plteSeen && length == 1) {
                const PaletteEntry& e = s.palette[d[0]];
                s.bkgd[0] = e.red;
                s.bkgd[1] = e.green;
                s.bkgd[2] = e.blue;
                s.bkgdSeen = true;
            } else if ((s.colourType == 2 || s.colourType == 6) && length == 6) {
                const int low = s.depth == 16 ? 0 : 1;
                for (int i = 0; i < 3; ++i) s.bkgd[i] = d[2 * i + low];
                s.bkgdSeen = true;
            }
            break;
        case ChunkTag("tRNS"):
            if (s.trnsSeen || s.idatSeen || !crcOk()) break;
            if (s.colourType == 0 && length == 2) {
                std::memcpy(s.trnsRaw, d, 2);
                s.transparentGrey = s.depth == 16 ? d[0] : d[1];
                s.trnsSeen = true;
            } else if (s.colourType == 2 && length == 6) {
                if (s.depth == 16) std::memcpy(s.trnsRaw, d, 6);
                else for (int i = 0; i < 3; ++i) s.trnsRaw[i] = d[2 * i + 1];
                s.trnsSeen = true;
            } else if (s.colourType == 3 && s.plteSeen && length <= uint32_t(s.paletteEntries)) {
                std::memcpy(s.paletteAlpha, d, length);
                s.trnsSeen = true;
            }
            break;
        case ChunkTag("IDAT"): {
            if (idatDone) return kPngChunkOrder;
            if (!crcOk()) return kPngCrc;
            // The run: this chunk and the IDAT chunks that follow at once.
            int count = 1;
            size_t end = next;
            while (size - end >= 8 && GetU32BE(file.data() + end + 4) == ChunkTag("IDAT")) {
                const uint8_t* n = file.data() + end;
                const uint32_t len = GetU32BE(n);
                if (len > kPngMaxChunkLength || size - end - 8 < size_t{len} + 4 ||
                    !PngCrcMatches(n, len))
                    return kPngIdatLength;
                end += size_t{len} + 12;
                ++count;
            }
            s.idatSeen = true;
            idatDone = true;
            if (int e = ReadImageData(file, options, s, pos, count, allocator, image)) return e;
            pos = end;
            continue;
        }
        case ChunkTag("pHYs"):
            if (!s.idatSeen && length == 9 && crcOk() && d[8] == 1 && GetU32BE(d) < 0x80000000u &&
                GetU32BE(d + 4) < 0x80000000u) {
                s.xRes = GetU32BE(d);
                s.yRes = GetU32BE(d + 4);
            }
            break;
        case ChunkTag("tEXt"):
            if (length >= 2 && crcOk()) {
                const size_t limit = std::min<size_t>(length, 80);
                const void* nul = std::memchr(d, 0, limit);
                if (nul && nul != d) {
                    ++s.texts;
                    if (static_cast<const uint8_t*>(nul) - d == 7 && std::memcmp(d, "Comment", 7) == 0)
                        ++s.comments;
                }
            }
            break;
        case ChunkTag("IEND"):
            if (!crcOk()) return kPngCrc;
            if (!s.idatSeen || (s.colourType == 3 && !s.plteSeen)) return kPngCriticalChunk;
            return kCodecOk;
        default:
            break;
        }
        pos = next;
    }
}

// round(255 × (i / 255)^exponent), entry 0 = 0.
std::array<uint8_t, 256> GammaTable(double exponent) {
    std::array<uint8_t, 256> t{};
    for (int i = 1; i < 256; ++i) {
        double v = 255.0 * std::pow(i / 255.0, exponent) + 0.5;
        t[i] = uint8_t(std::clamp(int(v), 0, 255));
    }
    return t;
}

uint8_t Blend(const BlendTable& b, int a, int v, int background) {
    return uint8_t(std::min(255, b[a][v] + b[255 - a][background]));
}

// Blends the output with the alpha plane over `bg` (blue, green, red).
void CompositePixels(PngState& s, const uint8_t bg[3]) {
    const BlendTable& b = PngBlendTable();
    for (uint32_t y = 0; y < s.height; ++y) {
        uint8_t* row = s.out + y * s.outStride;
        const uint8_t* alpha = s.alpha.get() + size_t{y} * s.width;
        for (uint32_t x = 0; x < s.width; ++x) {
            const int a = alpha[x];
            if (a == 255) continue;
            if (s.outBits == 8) {
                row[x] = Blend(b, a, row[x], bg[2]);
            } else {
                uint8_t* p = row + 3 * x;
                for (int k = 0; k < 3; ++k) p[k] = Blend(b, a, p[k], bg[k]);
            }
        }
    }
}

void ApplyGammaAndAlpha(const LoadOptions& options, PngState& s) {
    const int display = options.gamma ? std::max(1, options.displayGamma) : 0;
    const bool gamma = display > 0 && s.gamaSeen;
    std::array<uint8_t, 256> table{};
    if (gamma) {
        table = GammaTable(1.0 / ((s.gama / 100000.0) * (display / 1000.0)));
        if (s.outBits == 8) {
            for (PaletteEntry& e : s.palette) {
                e.red = table[e.red];
                e.green = table[e.green];
                e.blue = table[e.blue];
            }
        } else {
            const size_t rowBytes = size_t{s.width} * 3;
            for (uint32_t y = 0; y < s.height; ++y) {
                uint8_t* row = s.out + y * s.outStride;
                for (size_t i = 0; i < rowBytes; ++i) row[i] = table[row[i]];
            }
        }
    }
    if (!options.alpha || !(s.trnsSeen || s.alphaChannel)) return;
    // Background as blue, green, red.
    uint8_t bg[3] = {options.background.blue, options.background.green, options.background.red};
    if (options.fileBackground && s.bkgdSeen) {
        for (int k = 0; k < 3; ++k) {
            uint8_t v = s.bkgd[2 - k];
            bg[k] = gamma && v ? table[v] : v;
        }
    }
    if (s.alpha) {
        CompositePixels(s, bg);
    } else if (s.colourType == 0) {
        s.palette[s.transparentGrey] = PaletteEntry{bg[0], bg[1], bg[2], 0};
    } else if (s.colourType == 3) {
        const BlendTable& b = PngBlendTable();
        for (int i = 0; i < 256; ++i) {
            PaletteEntry& e = s.palette[i];
            const int a = s.paletteAlpha[i];
            e.blue = Blend(b, a, e.blue, bg[0]);
            e.green = Blend(b, a, e.green, bg[1]);
            e.red = Blend(b, a, e.red, bg[2]);
        }
    }
}

}  // namespace

const BlendTable& PngBlendTable() {
    static const BlendTable table = [] {
        BlendTable t;
        for (int a = 0; a < 256; ++a)
            for (int v = 0; v < 256; ++v) t[a][v] = uint8_t((a * v + 127) / 255);
        return t;
    }();
    return table;
}

bool DecodePng(std::span<const uint8_t> file, const LoadOptions& options,
               PixelAllocator& allocator, DecodeResult& result) {
    result = DecodeResult{};
    Image& image = result.image;
    ImageHolder hold(allocator, image);
    PngState s;
    int error = ReadHeader(file, s);
    if (!error) error = WalkChunks(file, options, s, allocator, image);
    if (error) {
        result.error = error;
        return false;
    }
    ApplyGammaAndAlpha(options, s);
    image.palette = s.outBits == 8 ? s.palette : Palette{};
    if (s.outBits == 8) {
        if (!allocator.Allocate(image)) {
            result.error = kCodecNoMemory;
            return false;
        }
        std::memcpy(image.bits, s.pixels.get(), image.PixelBytes());
    }
    hold.Keep();
    image.format = ImageFormat::Png;
    image.sourceBits = s.colourType == 2 || s.colourType == 6 ? s.depth * 3 : s.depth;
    image.fileSize = int32_t(std::min<size_t>(file.size(), INT32_MAX));
    result.info.interlaced = s.interlace;
    result.info.transparency = s.trnsSeen || s.alphaChannel;
    result.info.text = s.texts;
    result.info.comment = s.comments;
    return true;
}

}  // namespace pelio
