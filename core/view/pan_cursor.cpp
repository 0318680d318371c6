// Panning cursor choice. Portable.
#include "core/view/pan_cursor.h"

namespace pelio {

PanAxis PanAxisState(const AxisLayout& a, int imageSize) {
    if (a.srcSize >= imageSize) return PanAxis::Fixed;
    if (a.src <= 0) return PanAxis::AtStart;
    if (a.src + a.srcSize >= imageSize) return PanAxis::AtEnd;
    return PanAxis::Between;
}

unsigned PanOpenDirections(PanAxis h, PanAxis v) {
    unsigned d = 0;
    if (h == PanAxis::AtEnd || h == PanAxis::Between) d |= kPanLeft;
    if (h == PanAxis::AtStart || h == PanAxis::Between) d |= kPanRight;
    if (v == PanAxis::AtEnd || v == PanAxis::Between) d |= kPanUp;
    if (v == PanAxis::AtStart || v == PanAxis::Between) d |= kPanDown;
    return d;
}

int PanCursorResource(PanAxis h, PanAxis v) {
    // Rows: horizontal Fixed, AtStart, AtEnd, Between; columns: vertical in the same order.
    static constexpr int kTable[4][4] = {
        {0, 110, 111, 114},
        {113, 116, 118, 121},
        {112, 115, 117, 120},
        {119, 122, 123, 124},
    };
    return kTable[static_cast<int>(h)][static_cast<int>(v)];
}

}  // namespace pelio
