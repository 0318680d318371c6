// The lookup tables and kernels of the tone corrections: levels, gamma, brightness,
// contrast, and the histograms with the automatic levels. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/ops/pixel_job.h"

namespace pelio {

// Levels: for every range r = high − low (1..255) a table over j = x − low (−254..255).
class LevelsTables {
public:
    LevelsTables();
    uint8_t Map(int low, int high, int x) const { return rows_[size_t(high - low - 1) * kRow + size_t(x - low + 254)]; }
    const uint8_t* Row(int range) const { return rows_.data() + size_t(range - 1) * kRow + 254; }  // index by j

private:
    static constexpr size_t kRow = 510;
    std::vector<uint8_t> rows_;
};

// 201 tables of 256 bytes for the values −100..100 (gamma, contrast); index value + 100.
using ValueTables = std::array<std::array<uint8_t, 256>, 201>;

// Gamma: the exponent cot θ with θ = 5° + floor(2(v + 100) / 5)°.
const ValueTables& GammaTables();
// Brightness: x + b clamped, indexed by k + 255 for k = −255..510.
const std::array<uint8_t, 766>& BrightnessTable();
// The source's mean luma (weights 117, 601, 306 per 1024, summed by rows).
int MeanLuma(const PixelJob& job);
// Contrast about the mean luma `mean`.
ValueTables ContrastTables(int mean);

// The levels of `low`..`high` as a table over the pixel value x: T[high − low][x − low].
std::array<uint8_t, 256> LevelsMap(const LevelsTables& tables, int low, int high);

// Per-channel kernels from the job's source into its target (8 bits: palette to palette).
// Levels: channel 0, 1, 2 (blue, green, red) alone, or 3 for all three.
void ApplyLevels(const PixelJob& job, const LevelsTables& tables, int low, int high, int channel);
// Each channel through its own table.
void ApplyChannelTables(const PixelJob& job, const uint8_t* red, const uint8_t* green, const uint8_t* blue);
void ApplyGamma(const PixelJob& job, int red, int green, int blue);
void ApplyBrightness(const PixelJob& job, int red, int green, int blue);
void ApplyContrast(const PixelJob& job, const ValueTables& tables, int red, int green, int blue);

// Histograms of the source's three channels (through the palette for 8 bits).
struct Histograms {
    std::array<uint32_t, 256> blue{}, green{}, red{}, sum{};
};
Histograms ComputeHistograms(const PixelJob& job);

// Bar tops of the histogram graph for channel mode 0..3 (3: the sum), scaled by the largest
// count of the levels 1..254.
std::array<int, 256> HistogramBarTops(const Histograms& h, int mode);

// The automatic setting over a histogram of a width × height image: the smallest level whose
// running count passes (h × w × 3) >> 8, and the largest from the top.
void AutoLevels(const std::array<uint32_t, 256>& counts, int width, int height, int& low, int& high);
// The Min and Max fields' clamps.
int ClampLevelsLow(int value, int high);
int ClampLevelsHigh(int value, int low);

}  // namespace pelio
