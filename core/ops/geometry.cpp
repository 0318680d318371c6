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

// Quarter turns walk the source in square tiles so that both sides stay in cache. In
// storage terms (rows bottom-up) a source pixel (row r, column x) of a W × H picture goes to
// 90°: row W − 1 − x, column r; 270°: row x, column H − 1 − r.
template <int B, bool Clockwise>
void QuarterTurn(const PixelJob& job, size_t targetStride) {
    constexpr int kTile = 64;
    const int w = job.width, h = job.height;
    for (int r0 = 0; r0 < h; r0 += kTile) {
        const int r1 = std::min(h, r0 + kTile);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int r = r0; r < r1; ++r) {
                const uint8_t* s = job.source + static_cast<size_t>(r) * job.stride + size_t(x0) * B;
                const int column = Clockwise ? r : h - 1 - r;
                uint8_t* d = job.target + size_t(column) * B;
                for (int x = x0; x < x1; ++x, s += B) {
                    const int row = Clockwise ? w - 1 - x : x;
                    CopyPixel<B>(d + size_t(row) * targetStride, s);
                }
            }
        }
    }
}

template <int B>
void MirrorRow(uint8_t* d, const uint8_t* s, int w) {
    const uint8_t* p = s + size_t(w - 1) * B;
    for (int x = 0; x < w; ++x, d += B, p -= B) CopyPixel<B>(d, p);
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
