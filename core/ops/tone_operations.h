// The tone corrections as operations: their parameters as the controls store them, what is
// neutral, what is prepared from the source and the pass that makes the working picture.
// Portable.
#pragma once
#include <array>

#include "core/ops/pixel_job.h"
#include "core/ops/tone_tables.h"

namespace pelio {

// Histogram correction. Modes 0, 1, 2 correct blue, green or red by that channel's bounds;
// mode 3 all three alike.
inline constexpr int kLevelsAllChannels = 3;

struct LevelsBounds {
    int mode = kLevelsAllChannels;
    std::array<int, 4> low{0, 0, 0, 0};           // by mode
    std::array<int, 4> high{255, 255, 255, 255};  // by mode; always above low
    // A mode's Min and Max fields, each clamped against the mode's other bound.
    void SetLow(int m, int value);
    void SetHigh(int m, int value);
    // Mode 3 at 0..255, or a channel mode with every channel at 0..255.
    bool Neutral() const;
};

// Prepared at the start: the tables and the source's histograms.
struct LevelsPlan {
    LevelsTables tables;
    Histograms histograms;
    int width = 0, height = 0;
};
void PrepareLevels(const PixelJob& job, LevelsPlan& plan);

// The automatic setting of a mode from its histogram (the sum in mode 3), stored as the
// fields store it, the low bound first.
void SetAutoLevels(const LevelsPlan& plan, int mode, LevelsBounds& bounds);

// The whole working picture of the bounds: in mode 3 every channel by that mode's bounds, in
// a channel mode each channel by its own, so that nothing of an earlier pass remains.
void ApplyLevelsBounds(const PixelJob& job, const LevelsPlan& plan, const LevelsBounds& bounds);

// Gamma, brightness and contrast: one value per channel.
enum class ToneKind : int { Gamma = 0, Brightness = 1, Contrast = 2 };

// The values run from −limit to limit: 100, or 255 for the brightness.
int ToneLimit(ToneKind kind);

struct ToneValues {
    int red = 0, green = 0, blue = 0;
    bool Neutral() const { return red == 0 && green == 0 && blue == 0; }
};
// A value clamped to the kind's range, as its field stores it.
int ClampToneValue(ToneKind kind, int value);
ToneValues ClampTone(ToneKind kind, ToneValues values);

// Prepared at the start: for the contrast its tables about the source's mean luma.
struct TonePlan {
    ToneKind kind = ToneKind::Gamma;
    ValueTables contrast{};
};
void PrepareTone(const PixelJob& job, ToneKind kind, TonePlan& plan);
void ApplyTone(const PixelJob& job, const TonePlan& plan, const ToneValues& values);

}  // namespace pelio
