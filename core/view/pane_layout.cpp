// Edit window pane arithmetic. Portable.
#include "core/view/pane_layout.h"

#include <algorithm>
#include <cmath>

namespace pelio {

PaneSplit SplitPanes(PaneMode mode, int width) {
    PaneSplit s;
    switch (mode) {
    case PaneMode::ImageOnly:
        s.imageW = width;
        break;
    case PaneMode::PreviewOnly:
        s.previewW = width;
        break;
    case PaneMode::SideBySide:
        s.imageW = s.previewW = width / 2 - 1;
        s.previewX = width - s.previewW;
        break;
    }
    return s;
}

ScrollBarNeed ScrollBarsFor(int displayW, int displayH, int paneW, int paneH, int vbarW, int hbarH) {
    ScrollBarNeed n;
    if (displayW > paneW - vbarW || displayH > paneH) {
        n.vertical = displayH > paneH;
        n.horizontal = displayW > paneW - (n.vertical ? vbarW : 0);
        if (n.horizontal && !n.vertical) n.vertical = displayH > paneH - hbarH;
    }
    n.paneW = paneW - (n.vertical ? vbarW : 0);
    n.paneH = paneH - (n.horizontal ? hbarH : 0);
    return n;
}

int SliderToZoomPercent(int position) {
    const double t = std::clamp(position, 0, kSliderMax) / double(kSliderMax);
    return std::min<int>(static_cast<int>(std::lround(10 + t * t * 990)), 1000);
}

int ZoomPercentToSlider(int percent) {
    if (percent <= 10) return 0;
    const double p = std::sqrt((percent - 10) / 990.0) * kSliderMax;
    return std::clamp<int>(static_cast<int>(std::lround(p)), 0, kSliderMax);
}

int ClampZoomPercent(int percent) { return std::clamp(percent, 10, 1000); }

}  // namespace pelio
