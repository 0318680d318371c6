// imgtool option parsing. Portable.
#include "tools/imgtool/options.h"

#include <charconv>

namespace pelio::imgtool {

bool ToInt(const std::string& s, int& out) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool ToRgb(const std::string& s, uint8_t& r, uint8_t& g, uint8_t& b) {
    int v[3];
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t comma = s.find(',', start);
        if ((i < 2) != (comma != std::string::npos)) return false;
        if (!ToInt(s.substr(start, comma - start), v[i]) || v[i] < 0 || v[i] > 255) return false;
        start = comma + 1;
    }
    r = static_cast<uint8_t>(v[0]);
    g = static_cast<uint8_t>(v[1]);
    b = static_cast<uint8_t>(v[2]);
    return true;
}

namespace {

bool ToOnOff(const std::string& s, bool& out) {
    if (s == "on" || s == "1") out = true;
    else if (s == "off" || s == "0") out = false;
    else return false;
    return true;
}

}  // namespace

int SaveFormatByName(const std::string& name) {
    static const char* const kNames[] = {"bmp", "png", "jpeg", "tiff", "gif", "jpegtrans"};
    for (int i = 0; i < 6; ++i)
        if (name == kNames[i]) return i;
    if (name == "jpg") return 2;
    if (name == "tif") return 3;
    int n = 0;
    return ToInt(name, n) && n >= 0 && n <= 5 ? n : -1;
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    ImageSaveSettings& s = o.save.settings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        bool ok = true, takesValue = true;
        if (a == "--gamma") ok = ToOnOff(value, o.load.gamma);
        else if (a == "--display-gamma") ok = ToInt(value, o.load.displayGamma);
        else if (a == "--alpha") ok = ToOnOff(value, o.load.alpha);
        else if (a == "--file-bg") ok = ToOnOff(value, o.load.fileBackground);
        else if (a == "--bg") ok = ToRgb(value, o.load.background.red, o.load.background.green, o.load.background.blue);
        else if (a == "--format") {
            s.format = SaveFormatByName(value);
            ok = s.format >= 0;
            o.formatGiven = true;
        } else if (a == "--depth") ok = ToInt(value, s.depth);
        else if (a == "--dither") ok = ToInt(value, s.dither);
        else if (a == "--level") ok = ToInt(value, s.level);
        else if (a == "--filter") ok = ToInt(value, s.filter);
        else if (a == "--save-gamma") {
            ok = ToInt(value, s.saveGam);
            s.gamma = true;
        } else if (a == "--transparent") {
            ok = ToRgb(value, s.alphaR, s.alphaG, s.alphaB);
            o.save.transparent = true;
        } else if (a == "--quality") ok = ToInt(value, s.quality);
        else if (a == "--sampling") ok = ToInt(value, s.sampling);
        else if (a == "--limit") {
            ok = ToInt(value, s.jpgLmtVal);
            s.jpgLimit = true;
        } else if (a == "--comment") {
            o.save.writeComment = true;
            o.save.comment = value.substr(0, 10000);
        } else if (a == "--marker") ok = ToInt(value, s.jMarker);
        else if (a == "--turn") ok = ToInt(value, o.turn) && o.turn >= 0 && o.turn <= 5;
        else {
            takesValue = false;
            if (a == "--gray") s.gray = true;
            else if (a == "--interlace") s.interlace = true;
            else if (a == "--progressive") s.progressive = true;
            else if (a == "--no-trim") s.jpgTrim = false;
            else {
                error = "unknown option " + a;
                return false;
            }
        }
        if (takesValue) {
            if (!hasValue || !ok) {
                error = "bad or missing value for " + a;
                return false;
            }
            ++i;
        }
    }
    return true;
}

}  // namespace pelio::imgtool
