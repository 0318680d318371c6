// Trimming. Portable.
#include "core/ops/trim.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pelio {

namespace {

// lo wins over hi, so an inverted range cannot make an undefined clamp.
int32_t Limit(int64_t v, int64_t lo, int64_t hi) { return static_cast<int32_t>(std::max(lo, std::min(v, hi))); }

// round(n / d), halves away from zero, for n ≥ 0 and d > 0.
int64_t RoundDiv(int64_t n, int64_t d) { return (2 * n + d) / (2 * d); }

// Places an extent e about centre c within 0 … limit − 1: c − (e − e/2) … c + e/2, moved
// to start at 0 or to end at limit − 1 when it leaves the picture. False when it cannot fit.
bool PlaceExtent(int64_t e, int64_t c, int64_t limit, int32_t& lo, int32_t& hi) {
    int64_t a = c - (e - e / 2), b = c + e / 2;
    if (a < 0) a = 0, b = e;
    if (b >= limit) b = limit - 1, a = b - e;
    if (a < 0) return false;
    lo = static_cast<int32_t>(a), hi = static_cast<int32_t>(b);
    return true;
}

int Side(int64_t p, int64_t low, int64_t high) {  // −1 near low, +1 near high, 0 neither
    const int64_t dl = std::llabs(p - low), dh = std::llabs(p - high);
    const bool nearLow = dl < kTrimHandleReach, nearHigh = dh < kTrimHandleReach;
    if (nearLow && nearHigh) return dl <= dh ? -1 : 1;
    return nearLow ? -1 : nearHigh ? 1 : 0;
}

bool IsCorner(TrimHandle h) { return h >= TrimHandle::TopLeft && h <= TrimHandle::BottomLeft; }

// A corner drag: the corner opposite the handle stays, the dragged one follows the pointer
// (the rectangle is ordered again, so it may cross over the fixed corner).
bool DragCorner(TrimRect& selection, const TrimDrag& drag, int32_t x, int32_t y, SizeSlot ratio, int32_t width,
                int32_t height) {
    const bool left = drag.handle == TrimHandle::TopLeft || drag.handle == TrimHandle::BottomLeft;
    const bool top = drag.handle == TrimHandle::TopLeft || drag.handle == TrimHandle::TopRight;
    const int32_t fx = left ? drag.start.x2 : drag.start.x1, fy = top ? drag.start.y2 : drag.start.y1;
    if (!SlotSet(ratio, SlotKind::Ratio)) {
        selection = TrimFromCorners(fx, fy, x, y, width, height);
        return true;
    }
    const int64_t dx = int64_t(x) - fx, dy = int64_t(y) - fy;
    const int64_t total = std::llabs(dx) + std::llabs(dy), sum = int64_t(ratio.width) + ratio.height;
    const int64_t ex = RoundDiv(total * ratio.width, sum), ey = RoundDiv(total * ratio.height, sum);
    // Towards the pointer; along the handle's own direction while the pointer is level.
    const int64_t cx = fx + ((dx < 0 || (dx == 0 && left)) ? -ex : ex);
    const int64_t cy = fy + ((dy < 0 || (dy == 0 && top)) ? -ey : ey);
    if (cx < 0 || cy < 0 || cx >= width || cy >= height) return false;
    selection = TrimFromCorners(fx, fy, static_cast<int32_t>(cx), static_cast<int32_t>(cy), width, height);
    return true;
}

}  // namespace

int32_t TrimCoordinate(const TrimRect& s, TrimField field) {
    switch (field) {
    case TrimField::X1: return s.x1;
    case TrimField::Y1: return s.y1;
    case TrimField::X2: return s.x2;
    case TrimField::Y2: return s.y2;
    }
    return 0;
}

TrimFieldRange TrimFieldRangeOf(const TrimRect& s, TrimField field, int32_t width, int32_t height) {
    switch (field) {
    case TrimField::X1: return {0, s.x2};
    case TrimField::Y1: return {0, s.y2};
    case TrimField::X2: return {s.x1, width - 1};
    case TrimField::Y2: return {s.y1, height - 1};
    }
    return {};
}

