// The unsharp mask, the blur and the soft focus as operations: their parameters as the
// controls store them, what is neutral, what is prepared from the source and the pass that
// makes the working picture. All three work on 24 bits (kFilterNeeds). Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/ops/pixel_job.h"
#include "core/ops/scratch.h"

namespace pelio {

// Unsharp mask.
inline constexpr int kMaxUnsharp = 100;  // strength and threshold

struct UnsharpSetting {
    int strength = 0;
    int threshold = 0;
    bool Neutral() const { return strength == 0; }
};
UnsharpSetting ClampUnsharp(UnsharpSetting setting);

struct UnsharpPlan {
    std::vector<int8_t> difference;  // source − 5 × 5 box blur
};
// False when memory is short.
bool PrepareUnsharpMask(const PixelJob& job, UnsharpPlan& plan);
void ApplyUnsharpMask(const PixelJob& job, const UnsharpPlan& plan, UnsharpSetting setting);

// Blur.
enum class BlurKind : int { Box3x3 = 0, Box5x5 = 1, Gaussian = 2 };
bool KnownBlurKind(int kind);
// The level runs to 10 for the box kinds, to 20 for the Gaussian (its radius).
int BlurLevelLimit(BlurKind kind);
int ClampBlurLevel(BlurKind kind, int level);

struct BlurSetting {
    BlurKind kind = BlurKind::Box5x5;
    int level = 0;
    bool Neutral() const { return level == 0; }
};
struct BlurPlan {
    ScratchBytes temporary;  // the Gaussian's passes, the box's rows of sums
};
// The box kinds mix their blur in by level × 25 of 255. False for an unknown kind or when
// memory is short.
bool ApplyBlur(const PixelJob& job, BlurPlan& plan, BlurSetting setting);

// Soft focus.
inline constexpr int kMaxSoftFocus = 200;
int ClampSoftFocus(int level);
inline bool SoftFocusNeutral(int level) { return level == 0; }

struct SoftFocusPlan {
    std::vector<uint8_t> blurred;  // the source's Gaussian blur of radius 20, rows of the job's stride
    ScratchBytes temporary;
};
// False when memory is short.
bool PrepareSoftFocus(const PixelJob& job, SoftFocusPlan& plan);
// `level` of 255 of the blurred picture mixed with the source.
void ApplySoftFocus(const PixelJob& job, const SoftFocusPlan& plan, int level);

}  // namespace pelio
