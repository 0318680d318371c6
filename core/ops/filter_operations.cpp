// The neighbourhood filters as operations. Portable.
#include "core/ops/filter_operations.h"

#include <algorithm>
#include <new>

#include "core/ops/filters.h"

namespace pelio {

namespace {

constexpr int kBoxWeightStep = 25;  // a box blur's level 10 mixes in 250 of 255
constexpr int kSoftFocusRadius = 20;

}  // namespace

UnsharpSetting ClampUnsharp(UnsharpSetting s) {
    return {std::clamp(s.strength, 0, kMaxUnsharp), std::clamp(s.threshold, 0, kMaxUnsharp)};
}

bool PrepareUnsharpMask(const PixelJob& job, UnsharpPlan& plan) {
    try {
        plan.difference = PrepareUnsharp(job);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void ApplyUnsharpMask(const PixelJob& job, const UnsharpPlan& plan, UnsharpSetting s) {
    ApplyUnsharp(job, plan.difference, s.strength, s.threshold);
}

bool KnownBlurKind(int kind) { return kind >= 0 && kind <= static_cast<int>(BlurKind::Gaussian); }

int BlurLevelLimit(BlurKind kind) { return kind == BlurKind::Gaussian ? 20 : 10; }

int ClampBlurLevel(BlurKind kind, int level) { return std::clamp(level, 0, BlurLevelLimit(kind)); }

bool ApplyBlur(const PixelJob& job, BlurPlan& plan, BlurSetting s) {
    try {
        switch (s.kind) {
        case BlurKind::Box3x3: Box3x3(job, s.level * kBoxWeightStep, plan.temporary); return true;
        case BlurKind::Box5x5: Box5x5(job, s.level * kBoxWeightStep, plan.temporary); return true;
        case BlurKind::Gaussian: GaussianBlur(job, plan.temporary, s.level); return true;
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

int ClampSoftFocus(int level) { return std::clamp(level, 0, kMaxSoftFocus); }

bool PrepareSoftFocus(const PixelJob& job, SoftFocusPlan& plan) {
    try {
        plan.blurred.resize(size_t(job.stride) * size_t(job.height));
        PixelJob blur = job;
        blur.target = plan.blurred.data();
        GaussianBlur(blur, plan.temporary, kSoftFocusRadius);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void ApplySoftFocus(const PixelJob& job, const SoftFocusPlan& plan, int level) {
    MixSoftFocus(job, level, plan.blurred);
}

}  // namespace pelio
