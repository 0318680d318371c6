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

ScreenRect WindowFitRect(const ScreenRect& oldClient, int displayW, int displayH,
                         const FrameInsets& frame, bool hasCaption, int minWidth,
                         const ScreenRect& usable) {
    const int left = (oldClient.left + oldClient.right) / 2 - displayW / 2;
    const int top = (oldClient.top + oldClient.bottom) / 2 - displayH / 2;
    ScreenRect window{left - frame.left, top - frame.top, left + displayW + frame.right,
                      top + displayH + frame.bottom};
    if (hasCaption && window.Width() < minWidth) {
        const int grow = minWidth - window.Width();
        window.left -= grow / 2;
        window.right = window.left + minWidth;
    }
    return FitWindowIntoArea(window, usable);
}

}  // namespace pelio
