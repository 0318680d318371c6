// What the codecs take from the settings: the load options of section "LImg" and the save
// settings of section "SImg" (their keys and checks are the settings schema's). Portable.
#pragma once
#include <cstdint>

namespace pelio {

// Section "LImg".
struct ImageReadSettings {
    bool gamma = true;
    int dispGam = 2200;
    bool alpha = true;
    bool fbg = true;
    uint8_t bgR = 255, bgG = 255, bgB = 255;
    friend bool operator==(const ImageReadSettings&, const ImageReadSettings&) = default;
};

// Section "SImg".
struct ImageSaveSettings {
    int format = 0;
    int depth = 24;
    bool gray = false;
    int dither = 0;
    int level = 9;
    int filter = 0;
    bool interlace = false;
    bool gamma = false;
    int saveGam = 2200;
    uint8_t alphaR = 255, alphaG = 255, alphaB = 255;
    int quality = 75;
    int sampling = 0;
    bool progressive = false;
    int jMarker = 2;
    bool jpgTrim = true;
    bool jpgLimit = false;
    int jpgLmtVal = 100;
    friend bool operator==(const ImageSaveSettings&, const ImageSaveSettings&) = default;
};

}  // namespace pelio
