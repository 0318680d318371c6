// Neighbourhood filters: the box blurs, the Gaussian blur, the unsharp mask and the soft
// focus mix, over 24-bit pictures. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/ops/pixel_job.h"
#include "core/ops/scratch.h"

namespace pelio {

// Division by 9 and 25 rounded, the sharpening gain and the clamp, as tables.
struct FilterTables {
    std::array<uint8_t, 2296> divide9{};
    std::array<uint8_t, 6376> divide25{};
    std::array<std::array<int16_t, 256>, 101> gain{};  // [level][d + 128] = (level × d) >> 3
    std::array<uint8_t, 3443> clamp{};                 // [k + 1600]
    FilterTables();
};
const FilterTables& Filters();

// The job's source blurred over 3 × 3 (5 × 5) neighbours with edge replication, mixed into
// the target by `weight` of 255 through the blend table; `scratch` keeps a few rows of sums
// between calls.
void Box3x3(const PixelJob& job, int weight, ScratchBytes& scratch);
void Box5x5(const PixelJob& job, int weight, ScratchBytes& scratch);
void Box3x3(const PixelJob& job, int weight);
void Box5x5(const PixelJob& job, int weight);

// The Gaussian blur of `radius` (lowered to fit the picture) from the job's source into its
// target, through `temporary` (width × height × 3 bytes).
void GaussianBlur(const PixelJob& job, ScratchBytes& temporary, int radius);

// The normalised Gaussian weights of a radius (offsets 0..R), adding up to at least 2^c, and
// their shift c.
struct GaussianWeights {
    std::vector<int> weight;
    int shift = 0;
};
GaussianWeights GaussianWeightsFor(int radius);

// The unsharp mask's difference picture (source − 5 × 5 blur, clamped to −128..127), one
// signed byte per sample in rows of width × 3.
std::vector<int8_t> PrepareUnsharp(const PixelJob& job);
void ApplyUnsharp(const PixelJob& job, const std::vector<int8_t>& difference, int strength, int threshold);

// Soft focus: `level` of 255 of the blurred picture (rows of the job's stride) mixed with the
// source.
void MixSoftFocus(const PixelJob& job, int level, const std::vector<uint8_t>& blurred);

}  // namespace pelio
