// What the Options dialog's pages show and how Apply turns them into settings: the order of
// the steps, the position limits, the display gamma, and whether the image is reloaded.
// Portable.
#pragma once
#include <array>
#include <string>

#include "core/settings/settings.h"

namespace pelio {

struct OptionsForm {
    // "起動・表示"
    int start = 0;  // 0 main window, 1 Edit window, 2 full screen
    bool dual = false;
    bool posCtrl = false;
    std::array<std::wstring, 4> position;  // left, top, right, bottom as typed
    bool gamma = true, alpha = true, fbg = true;
    std::wstring displayGamma;  // "%.3f"
    uint8_t bgR = 255, bgG = 255, bgB = 255;
    int time = 1;
    bool repeat = false;
    // "ズーム"
    bool quality = true;  // "画質優先"
    bool nmZoomKeep = false, flZoomKeep = false, swZoomKeep = false;
    bool vSmall = true, nvLarge = false, fsDown = true, fsUp = false, swSmall = true, swLarge = false;
    bool wheelRev = false;
    // "マウス・キーボード"
    bool wheelBrowse = false, fsWheelBrowse = false, swWheelBrowse = false;
    bool fsAreaZm = true, swAreaZm = true;
    int dClick = 2, lrClick = 1;
    // "ツール": a row's path (empty: not registered) and the text of its name field
    std::array<std::wstring, kToolCount> toolPath, toolName;
    // "プラグイン"
    std::wstring pluginFolder;
    // "登録"
    bool noRecycMsg = false, mouseInfo = true;
    int tab = 0;
};

// The pages filled from the settings; `start` and `dual` come from the settings file.
OptionsForm FormFromSettings(const Settings& s, int start, int dual);

// The display gamma field: the number × 1000, truncated, at least 1.
int DisplayGammaFromField(const std::wstring& text);

// Apply's steps 2 … 10 on the in-memory settings. A right (bottom) position less than the left
// (top) plus `minWindowWidth` becomes that; the form's field text is corrected too, and the
// result says which fields to rewrite.
struct AppliedPositions {
    bool rightCorrected = false, bottomCorrected = false;
};
AppliedPositions ApplyForm(OptionsForm& form, Settings& s, int minWindowWidth);

// After Apply, with an image shown: when it is modified, has a saved-result preview or the
// display settings are the reference's, a repaint; otherwise the new settings become the
// reference and the image's file is reloaded (repainted when it has none).
struct AfterApply {
    bool repaint = false, reload = false, newReference = false;
};
AfterApply ImageAfterApply(bool imageShown, bool modified, bool previewShown, bool hasPath,
                           const ImageReadSettings& reference, const ImageReadSettings& now);

}  // namespace pelio
