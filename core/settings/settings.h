// The settings schema: sections, keys, defaults and the checks applied on load. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/image/image_settings.h"
#include "core/settings/profile.h"
#include "core/view/window_placement.h"

namespace pelio {

// Section "Awin" (Start and Dual are not held in memory; see ReadStartWindow/ReadDual).
struct AppSettings {
    int dClick = 2;
    int lrClick = 1;
    bool top = false;
    bool wheelRev = false;
    int optTab = 0;
    bool noRecycMsg = false;
    bool xpOldReg = false;
    bool mouseInfo = true;
};

// Section "Path".
inline constexpr int kToolCount = 8;
struct PathSettings {
    std::wstring open;
    std::wstring spi;
    std::array<std::wstring, kToolCount> app;      // program path of tool 1..8
    std::array<std::wstring, kToolCount> appName;  // display name of tool 1..8
};

// Section "Vwin".
struct ViewerSettings {
    int bgColor = 2;
    int sthMode = 4;  // 3 COLORONCOLOR, 4 HALFTONE
    bool capBar = true;
    bool frame = true;
    bool vtBar = true;
    bool nmZoom = false;
    bool flZoom = false;
    bool vSmall = true;
    bool nvLarge = false;
    bool fsDown = true;
    bool fsUp = false;
    bool wheel = false;
    bool fsWheel = false;
    bool fsAreaZm = true;
    int time = 1;
    bool repeat = false;
    bool posCtrl = false;
    int posL = 0, posT = 0, posR = 0, posB = 0;
};

// Section "Swin". The window rectangle is read by the Edit window itself (LoadEditPlacement).
struct EditSettings {
    int max = 0;
    int x = 0, y = 0, w = 800, h = 600;
    int rebarRow = 2;
    int bgColor = 1;
    bool swZoom = false;
    bool swSmall = true;
    bool swLarge = false;
    bool swWheel = false;
    bool swAreaZm = true;
    bool scrlBar = true;
};

struct Settings {
    AppSettings app;
    PathSettings path;
    ViewerSettings viewer;
    EditSettings edit;
    ImageReadSettings read;
    ImageSaveSettings save;
};

// What the loaders need to know of the machine.
struct SettingsEnvironment {
    std::function<bool(const std::wstring&)> isDirectory;
    std::wstring documentsFolder;  // start folder of the Open dialog when "Open" is not a folder
};

// The four loaders, called in this order at start-up.
void LoadAppSettings(ProfileStore& store, const SettingsEnvironment& env, Settings& s);
void LoadViewerSettings(ProfileStore& store, Settings& s);
void LoadEditSettings(ProfileStore& store, Settings& s);
void LoadImageSettings(ProfileStore& store, Settings& s);
void LoadAllSettings(ProfileStore& store, const SettingsEnvironment& env, Settings& s);

// "Awin"/"Start" (0 Viewer, 1 Edit window, 2 full screen) and "Awin"/"Dual", read from the
// file where they are needed.
int ReadStartWindow(ProfileStore& store);
int ReadDual(ProfileStore& store);

// The Edit window's restored rectangle from "Swin": size clamped to the work area, position
// pushed back inside it (the defaults centre the window on a screen of screenW × screenH).
void LoadEditPlacement(ProfileStore& store, int screenW, int screenH, const ScreenRect& workArea,
                       EditSettings& edit);

// Writes every section at exit: Start and Dual kept as the file has them, the sections
// deleted whole and written again in their fixed order.
void SaveAllSettings(ProfileStore& store, const Settings& s);

}  // namespace pelio
