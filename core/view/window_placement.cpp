// Window placement arithmetic. Portable.
#include "core/view/window_placement.h"

#include <algorithm>

namespace pelio {

ScreenRect FitWindowIntoArea(const ScreenRect& window, const ScreenRect& area) {
    int w = std::min(window.Width(), area.Width());
    int h = std::min(window.Height(), area.Height());
    int x = PushIntoRange(window.left, w, area.left, area.right);
    int y = PushIntoRange(window.top, h, area.top, area.bottom);
    return {x, y, x + w, y + h};
}

ScreenRect InitialViewerRect(const ScreenRect& monitor, const FrameInsets& frame,
                             const ScreenRect& usable) {
    constexpr int kClientW = 400, kClientH = 300;
    int x = monitor.left + (monitor.Width() - kClientW) / 2;
    int y = monitor.top + (monitor.Height() - kClientH) / 2;
    ScreenRect window{x - frame.left, y - frame.top, x + kClientW + frame.right,
                      y + kClientH + frame.bottom};
    return FitWindowIntoArea(window, usable);
}

}  // namespace pelio
