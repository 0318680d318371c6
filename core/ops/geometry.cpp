// Quarter turns and flips. Portable.
#include "core/ops/geometry.h"

#include <algorithm>
#include <cstring>

namespace pelio {

namespace {

template <int B>
inline void CopyPixel(uint8_t* d, const uint8_t* s) {
    if constexpr (B == 1) {
        *d = *s;
    } else {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

// Quarter turns fill the target tile by tile, each target row left to right, reading the
// source down a column. In storage terms (rows bottom-up) target row t, column c of a turned
// W × H picture comes from 90°: source row c, column W − 1 − t; 270°: source row H − 1 − c,
// column t.
template <int B, bool Clockwise>
void QuarterTurn(const PixelJob& job, size_t targetStride) {
    constexpr int kTile = 32;
    const int w = job.width, h = job.height;  // the target is h wide and w high
    const ptrdiff_t step = Clockwise ? job.stride : -ptrdiff_t(job.stride);
    for (int t0 = 0; t0 < w; t0 += kTile) {
        const int t1 = std::min(w, t0 + kTile);
        for (int c0 = 0; c0 < h; c0 += kTile) {
            const int c1 = std::min(h, c0 + kTile);
            // The row's last pixel is copied exactly; the others may write one byte ahead,
            // which the next pixel of the same row overwrites.
            const int wideEnd = (B == 3 && c1 == h) ? c1 - 1 : c1;
            for (int t = t0; t < t1; ++t) {
                const int x = Clockwise ? w - 1 - t : t;
                const int row = Clockwise ? c0 : h - 1 - c0;
                const uint8_t* s = job.source + size_t(row) * job.stride + size_t(x) * B;
                uint8_t* d = job.target + size_t(t) * targetStride + size_t(c0) * B;
                int c = c0;
                if constexpr (B == 3) {
                    // The source's last pixel in memory has no byte after it (270°: target
                    // row w − 1, column 0; 90° reaches it as a row's last pixel).
                    if (!Clockwise && t == w - 1 && c == 0 && c < c1) {
                        CopyPixel<B>(d, s);
                        ++c, d += B, s += step;
                    }
                    for (; c < wideEnd; ++c, d += 3, s += step) {
                        uint32_t v;
                        std::memcpy(&v, s, 4);
                        std::memcpy(d, &v, 4);
                    }
                }
                for (; c < c1; ++c, d += B, s += step) CopyPixel<B>(d, s);
            }
        }
    }
}

template <int B>
void MirrorRow(uint8_t* d, const uint8_t* s, int w) {
    const uint8_t* p = s + size_t(w - 1) * B;
    int x = 0;
    if constexpr (B == 3) {
        // Four-byte moves between the row's first and last pixels: the byte read after a
        // pixel is its neighbour's, the byte written ahead is overwritten next.
        if (w >= 2) {
            CopyPixel<B>(d, p);
            x = 1, d += B, p -= B;
            for (; x < w - 1; ++x, d += B, p -= B) {
                uint32_t v;
                std::memcpy(&v, p, 4);
                std::memcpy(d, &v, 4);
            }
        }
    }
    for (; x < w; ++x, d += B, p -= B) CopyPixel<B>(d, p);
}

// 180° and the flips: rows kept or reversed, pixels within a row kept or mirrored.
template <int B>
void FlipRows(const PixelJob& job, bool reverseRows, bool mirror) {
    const size_t rowBytes = size_t(job.width) * B;
    for (int r = 0; r < job.height; ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        uint8_t* d = job.target + size_t(reverseRows ? job.height - 1 - r : r) * job.stride;
        if (mirror) MirrorRow<B>(d, s, job.width);
        else std::memcpy(d, s, rowBytes);
    }
}

template <int B>
bool Turn(const PixelJob& job, TurnKind kind) {
    switch (kind) {
    case TurnKind::Rotate90:
        QuarterTurn<B, true>(job, RowStride(job.height, job.bitCount));
        return true;
    case TurnKind::Rotate270:
        QuarterTurn<B, false>(job, RowStride(job.height, job.bitCount));
        return true;
    case TurnKind::Rotate180: FlipRows<B>(job, true, true); return true;
    case TurnKind::FlipHorizontal: FlipRows<B>(job, false, true); return true;
    case TurnKind::FlipVertical: FlipRows<B>(job, true, false); return true;
    }
    return false;
}

}  // namespace

bool TurnPixels(const PixelJob& job, TurnKind kind) {
    if (job.width <= 0 || job.height <= 0 || !job.source || !job.target) return false;
    if (job.bitCount == 8) return Turn<1>(job, kind);
    if (job.bitCount == 24) return Turn<3>(job, kind);
    return false;
}

}  // namespace pelio
