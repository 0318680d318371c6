// The navigation window's arithmetic: the thumbnail of the whole image and the rectangle
// of the part that is shown. Portable.
#pragma once

#include "core/view/window_placement.h"

namespace pelio {

inline constexpr int kNavigationThumbSide = 150;  // the thumbnail's longer side
inline constexpr int kNavigationMargin = 4;       // around the thumbnail, each side
// The view must be larger than this in both directions for the navigation window to show.
inline constexpr int kNavigationMinView = 304;

struct NavigationThumb {
    int scale = 0;  // hundredths of a percent
    int width = 0, height = 0;
};

// The thumbnail of an image: the longer side 150 pixels, the shorter one scaled alike (at
// least 1). All zero for an empty image.
NavigationThumb NavigationThumbnail(int imageW, int imageH);

// The window's outer size: the thumbnail plus the margin on every side.
inline int NavigationWindowSize(int thumbSize) { return thumbSize + 2 * kNavigationMargin; }

// The shown part of the image within the thumbnail: scaled like the thumbnail, at least one
// pixel, and kept so that it ends at least one pixel inside the thumbnail where it can.
ScreenRect NavigationFrame(const NavigationThumb& thumb, int srcX, int srcY, int srcW, int srcH);

// Where the window goes: at the given window's top-left corner, moved left so that its right
// edge stays within the work area, and never above the top of the screen.
ScreenRect NavigationPlacement(int nearLeft, int nearTop, int width, int height, int workRight, int screenTop);

// Whether a view of this size gets the navigation window while panning.
inline bool ViewWantsNavigation(int viewW, int viewH) {
    return viewW > kNavigationMinView && viewH > kNavigationMinView;
}

}  // namespace pelio