bool TrimChangesPicture(const TrimRect& s, int32_t width, int32_t height) {
    return !(s.x1 == 0 && s.y1 == 0 && s.x2 == width - 1 && s.y2 == height - 1);
}

TrimHandle FindTrimHandle(int32_t paneX, int32_t paneY, const TrimOutline& o) {
    const int64_t x = paneX, y = paneY;
    if (x <= int64_t(o.left) - kTrimHandleReach || x >= int64_t(o.right) + kTrimHandleReach ||
        y <= int64_t(o.top) - kTrimHandleReach || y >= int64_t(o.bottom) + kTrimHandleReach)
        return TrimHandle::None;
    static constexpr TrimHandle kBySide[3][3] = {
        // [vertical side + 1][horizontal side + 1]: top row, middle, bottom row
        {TrimHandle::TopLeft, TrimHandle::Top, TrimHandle::TopRight},
        {TrimHandle::Left, TrimHandle::Inside, TrimHandle::Right},
        {TrimHandle::BottomLeft, TrimHandle::Bottom, TrimHandle::BottomRight},
    };
    return kBySide[Side(y, o.top, o.bottom) + 1][Side(x, o.left, o.right) + 1];
}

TrimCursor TrimCursorFor(TrimHandle handle) {
    switch (handle) {
    case TrimHandle::Left:
    case TrimHandle::Right: return TrimCursor::LeftRight;
    case TrimHandle::Top:
    case TrimHandle::Bottom: return TrimCursor::UpDown;
    case TrimHandle::TopLeft:
    case TrimHandle::BottomRight: return TrimCursor::TopLeftBottomRight;
    case TrimHandle::TopRight:
    case TrimHandle::BottomLeft: return TrimCursor::TopRightBottomLeft;
    case TrimHandle::Inside: return TrimCursor::Move;
    case TrimHandle::None: break;
    }
    return TrimCursor::Normal;
}

bool TrimBandStarted(int32_t dx, int32_t dy) { return std::llabs(dx) + std::llabs(dy) > 8; }

TrimRect TrimFromCorners(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t width, int32_t height) {
    xa = Limit(xa, 0, width - 1), xb = Limit(xb, 0, width - 1);
    ya = Limit(ya, 0, height - 1), yb = Limit(yb, 0, height - 1);
    return {std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb)};
}

bool DragTrimHandle(TrimRect& selection, const TrimDrag& drag, int32_t x, int32_t y, SizeSlot ratio, int32_t width,
                    int32_t height) {
    const TrimCentre centre = CentreOf(drag.start);
    switch (drag.handle) {
    case TrimHandle::Left: return SetTrimCoordinate(selection, TrimField::X1, x, ratio, centre, width, height);
    case TrimHandle::Top: return SetTrimCoordinate(selection, TrimField::Y1, y, ratio, centre, width, height);
    case TrimHandle::Right: return SetTrimCoordinate(selection, TrimField::X2, x, ratio, centre, width, height);
    case TrimHandle::Bottom: return SetTrimCoordinate(selection, TrimField::Y2, y, ratio, centre, width, height);
    case TrimHandle::Inside: {
        const TrimRect& s = drag.start;
        const int32_t dx = Limit(int64_t(x) - drag.pressX, -int64_t(s.x1), int64_t(width) - 1 - s.x2);
        const int32_t dy = Limit(int64_t(y) - drag.pressY, -int64_t(s.y1), int64_t(height) - 1 - s.y2);
        selection = {s.x1 + dx, s.y1 + dy, s.x2 + dx, s.y2 + dy};
        return true;
    }
    default:
        if (IsCorner(drag.handle)) return DragCorner(selection, drag, x, y, ratio, width, height);
        return false;
    }
}

