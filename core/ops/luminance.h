// The luminance histogram of the histogram display. Portable.
#pragma once
#include <array>
#include <cstdint>

#include "core/ops/pixel_job.h"

namespace pelio {

// A pixel's luminance: TR[red] + TG[green] + TB[blue], each weight rounded on its own.
uint8_t Luminance(uint8_t red, uint8_t green, uint8_t blue);

using LuminanceCounts = std::array<uint32_t, 256>;
void LuminanceHistogram24(const PixelJob& job, LuminanceCounts& counts);
void LuminanceHistogram8(const PixelJob& job, LuminanceCounts& counts);  // through the palette
// Of an 8- or 24-bit picture; false for another depth.
bool LuminanceHistogram(const Image& image, LuminanceCounts& counts);

// Bar tops of the 150-pixel graph, scaled by the largest count of the values 1..254.
std::array<int, 256> LuminanceBarTops(const LuminanceCounts& counts);

}  // namespace pelio
