// Hue and saturation as an operation. Portable.
#include "core/ops/hls_operation.h"

#include <algorithm>

namespace pelio {

int HlsShiftLimit(int channel) { return channel == 0 ? 180 : 255; }

HlsShift ClampHlsShift(HlsShift s) {
    return {std::clamp(s.hue, -HlsShiftLimit(0), HlsShiftLimit(0)),
            std::clamp(s.lightness, -HlsShiftLimit(1), HlsShiftLimit(1)),
            std::clamp(s.saturation, -HlsShiftLimit(2), HlsShiftLimit(2))};
}

ColourRange MakeColourRange(uint32_t colour, int radius) {
    ColourRange range;
    range.colour = colour & 0xFFFFFF;
    range.radius = std::clamp(radius, 0, kMaxRangeRadius);
    range.weights = RangeWeights(range.radius);
    return range;
}

void ApplyHueSaturation(const PixelJob& job, HlsShift shift, const ColourRange* range) {
    if (range) AdjustHlsInRange(job, shift, range->colour, range->weights);
    else AdjustHls(job, shift);
}

}  // namespace pelio