bool SetTrimCoordinate(TrimRect& selection, TrimField field, int32_t value, SizeSlot ratio, TrimCentre centre,
                       int32_t width, int32_t height) {
    TrimRect r = selection;
    switch (field) {
    case TrimField::X1: r.x1 = Limit(value, 0, r.x2); break;
    case TrimField::Y1: r.y1 = Limit(value, 0, r.y2); break;
    case TrimField::X2: r.x2 = Limit(value, r.x1, int64_t(width) - 1); break;
    case TrimField::Y2: r.y2 = Limit(value, r.y1, int64_t(height) - 1); break;
    }
    if (SlotSet(ratio, SlotKind::Ratio)) {
        const bool across = field == TrimField::X1 || field == TrimField::X2;
        const bool fits = across ? PlaceExtent(RoundDiv(int64_t(ratio.height) * (r.x2 - r.x1), ratio.width), centre.y,
                                               height, r.y1, r.y2)
                                 : PlaceExtent(RoundDiv(int64_t(ratio.width) * (r.y2 - r.y1), ratio.height), centre.x,
                                               width, r.x1, r.x2);
        if (!fits) return false;
    }
    selection = r;
    return true;
}

bool ApplyTrimRatio(TrimRect& selection, SizeSlot ratio, int32_t width, int32_t height) {
    if (!SlotSet(ratio, SlotKind::Ratio)) return false;
    const TrimCentre centre = CentreOf(selection);
    return SetTrimCoordinate(selection, TrimField::X2, selection.x2, ratio, centre, width, height) ||
           SetTrimCoordinate(selection, TrimField::Y2, selection.y2, ratio, centre, width, height);
}

const std::array<uint8_t, 256>& HalvingTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i) t[size_t(i)] = static_cast<uint8_t>(i >> 1);
        return t;
    }();
    return table;
}

namespace {

void Halve(uint8_t* d, const uint8_t* s, size_t count, const uint8_t* table) {
    for (size_t i = 0; i < count; ++i) d[i] = table[s[i]];
}

}  // namespace

bool RebuildTrimPreview(const PixelJob& job, const TrimRect& selection) {
    if (job.bitCount != 24 || job.width <= 0 || job.height <= 0 || !job.source || !job.target) return false;
    const uint8_t* table = HalvingTable().data();
    const size_t stride = size_t(job.stride), total = stride * size_t(job.height);
    const int32_t x1 = std::max(selection.x1, 0), x2 = std::min(selection.x2, job.width - 1);
    const int32_t y1 = std::max(selection.y1, 0), y2 = std::min(selection.y2, job.height - 1);
    if (x1 > x2 || y1 > y2) {
        Halve(job.target, job.source, total, table);
        return true;
    }
    // Storage rows run bottom-up: image rows y2 … y1 are storage rows first … last. Between
    // the selection's spans of two rows the bytes are contiguous: one halving pass each.
    const size_t first = size_t(job.height - 1 - y2), last = size_t(job.height - 1 - y1);
    const size_t head = size_t(x1) * 3, span = size_t(x2 - x1 + 1) * 3;
    size_t at = 0;
    for (size_t row = first; row <= last; ++row) {
        const size_t inside = row * stride + head;
        Halve(job.target + at, job.source + at, inside - at, table);
        std::memcpy(job.target + inside, job.source + inside, span);
        at = inside + span;
    }
    Halve(job.target + at, job.source + at, total - at, table);
    return true;
}

bool TrimPixels(const Image& source, const TrimRect& s, Image& target) {
    const int bits = source.BitCount();
    if ((bits != 8 && bits != 24) || !source.bits || !target.bits || source.Height() <= 0) return false;
    if (s.x1 < 0 || s.y1 < 0 || s.x1 > s.x2 || s.y1 > s.y2 || s.x2 >= source.Width() || s.y2 >= source.Height())
        return false;
    const int32_t w = s.x2 - s.x1 + 1, h = s.y2 - s.y1 + 1;
    if (target.Width() != w || target.Height() != h || target.BitCount() != bits) return false;
    const size_t bytes = size_t(bits / 8);
    // Target row r (bottom-up) is image row y2 − r from the top.
    const int32_t bottom = source.Height() - 1 - s.y2;
    for (int32_t r = 0; r < h; ++r)
        std::memcpy(target.Row(r), source.Row(bottom + r) + size_t(s.x1) * bytes, size_t(w) * bytes);
    if (bits == 8) target.palette = source.palette;
    return true;
}

}  // namespace pelio
