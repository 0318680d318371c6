// The tone corrections as operations. Portable.
#include "core/ops/tone_operations.h"

#include <algorithm>

namespace pelio {

void LevelsBounds::SetLow(int m, int value) { low[size_t(m)] = ClampLevelsLow(value, high[size_t(m)]); }

void LevelsBounds::SetHigh(int m, int value) { high[size_t(m)] = ClampLevelsHigh(value, low[size_t(m)]); }

bool LevelsBounds::Neutral() const {
    if (mode == kLevelsAllChannels) return low[3] == 0 && high[3] == 255;
    for (int c = 0; c < 3; ++c)
        if (low[size_t(c)] != 0 || high[size_t(c)] != 255) return false;
    return true;
}

void PrepareLevels(const PixelJob& job, LevelsPlan& plan) {
    plan.histograms = ComputeHistograms(job);
    plan.width = job.width;
    plan.height = job.height;
}

void SetAutoLevels(const LevelsPlan& plan, int mode, LevelsBounds& bounds) {
    const Histograms& h = plan.histograms;
    const std::array<uint32_t, 256>* counts[] = {&h.blue, &h.green, &h.red, &h.sum};
    mode = std::clamp(mode, 0, 3);
    int low = 0, high = 255;
    AutoLevels(*counts[mode], plan.width, plan.height, low, high);
    bounds.SetLow(mode, low);
    bounds.SetHigh(mode, high);
}

void ApplyLevelsBounds(const PixelJob& job, const LevelsPlan& plan, const LevelsBounds& b) {
    if (b.mode == kLevelsAllChannels) {
        ApplyLevels(job, plan.tables, b.low[3], b.high[3], kLevelsAllChannels);
        return;
    }
    // The three channels in one pass.
    std::array<std::array<uint8_t, 256>, 3> maps;
    for (int c = 0; c < 3; ++c) maps[size_t(c)] = LevelsMap(plan.tables, b.low[size_t(c)], b.high[size_t(c)]);
    ApplyChannelTables(job, maps[2].data(), maps[1].data(), maps[0].data());
}

int ToneLimit(ToneKind kind) { return kind == ToneKind::Brightness ? 255 : 100; }

int ClampToneValue(ToneKind kind, int value) { return std::clamp(value, -ToneLimit(kind), ToneLimit(kind)); }

ToneValues ClampTone(ToneKind kind, ToneValues v) {
    return {ClampToneValue(kind, v.red), ClampToneValue(kind, v.green), ClampToneValue(kind, v.blue)};
}

void PrepareTone(const PixelJob& job, ToneKind kind, TonePlan& plan) {
    plan.kind = kind;
    if (kind == ToneKind::Contrast) plan.contrast = ContrastTables(MeanLuma(job));
}

void ApplyTone(const PixelJob& job, const TonePlan& plan, const ToneValues& v) {
    switch (plan.kind) {
    case ToneKind::Gamma: ApplyGamma(job, v.red, v.green, v.blue); return;
    case ToneKind::Brightness: ApplyBrightness(job, v.red, v.green, v.blue); return;
    case ToneKind::Contrast: ApplyContrast(job, plan.contrast, v.red, v.green, v.blue); return;
    }
}

}  // namespace pelio
