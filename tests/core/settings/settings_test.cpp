// Settings schema: defaults, the checks on load, and the save at exit.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/settings/memory_profile.h"
#include "core/settings/settings.h"

namespace pelio {
namespace {

SettingsEnvironment Env() {
    return {[](const std::wstring& p) { return p == L"C:\\Pictures"; }, L"C:\\Docs"};
}

Settings LoadFrom(const std::wstring& ini) {
    MemoryProfile p(ini);
    Settings s;
    LoadAllSettings(p, Env(), s);
    return s;
}

using Getter = std::function<int(const Settings&)>;

struct KeyCase {
    const wchar_t* section;
    const wchar_t* key;
    Getter get;
    int def;  // with no file
};

// Every key with its default.
const KeyCase kKeys[] = {
    {L"Awin", L"DClick", [](const Settings& s) { return s.app.dClick; }, 2},
    {L"Awin", L"LRClick", [](const Settings& s) { return s.app.lrClick; }, 1},
    {L"Awin", L"Top", [](const Settings& s) { return int{s.app.top}; }, 0},
    {L"Awin", L"WheelRev", [](const Settings& s) { return int{s.app.wheelRev}; }, 0},
    {L"Awin", L"OptTab", [](const Settings& s) { return s.app.optTab; }, 0},
    {L"Awin", L"NoRecycMsg", [](const Settings& s) { return int{s.app.noRecycMsg}; }, 0},
    {L"Awin", L"XPOldReg", [](const Settings& s) { return int{s.app.xpOldReg}; }, 0},
    {L"Awin", L"MouseInfo", [](const Settings& s) { return int{s.app.mouseInfo}; }, 1},
    {L"Vwin", L"BgColor", [](const Settings& s) { return s.viewer.bgColor; }, 2},
    {L"Vwin", L"SthMode", [](const Settings& s) { return s.viewer.sthMode; }, 4},
    {L"Vwin", L"CapBar", [](const Settings& s) { return int{s.viewer.capBar}; }, 1},
    {L"Vwin", L"Frame", [](const Settings& s) { return int{s.viewer.frame}; }, 1},
    {L"Vwin", L"VTBar", [](const Settings& s) { return int{s.viewer.vtBar}; }, 1},
    {L"Vwin", L"Repeat", [](const Settings& s) { return int{s.viewer.repeat}; }, 0},
    {L"Vwin", L"Time", [](const Settings& s) { return s.viewer.time; }, 1},
    {L"Vwin", L"NMZoom", [](const Settings& s) { return int{s.viewer.nmZoom}; }, 0},
    {L"Vwin", L"FLZoom", [](const Settings& s) { return int{s.viewer.flZoom}; }, 0},
    {L"Vwin", L"VSmall", [](const Settings& s) { return int{s.viewer.vSmall}; }, 1},
    {L"Vwin", L"NVLarge", [](const Settings& s) { return int{s.viewer.nvLarge}; }, 0},
    {L"Vwin", L"FSDown", [](const Settings& s) { return int{s.viewer.fsDown}; }, 1},
    {L"Vwin", L"FSUp", [](const Settings& s) { return int{s.viewer.fsUp}; }, 0},
    {L"Vwin", L"Wheel", [](const Settings& s) { return int{s.viewer.wheel}; }, 0},
    {L"Vwin", L"FSWheel", [](const Settings& s) { return int{s.viewer.fsWheel}; }, 0},
    {L"Vwin", L"FSAreaZm", [](const Settings& s) { return int{s.viewer.fsAreaZm}; }, 1},
    {L"Vwin", L"PosCtrl", [](const Settings& s) { return int{s.viewer.posCtrl}; }, 0},
    {L"Vwin", L"PosL", [](const Settings& s) { return s.viewer.posL; }, 0},
    {L"Vwin", L"PosT", [](const Settings& s) { return s.viewer.posT; }, 0},
    {L"Vwin", L"PosR", [](const Settings& s) { return s.viewer.posR; }, 0},
    {L"Vwin", L"PosB", [](const Settings& s) { return s.viewer.posB; }, 0},
    {L"Swin", L"RebarRow", [](const Settings& s) { return s.edit.rebarRow; }, 2},
    {L"Swin", L"BgColor", [](const Settings& s) { return s.edit.bgColor; }, 1},
    {L"Swin", L"SWZoom", [](const Settings& s) { return int{s.edit.swZoom}; }, 0},
    {L"Swin", L"SWSmall", [](const Settings& s) { return int{s.edit.swSmall}; }, 1},
    {L"Swin", L"SWLarge", [](const Settings& s) { return int{s.edit.swLarge}; }, 0},
    {L"Swin", L"SWWheel", [](const Settings& s) { return int{s.edit.swWheel}; }, 0},
    {L"Swin", L"SWAreaZm", [](const Settings& s) { return int{s.edit.swAreaZm}; }, 1},
    {L"Swin", L"ScrlBar", [](const Settings& s) { return int{s.edit.scrlBar}; }, 1},
    {L"LImg", L"Gamma", [](const Settings& s) { return int{s.read.gamma}; }, 1},
    {L"LImg", L"DispGam", [](const Settings& s) { return s.read.dispGam; }, 2200},
    {L"LImg", L"Alpha", [](const Settings& s) { return int{s.read.alpha}; }, 1},
    {L"LImg", L"FBG", [](const Settings& s) { return int{s.read.fbg}; }, 1},
    {L"LImg", L"BGR", [](const Settings& s) { return int{s.read.bgR}; }, 255},
    {L"LImg", L"BGG", [](const Settings& s) { return int{s.read.bgG}; }, 255},
    {L"LImg", L"BGB", [](const Settings& s) { return int{s.read.bgB}; }, 255},
    {L"SImg", L"Format", [](const Settings& s) { return s.save.format; }, 0},
    {L"SImg", L"Depth", [](const Settings& s) { return s.save.depth; }, 24},
    {L"SImg", L"Gray", [](const Settings& s) { return int{s.save.gray}; }, 0},
    {L"SImg", L"Dither", [](const Settings& s) { return s.save.dither; }, 0},
    {L"SImg", L"Level", [](const Settings& s) { return s.save.level; }, 9},
    {L"SImg", L"Filter", [](const Settings& s) { return s.save.filter; }, 0},
    {L"SImg", L"Interlace", [](const Settings& s) { return int{s.save.interlace}; }, 0},
    {L"SImg", L"Gamma", [](const Settings& s) { return int{s.save.gamma}; }, 0},
    {L"SImg", L"SaveGam", [](const Settings& s) { return s.save.saveGam; }, 2200},
    {L"SImg", L"AlphaR", [](const Settings& s) { return int{s.save.alphaR}; }, 255},
    {L"SImg", L"AlphaG", [](const Settings& s) { return int{s.save.alphaG}; }, 255},
    {L"SImg", L"AlphaB", [](const Settings& s) { return int{s.save.alphaB}; }, 255},
    {L"SImg", L"Quality", [](const Settings& s) { return s.save.quality; }, 75},
    {L"SImg", L"Sampling", [](const Settings& s) { return s.save.sampling; }, 0},
    {L"SImg", L"Progressive", [](const Settings& s) { return int{s.save.progressive}; }, 0},
    {L"SImg", L"JMarker", [](const Settings& s) { return s.save.jMarker; }, 2},
    {L"SImg", L"JpgTrim", [](const Settings& s) { return int{s.save.jpgTrim}; }, 1},
    {L"SImg", L"JpgLimit", [](const Settings& s) { return int{s.save.jpgLimit}; }, 0},
    {L"SImg", L"JpgLmtVal", [](const Settings& s) { return s.save.jpgLmtVal; }, 100},
};

const KeyCase& KeyOf(const wchar_t* section, const wchar_t* key) {
    for (const KeyCase& k : kKeys)
        if (std::wstring(k.section) == section && std::wstring(k.key) == key) return k;
    throw std::logic_error("unknown key");
}

TEST(Settings, EveryKeyTakesItsDefaultWithoutAFile) {
    Settings s = LoadFrom(L"");
    for (const KeyCase& k : kKeys) EXPECT_EQ(k.get(s), k.def) << k.section << L"/" << k.key;
    EXPECT_EQ(s.path.open, L"C:\\Docs");
    EXPECT_EQ(s.path.spi, L"");
}

TEST(Settings, ChecksOnLoad) {
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* stored;
        int expected;
    } cases[] = {
        // Booleans keep only their lowest bit.
        {L"Awin", L"Top", L"2", 0}, {L"Awin", L"Top", L"3", 1}, {L"Awin", L"MouseInfo", L"-2", 0},
        {L"Vwin", L"CapBar", L"0", 0}, {L"Swin", L"SWAreaZm", L"4", 0}, {L"SImg", L"Gray", L"7", 1},
        // Plain integers, no check.
        {L"Awin", L"DClick", L"99", 99}, {L"Awin", L"LRClick", L"-4", -4},
        {L"Vwin", L"PosL", L"-1280", -1280}, {L"Swin", L"RebarRow", L"0", 0},
        {L"LImg", L"DispGam", L"-5", -5}, {L"SImg", L"SaveGam", L"0", 0},
        {L"SImg", L"JpgLmtVal", L"0", 0},
        // Ranges.
        {L"Awin", L"OptTab", L"5", 5}, {L"Awin", L"OptTab", L"6", 0}, {L"Awin", L"OptTab", L"-1", -1},
        {L"Vwin", L"BgColor", L"5", 1}, {L"Vwin", L"BgColor", L"-1", 1}, {L"Vwin", L"BgColor", L"4", 4},
        {L"Vwin", L"BgColor", L"0", 0}, {L"Swin", L"BgColor", L"7", 1}, {L"Swin", L"BgColor", L"3", 3},
        {L"Vwin", L"SthMode", L"4", 4}, {L"Vwin", L"SthMode", L"0", 3}, {L"Vwin", L"SthMode", L"3", 3},
        {L"Vwin", L"SthMode", L"5", 3},
        {L"Vwin", L"Time", L"0", 1}, {L"Vwin", L"Time", L"61", 1}, {L"Vwin", L"Time", L"60", 60},
        {L"Vwin", L"Time", L"1", 1},
        {L"SImg", L"Format", L"5", 5}, {L"SImg", L"Format", L"6", 0}, {L"SImg", L"Format", L"-3", -3},
        {L"SImg", L"Depth", L"16", 24}, {L"SImg", L"Depth", L"4", 4}, {L"SImg", L"Depth", L"1", 1},
        {L"SImg", L"Depth", L"8", 8}, {L"SImg", L"Depth", L"0", 24}, {L"SImg", L"Depth", L"24", 24},
        {L"SImg", L"Dither", L"3", 3}, {L"SImg", L"Dither", L"4", 0}, {L"SImg", L"Dither", L"-1", 0},
        {L"SImg", L"Level", L"10", 9}, {L"SImg", L"Level", L"0", 0}, {L"SImg", L"Level", L"-2", -2},
        {L"SImg", L"Filter", L"6", 0}, {L"SImg", L"Filter", L"5", 5}, {L"SImg", L"Filter", L"-1", -1},
        {L"SImg", L"Quality", L"0", 75}, {L"SImg", L"Quality", L"101", 75},
        {L"SImg", L"Quality", L"100", 100}, {L"SImg", L"Quality", L"1", 1},
        {L"SImg", L"Sampling", L"3", 0}, {L"SImg", L"Sampling", L"2", 2}, {L"SImg", L"Sampling", L"-1", -1},
        {L"SImg", L"JMarker", L"3", 2}, {L"SImg", L"JMarker", L"0", 0}, {L"SImg", L"JMarker", L"-7", -7},
        // Colour components keep their low 8 bits.
        {L"LImg", L"BGR", L"256", 0}, {L"LImg", L"BGG", L"300", 44}, {L"LImg", L"BGB", L"-1", 255},
        {L"SImg", L"AlphaR", L"0x1FF", 255}, {L"SImg", L"AlphaG", L"12", 12},
        // Number formats of the profile functions.
        {L"Vwin", L"Time", L"0x10", 16}, {L"Vwin", L"Time", L"7 seconds", 7}, {L"Vwin", L"Time", L"x", 1},
    };
    for (const Case& c : cases) {
        std::wstring ini = std::wstring(L"[") + c.section + L"]\n" + c.key + L"=" + c.stored + L"\n";
        EXPECT_EQ(KeyOf(c.section, c.key).get(LoadFrom(ini)), c.expected)
            << c.section << L"/" << c.key << L"=" << c.stored;
    }
}

TEST(Settings, MissingDitherIsReadAsOutOfRangeAndBecomesZero) {
    // The key is read with the default 16, so neither a missing nor an odd value survives.
    EXPECT_EQ(LoadFrom(L"[SImg]\nDepth=8\n").save.dither, 0);
}

TEST(Settings, PathsAndTools) {
    Settings s = LoadFrom(
        L"[Path]\nOpen=C:\\Pictures\nSPI=C:\\Plugins\nAPP0=C:\\a.exe\nAN0=Tool A\nAPP7=z.exe\nAN7=Z\n");
    EXPECT_EQ(s.path.open, L"C:\\Pictures");
    EXPECT_EQ(s.path.spi, L"C:\\Plugins");
    EXPECT_EQ(s.path.app[0], L"C:\\a.exe");
    EXPECT_EQ(s.path.appName[0], L"Tool A");
    EXPECT_EQ(s.path.app[7], L"z.exe");
    EXPECT_EQ(s.path.appName[7], L"Z");
    EXPECT_EQ(s.path.app[3], L"");
    // An "Open" that is not an existing folder falls back to the Documents folder.
    EXPECT_EQ(LoadFrom(L"[Path]\nOpen=C:\\Gone\n").path.open, L"C:\\Docs");
}

TEST(Settings, StartAndDualAreReadFromTheFile) {
    MemoryProfile p(L"[Awin]\nStart=2\nDual=1\n");
    EXPECT_EQ(ReadStartWindow(p), 2);
    EXPECT_EQ(ReadDual(p), 1);
    MemoryProfile empty;
    EXPECT_EQ(ReadStartWindow(empty), 0);
    EXPECT_EQ(ReadDual(empty), 0);
}

std::vector<std::wstring> KeysOf(const MemoryProfile& p, const wchar_t* section) {
    for (const auto& s : p.Sections())
        if (s.name == section) {
            std::vector<std::wstring> keys;
            for (const auto& kv : s.keys) keys.push_back(kv.first);
            return keys;
        }
    return {};
}

TEST(Settings, SaveRewritesSectionsInTheirFixedOrder) {
    MemoryProfile p(L"[Vwin]\nHandAdded=1\nTime=5\n[Awin]\nStart=1\nDual=1\nDClick=3\n"
                    L"[ImgC]\nKeep=1\n[Path]\nStray=x\n");
    Settings s;
    LoadAllSettings(p, Env(), s);
    s.viewer.sthMode = 3;
    SaveAllSettings(p, s);

    std::vector<std::wstring> sections;
    for (const auto& sec : p.Sections()) sections.push_back(sec.name);
    EXPECT_EQ(sections, (std::vector<std::wstring>{L"ImgC", L"Awin", L"LImg", L"SImg", L"Path",
                                                    L"Swin", L"Vwin"}));
    EXPECT_FALSE(p.Has(L"Vwin", L"HandAdded"));
    EXPECT_FALSE(p.Has(L"Path", L"Stray"));
    EXPECT_TRUE(p.Has(L"ImgC", L"Keep"));  // other sections are left alone
    EXPECT_EQ(p.ReadInt(L"Awin", L"Start", -1), 1);
    EXPECT_EQ(p.ReadInt(L"Awin", L"Dual", -1), 1);
    EXPECT_EQ(p.ReadInt(L"Awin", L"DClick", -1), 3);
    EXPECT_EQ(p.ReadInt(L"Vwin", L"Time", -1), 5);
    EXPECT_EQ(p.ReadInt(L"Vwin", L"SthMode", -1), 3);

    EXPECT_EQ(KeysOf(p, L"Awin"),
              (std::vector<std::wstring>{L"Start", L"Dual", L"DClick", L"LRClick", L"Top",
                                         L"WheelRev", L"OptTab", L"NoRecycMsg", L"XPOldReg",
                                         L"MouseInfo"}));
    EXPECT_EQ(KeysOf(p, L"Vwin"),
              (std::vector<std::wstring>{L"BgColor", L"SthMode", L"CapBar", L"Frame", L"VTBar",
                                         L"NMZoom", L"FLZoom", L"VSmall", L"NVLarge", L"FSDown",
                                         L"FSUp", L"Wheel", L"FSWheel", L"FSAreaZm", L"Time",
                                         L"Repeat", L"PosCtrl", L"PosL", L"PosT", L"PosR", L"PosB"}));
    EXPECT_EQ(KeysOf(p, L"Swin"),
              (std::vector<std::wstring>{L"Max", L"x", L"y", L"w", L"h", L"RebarRow", L"BgColor",
                                         L"SWZoom", L"SWSmall", L"SWLarge", L"SWWheel",
                                         L"SWAreaZm", L"ScrlBar"}));
    EXPECT_EQ(KeysOf(p, L"LImg"), (std::vector<std::wstring>{L"Gamma", L"DispGam", L"Alpha", L"FBG",
                                                             L"BGR", L"BGG", L"BGB"}));
    EXPECT_EQ(KeysOf(p, L"SImg"),
              (std::vector<std::wstring>{L"Format", L"Depth", L"Gray", L"Dither", L"Level",
                                         L"Filter", L"Interlace", L"Gamma", L"SaveGam", L"AlphaR",
                                         L"AlphaG", L"AlphaB", L"Quality", L"Sampling",
                                         L"Progressive", L"JMarker", L"JpgTrim", L"JpgLimit",
                                         L"JpgLmtVal"}));
    std::vector<std::wstring> path{L"SPI", L"Open"};
    for (int i = 0; i < kToolCount; ++i) {
        path.push_back(L"APP" + std::to_wstring(i));
        path.push_back(L"AN" + std::to_wstring(i));
    }
    EXPECT_EQ(KeysOf(p, L"Path"), path);
}

TEST(Settings, SaveThenLoadKeepsEveryValue) {
    Settings s;
    s.app.dClick = 3;
    s.app.mouseInfo = false;
    s.viewer.time = 60;
    s.viewer.posCtrl = true;
    s.viewer.posR = 1024;
    s.edit.swAreaZm = false;
    s.read.bgG = 12;
    s.save.dither = 2;
    s.save.format = -1;
    s.path.open = L"C:\\Pictures";
    s.path.app[2] = L"C:\\tool.exe";
    MemoryProfile p;
    SaveAllSettings(p, s);
    Settings back;
    LoadAllSettings(p, Env(), back);
    EXPECT_EQ(back.app.dClick, 3);
    EXPECT_FALSE(back.app.mouseInfo);
    EXPECT_EQ(back.viewer.time, 60);
    EXPECT_TRUE(back.viewer.posCtrl);
    EXPECT_EQ(back.viewer.posR, 1024);
    EXPECT_FALSE(back.edit.swAreaZm);
    EXPECT_EQ(back.read.bgG, 12);
    EXPECT_EQ(back.save.dither, 2);
    EXPECT_EQ(back.save.format, -1);
    EXPECT_EQ(back.path.open, L"C:\\Pictures");
    EXPECT_EQ(back.path.app[2], L"C:\\tool.exe");
}

TEST(Settings, EditPlacement) {
    const ScreenRect work{0, 0, 1280, 984};  // 1280 × 1024 screen with a task bar
    struct Case {
        const wchar_t* ini;
        EditSettings want;  // max, x, y, w, h
    } cases[] = {
        {L"", {0, 240, 212, 800, 600}},
        {L"[Swin]\nMax=1\nx=10\ny=20\nw=640\nh=480\n", {1, 10, 20, 640, 480}},
        {L"[Swin]\nw=2000\nh=1500\n", {0, 0, 0, 1280, 984}},     // size clamped, then centred
        {L"[Swin]\nx=1000\ny=900\n", {0, 480, 384, 800, 600}},   // pushed back from the right
        {L"[Swin]\nx=-50\ny=-1\n", {0, 0, 0, 800, 600}},         // pushed right of the left edge
        // Unusable sizes take the default, then the window is pushed inside.
        {L"[Swin]\nx=100\ny=1024\nw=800\nh=0\n", {0, 100, 384, 800, 600}},
        {L"[Swin]\nx=100\ny=1024\nw=-1\nh=-1\n", {0, 100, 384, 800, 600}},
        {L"[Swin]\nw=-2147483648\nh=2147483647\nx=2147483647\ny=-2147483648\n", {0, 480, 0, 800, 984}},
    };
    for (const Case& c : cases) {
        MemoryProfile p(c.ini);
        EditSettings e;
        LoadEditPlacement(p, 1280, 1024, work, e);
        EXPECT_EQ(e.max, c.want.max) << c.ini;
        EXPECT_EQ(e.x, c.want.x) << c.ini;
        EXPECT_EQ(e.y, c.want.y) << c.ini;
        EXPECT_EQ(e.w, c.want.w) << c.ini;
        EXPECT_EQ(e.h, c.want.h) << c.ini;
    }
    // A work area to the right of the primary screen.
    MemoryProfile p(L"[Swin]\nx=100\n");
    EditSettings e;
    LoadEditPlacement(p, 1280, 1024, ScreenRect{1280, 0, 2560, 1000}, e);
    EXPECT_EQ(e.x, 1280);
}

}  // namespace
}  // namespace pelio
