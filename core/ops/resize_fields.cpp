// Resize size fields. Portable.
#include "core/ops/resize_fields.h"

#include <algorithm>
#include <cstdint>

#include "core/ops/edit_results.h"

namespace pelio {

int RoundedRatio(int n, int m, int d) {
    const int64_t p = int64_t(n) * m;
    const int64_t q = (2 * (p < 0 ? -p : p) + d) / (2 * int64_t(d));
    return static_cast<int>(p < 0 ? -q : q);
}

ResizeFields::ResizeFields(int width, int height)
    : width_(width),
      height_(height),
      newWidth_(width),
      newHeight_(height) {}

ResizeFields::Echo ResizeFields::Set(int value, bool horizontal) {
    int& mine = horizontal ? newWidth_ : newHeight_;
    int& other = horizontal ? newHeight_ : newWidth_;
    const int side = horizontal ? width_ : height_, otherSide = horizontal ? height_ : width_;
    value = ClampResizeSide(value, side);
    Echo echo;
    if (value == mine) return echo;
    mine = value;
    if (ignoreAspect) return echo;
    const int follow = ClampResizeSide(RoundedRatio(mine, otherSide, side), otherSide);
    if (follow != other) {
        other = follow;
        echo.otherField = follow;
    }
    echo.slider = RoundedRatio(mine, 100, side);
    return echo;
}

ResizeFields::Echo ResizeFields::SetWidth(int value) { return Set(value, true); }
ResizeFields::Echo ResizeFields::SetHeight(int value) { return Set(value, false); }

int ResizeFields::SliderWidth(int percent) const { return std::max(1, RoundedRatio(width_, percent, 100)); }
int ResizeFields::SliderHeight(int percent) const { return std::max(1, RoundedRatio(height_, percent, 100)); }

}  // namespace pelio
