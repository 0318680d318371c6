// Which panning cursor shows the directions the view can still move. Portable.
#pragma once

#include "core/view/zoom.h"

namespace pelio {

// Where the source span of one axis stands within the image.
enum class PanAxis {
    Fixed,    // the whole image is shown along this axis
    AtStart,  // at the left / top edge of the image
    AtEnd,    // at the right / bottom edge
    Between,  // room on both sides
};

PanAxis PanAxisState(const AxisLayout& axis, int imageSize);

// Directions in which more of the image lies beyond the view.
enum PanDirection : unsigned {
    kPanLeft = 1,
    kPanRight = 2,
    kPanUp = 4,
    kPanDown = 8,
};
unsigned PanOpenDirections(PanAxis horizontal, PanAxis vertical);

// Cursor resource 110..124 for the two axis states; 0 when neither axis can move.
int PanCursorResource(PanAxis horizontal, PanAxis vertical);

}  // namespace pelio
