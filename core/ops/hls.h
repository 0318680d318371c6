// Hue, lightness and saturation shifts in the integer HLS model, everywhere or near a colour.
// Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/ops/pixel_job.h"

namespace pelio {

struct Hls {
    int h = 0, l = 0, s = 0;
};

// The conversions of the model (exact integer rules, from the tables).
Hls ToHls(uint8_t red, uint8_t green, uint8_t blue);
void FromHls(const Hls& hls, uint8_t& red, uint8_t& green, uint8_t& blue);

struct HlsShift {
    int hue = 0, lightness = 0, saturation = 0;
    bool Neutral() const { return hue == 0 && lightness == 0 && saturation == 0; }
};

// The colour range: weights W[D] for squared distances D = 0..3r².
std::vector<uint8_t> RangeWeights(int radius);

// Every pixel (or palette entry) shifted.
void AdjustHls(const PixelJob& job, HlsShift shift);
// Only near `colour` (0x00BBGGRR), fading out at a squared distance of 3r².
void AdjustHlsInRange(const PixelJob& job, HlsShift shift, uint32_t colour, const std::vector<uint8_t>& weights);

}  // namespace pelio
