// Hue and saturation as an operation: its shifts as the controls store them, the colour range
// and the pass that makes the working picture. Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/ops/hls.h"
#include "core/ops/pixel_job.h"

namespace pelio {

// A channel's shift (0 hue, 1 lightness, 2 saturation) runs from −limit to limit.
int HlsShiftLimit(int channel);
// Every shift clamped to its channel's range.
HlsShift ClampHlsShift(HlsShift shift);

inline constexpr int kMaxRangeRadius = 150;

// The colours the shift is limited to: those near `colour`, with the weights of the radius.
struct ColourRange {
    uint32_t colour = 0xFFFFFF;  // 0x00BBGGRR
    int radius = 50;
    std::vector<uint8_t> weights;
};
// The radius clamped to 0..150.
ColourRange MakeColourRange(uint32_t colour, int radius);

// The shift everywhere, or only near the range's colour when `range` is given.
void ApplyHueSaturation(const PixelJob& job, HlsShift shift, const ColourRange* range);

}  // namespace pelio
