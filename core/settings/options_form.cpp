// Options form. Portable.
#include "core/settings/options_form.h"

#include <cstdlib>

#include "core/settings/save_panel.h"

namespace pelio {

OptionsForm FormFromSettings(const Settings& s, int start, int dual) {
    OptionsForm f;
    f.start = start;
    f.dual = dual == 1;
    const ViewerSettings& v = s.viewer;
    f.posCtrl = v.posCtrl;
    f.position = {std::to_wstring(v.posL), std::to_wstring(v.posT), std::to_wstring(v.posR), std::to_wstring(v.posB)};
    const ImageReadSettings& r = s.read;
    f.gamma = r.gamma;
    f.alpha = r.alpha;
    f.fbg = r.fbg;
    f.displayGamma = GammaText(r.dispGam);
    f.bgR = r.bgR;
    f.bgG = r.bgG;
    f.bgB = r.bgB;
    f.time = v.time;
    f.repeat = v.repeat;
    f.quality = v.sthMode != 3;
    f.nmZoomKeep = v.nmZoom;
    f.flZoomKeep = v.flZoom;
    f.swZoomKeep = s.edit.swZoom;
    f.vSmall = v.vSmall;
    f.nvLarge = v.nvLarge;
    f.fsDown = v.fsDown;
    f.fsUp = v.fsUp;
    f.swSmall = s.edit.swSmall;
    f.swLarge = s.edit.swLarge;
    f.wheelRev = s.app.wheelRev;
    f.wheelBrowse = v.wheel;
    f.fsWheelBrowse = v.fsWheel;
    f.swWheelBrowse = s.edit.swWheel;
    f.fsAreaZm = v.fsAreaZm;
    f.swAreaZm = s.edit.swAreaZm;
    f.dClick = s.app.dClick;
    f.lrClick = s.app.lrClick;
    f.toolPath = s.path.app;
    f.toolName = s.path.appName;
    f.pluginFolder = s.path.spi;
    f.noRecycMsg = s.app.noRecycMsg;
    f.mouseInfo = s.app.mouseInfo;
    f.tab = s.app.optTab;
    return f;
}

int DisplayGammaFromField(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    const double value = std::strtod(narrow.c_str(), nullptr) * 1000;
    if (!(value >= 1)) return 1;
    return value > 1e9 ? 1000000000 : static_cast<int>(value);
}

AppliedPositions ApplyForm(OptionsForm& f, Settings& s, int minWindowWidth) {
    ViewerSettings& v = s.viewer;
    AppliedPositions applied;
    v.posCtrl = f.posCtrl;
    v.posL = FieldNumber(f.position[0]);
    v.posT = FieldNumber(f.position[1]);
    v.posR = FieldNumber(f.position[2]);
    v.posB = FieldNumber(f.position[3]);
    if (v.posR < v.posL + minWindowWidth) {
        v.posR = v.posL + minWindowWidth;
        f.position[2] = std::to_wstring(v.posR);
        applied.rightCorrected = true;
    }
    if (v.posB < v.posT + minWindowWidth) {
        v.posB = v.posT + minWindowWidth;
        f.position[3] = std::to_wstring(v.posB);
        applied.bottomCorrected = true;
    }
    ImageReadSettings& r = s.read;
    r.gamma = f.gamma;
    r.alpha = f.alpha;
    r.fbg = f.fbg;
    r.bgR = f.bgR;
    r.bgG = f.bgG;
    r.bgB = f.bgB;
    r.dispGam = DisplayGammaFromField(f.displayGamma);
    v.time = f.time;
    v.repeat = f.repeat;
    v.sthMode = f.quality ? 4 : 3;
    v.nmZoom = f.nmZoomKeep;
    v.flZoom = f.flZoomKeep;
    s.edit.swZoom = f.swZoomKeep;
    v.vSmall = f.vSmall;
    v.nvLarge = f.nvLarge;
    v.fsDown = f.fsDown;
    v.fsUp = f.fsUp;
    s.edit.swSmall = f.swSmall;
    s.edit.swLarge = f.swLarge;
    s.app.wheelRev = f.wheelRev;
    v.wheel = f.wheelBrowse;
    v.fsWheel = f.fsWheelBrowse;
    s.edit.swWheel = f.swWheelBrowse;
    v.fsAreaZm = f.fsAreaZm;
    s.edit.swAreaZm = f.swAreaZm;
    s.app.dClick = f.dClick;
    s.app.lrClick = f.lrClick;
    for (int i = 0; i < kToolCount; ++i) {
        const bool registered = !f.toolPath[size_t(i)].empty();
        s.path.app[size_t(i)] = registered ? f.toolPath[size_t(i)] : std::wstring();
        s.path.appName[size_t(i)] = registered ? f.toolName[size_t(i)] : std::wstring();
    }
    s.path.spi = f.pluginFolder;
    s.app.noRecycMsg = f.noRecycMsg;
    s.app.mouseInfo = f.mouseInfo;
    s.app.optTab = f.tab;
    return applied;
}

AfterApply ImageAfterApply(bool imageShown, bool modified, bool previewShown, bool hasPath,
                           const ImageReadSettings& reference, const ImageReadSettings& now) {
    AfterApply after;
    if (!imageShown) return after;
    if (modified || previewShown || reference == now) {
        after.repaint = true;
        return after;
    }
    after.newReference = true;
    after.reload = hasPath;
    after.repaint = !hasPath;
    return after;
}

}  // namespace pelio
