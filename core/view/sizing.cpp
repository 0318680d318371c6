// Frame drag rules. Portable.
#include "core/view/sizing.h"

#include <algorithm>
#include <cstdint>

namespace pelio {

namespace {
constexpr int kMaxWindowSide = 32767;
}  // namespace

ScreenRect SizingRect(SizingEdge edge, const ScreenRect& proposed, const FrameInsets& frame, int imageW, int imageH,
                      int limitW, int limitH, int minWidth) {
    ScreenRect r = proposed;
    switch (edge) {
    case SizingEdge::Left:
        r.left = r.right - std::min(r.Width(), limitW);
        return r;
    case SizingEdge::Right:
        r.right = r.left + std::min(r.Width(), limitW);
        return r;
    case SizingEdge::Top:
        r.top = r.bottom - std::min(r.Height(), limitH);
        return r;
    case SizingEdge::Bottom:
        r.bottom = r.top + std::min(r.Height(), limitH);
        return r;
    default:
        break;
    }
    if (imageW <= 0 || imageH <= 0) return r;
    const int64_t clientH = std::max(r.Height() - frame.top - frame.bottom, 0);
    const int64_t clientW = clientH * imageW / imageH;
    // Windows cannot be wider than 16-bit coordinates reach.
    const int width = static_cast<int>(
        std::clamp<int64_t>(clientW + frame.left + frame.right, std::min(minWidth, kMaxWindowSide), kMaxWindowSide));
    if (edge == SizingEdge::TopLeft || edge == SizingEdge::BottomLeft) r.left = r.right - width;
    else r.right = r.left + width;
    return r;
}

}  // namespace pelio
