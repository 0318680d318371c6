// The Viewer window's rules while the user drags its frame. Portable.
#pragma once

#include "core/view/window_placement.h"

namespace pelio {

// The dragged edge or corner, numbered as the system numbers them (WMSZ_LEFT .. WMSZ_BOTTOMRIGHT).
enum class SizingEdge { Left = 1, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };

inline bool IsCorner(SizingEdge e) {
    return e == SizingEdge::TopLeft || e == SizingEdge::TopRight || e == SizingEdge::BottomLeft ||
           e == SizingEdge::BottomRight;
}

// The window rectangle the drag may have. A side edge cannot make the window larger than the
// limit set by the last fit; a corner sets the width from the height so that the client area
// keeps the image's aspect ratio (at least `minWidth` wide), moving the left edge for the left
// corners and the right edge otherwise.
ScreenRect SizingRect(SizingEdge edge, const ScreenRect& proposed, const FrameInsets& frame, int imageW, int imageH,
                      int limitW, int limitH, int minWidth);

}  // namespace pelio
