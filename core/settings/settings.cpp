// Settings schema tables, loaders and the save at exit. Portable.
#include "core/settings/settings.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <span>
#include <variant>

namespace pelio {

namespace {

enum class Check : uint8_t {
    None,
    LowBit,   // booleans: only the lowest bit counts
    LowByte,  // colour components: the low 8 bits
    Range,    // signed lo..hi kept, anything else becomes `fallback`
};

template <class S>
struct KeyRule {
    const wchar_t* key;
    std::variant<int S::*, bool S::*, uint8_t S::*> field;
    Check check = Check::None;
    int lo = 0, hi = 0, fallback = 0;
    std::optional<int> readDefault = std::nullopt;  // when it differs from the in-memory default
};

template <class S>
constexpr KeyRule<S> Bool(const wchar_t* key, bool S::*f) { return {key, f, Check::LowBit}; }
template <class S>
constexpr KeyRule<S> Int(const wchar_t* key, int S::*f) { return {key, f}; }
template <class S>
constexpr KeyRule<S> Byte(const wchar_t* key, uint8_t S::*f) { return {key, f, Check::LowByte}; }
template <class S>
constexpr KeyRule<S> Range(const wchar_t* key, int S::*f, int lo, int hi, int fallback) {
    return {key, f, Check::Range, lo, hi, fallback};
}
template <class S>
constexpr KeyRule<S> AtMost(const wchar_t* key, int S::*f, int hi, int fallback) {
    return {key, f, Check::Range, INT_MIN, hi, fallback};
}

// Each table is in the order the keys are written at exit.
using A = AppSettings;
const KeyRule<A> kAwin[] = {
    Int(L"DClick", &A::dClick),        Int(L"LRClick", &A::lrClick),
    Bool(L"Top", &A::top),             Bool(L"WheelRev", &A::wheelRev),
    AtMost(L"OptTab", &A::optTab, 5, 0), Bool(L"NoRecycMsg", &A::noRecycMsg),
    Bool(L"XPOldReg", &A::xpOldReg),   Bool(L"MouseInfo", &A::mouseInfo),
};

using V = ViewerSettings;
const KeyRule<V> kVwin[] = {
    Range(L"BgColor", &V::bgColor, 0, 4, 1), Range(L"SthMode", &V::sthMode, 4, 4, 3),
    Bool(L"CapBar", &V::capBar),     Bool(L"Frame", &V::frame),
    Bool(L"VTBar", &V::vtBar),       Bool(L"NMZoom", &V::nmZoom),
    Bool(L"FLZoom", &V::flZoom),     Bool(L"VSmall", &V::vSmall),
    Bool(L"NVLarge", &V::nvLarge),   Bool(L"FSDown", &V::fsDown),
    Bool(L"FSUp", &V::fsUp),         Bool(L"Wheel", &V::wheel),
    Bool(L"FSWheel", &V::fsWheel),   Bool(L"FSAreaZm", &V::fsAreaZm),
    Range(L"Time", &V::time, 1, 60, 1), Bool(L"Repeat", &V::repeat),
    Bool(L"PosCtrl", &V::posCtrl),   Int(L"PosL", &V::posL),
    Int(L"PosT", &V::posT),          Int(L"PosR", &V::posR),
    Int(L"PosB", &V::posB),
};

using E = EditSettings;
const KeyRule<E> kSwinPlacement[] = {
    Int(L"Max", &E::max), Int(L"x", &E::x), Int(L"y", &E::y), Int(L"w", &E::w), Int(L"h", &E::h),
};
const KeyRule<E> kSwin[] = {
    Int(L"RebarRow", &E::rebarRow),  Range(L"BgColor", &E::bgColor, 0, 4, 1),
    Bool(L"SWZoom", &E::swZoom),     Bool(L"SWSmall", &E::swSmall),
    Bool(L"SWLarge", &E::swLarge),   Bool(L"SWWheel", &E::swWheel),
    Bool(L"SWAreaZm", &E::swAreaZm), Bool(L"ScrlBar", &E::scrlBar),
};

using R = ImageReadSettings;
const KeyRule<R> kLImg[] = {
    Bool(L"Gamma", &R::gamma), Int(L"DispGam", &R::dispGam), Bool(L"Alpha", &R::alpha),
    Bool(L"FBG", &R::fbg),     Byte(L"BGR", &R::bgR),        Byte(L"BGG", &R::bgG),
    Byte(L"BGB", &R::bgB),
};

using W = ImageSaveSettings;
KeyRule<W> DitherRule() {
    KeyRule<W> r = Range(L"Dither", &W::dither, 0, 3, 0);
    r.readDefault = 16;  // read with an out-of-range default, so a missing key becomes 0
    return r;
}
const KeyRule<W> kSImg[] = {
    AtMost(L"Format", &W::format, 5, 0), Range(L"Depth", &W::depth, 1, 8, 24),
    Bool(L"Gray", &W::gray),             DitherRule(),
    AtMost(L"Level", &W::level, 9, 9),   AtMost(L"Filter", &W::filter, 5, 0),
    Bool(L"Interlace", &W::interlace),   Bool(L"Gamma", &W::gamma),
    Int(L"SaveGam", &W::saveGam),        Byte(L"AlphaR", &W::alphaR),
    Byte(L"AlphaG", &W::alphaG),         Byte(L"AlphaB", &W::alphaB),
    Range(L"Quality", &W::quality, 1, 100, 75), AtMost(L"Sampling", &W::sampling, 2, 0),
    Bool(L"Progressive", &W::progressive), AtMost(L"JMarker", &W::jMarker, 2, 2),
    Bool(L"JpgTrim", &W::jpgTrim),       Bool(L"JpgLimit", &W::jpgLimit),
    Int(L"JpgLmtVal", &W::jpgLmtVal),
};

constexpr wchar_t kAwinName[] = L"Awin";
constexpr wchar_t kVwinName[] = L"Vwin";
constexpr wchar_t kSwinName[] = L"Swin";
constexpr wchar_t kLImgName[] = L"LImg";
constexpr wchar_t kSImgName[] = L"SImg";
constexpr wchar_t kPathName[] = L"Path";

int Apply(const auto& rule, int v) {
    switch (rule.check) {
    case Check::None: return v;
    case Check::LowBit: return v & 1;
    case Check::LowByte: return v & 0xFF;
    case Check::Range: return (v < rule.lo || v > rule.hi) ? rule.fallback : v;
    }
    return v;
}

template <class S>
void LoadSection(ProfileStore& store, const wchar_t* section, std::span<const KeyRule<S>> rules,
                 S& s) {
    static const S kDefaults{};
    for (const KeyRule<S>& rule : rules) {
        std::visit(
            [&](auto member) {
                int def = rule.readDefault ? *rule.readDefault : static_cast<int>(kDefaults.*member);
                int v = Apply(rule, store.ReadInt(section, rule.key, def));
                s.*member = static_cast<std::remove_reference_t<decltype(s.*member)>>(v);
            },
            rule.field);
    }
}

template <class S>
void SaveSection(ProfileStore& store, const wchar_t* section, std::span<const KeyRule<S>> rules,
                 const S& s) {
    for (const KeyRule<S>& rule : rules)
        std::visit([&](auto member) { store.WriteInt(section, rule.key, static_cast<int>(s.*member)); },
                   rule.field);
}

std::wstring ToolKey(const wchar_t* prefix, int i) { return prefix + std::to_wstring(i); }

}  // namespace

void LoadAppSettings(ProfileStore& store, const SettingsEnvironment& env, Settings& s) {
    LoadSection<A>(store, kAwinName, kAwin, s.app);
    s.path.open = store.ReadString(kPathName, L"Open", L"");
    if (!env.isDirectory || !env.isDirectory(s.path.open)) s.path.open = env.documentsFolder;
    for (int i = 0; i < kToolCount; ++i) {
        s.path.app[i] = store.ReadString(kPathName, ToolKey(L"APP", i).c_str(), L"");
        s.path.appName[i] = store.ReadString(kPathName, ToolKey(L"AN", i).c_str(), L"");
    }
}

void LoadViewerSettings(ProfileStore& store, Settings& s) {
    LoadSection<V>(store, kVwinName, kVwin, s.viewer);
}

void LoadEditSettings(ProfileStore& store, Settings& s) {
    LoadSection<E>(store, kSwinName, kSwin, s.edit);
}

void LoadImageSettings(ProfileStore& store, Settings& s) {
    LoadSection<R>(store, kLImgName, kLImg, s.read);
    LoadSection<W>(store, kSImgName, kSImg, s.save);
    s.path.spi = store.ReadString(kPathName, L"SPI", L"");
}

void LoadAllSettings(ProfileStore& store, const SettingsEnvironment& env, Settings& s) {
    LoadAppSettings(store, env, s);
    LoadViewerSettings(store, s);
    LoadEditSettings(store, s);
    LoadImageSettings(store, s);
}

int ReadStartWindow(ProfileStore& store) { return store.ReadInt(kAwinName, L"Start", 0); }
int ReadDual(ProfileStore& store) { return store.ReadInt(kAwinName, L"Dual", 0); }

void LoadEditPlacement(ProfileStore& store, int screenW, int screenH, const ScreenRect& work,
                       EditSettings& edit) {
    // A size too small to use (or negative) takes the default before the limits, so that
    // no arithmetic below can overflow and the window never lies outside the work area.
    constexpr int kMinSide = 100;
    const auto side = [&](const wchar_t* key, int fallback, int limit) {
        const int v = store.ReadInt(kSwinName, key, fallback);
        return std::min(v < kMinSide ? fallback : v, limit);
    };
    edit.max = store.ReadInt(kSwinName, L"Max", 0);
    edit.w = side(L"w", 800, work.Width());
    edit.h = side(L"h", 600, work.Height());
    const int x = store.ReadInt(kSwinName, L"x", static_cast<int>((int64_t{screenW} - edit.w) / 2));
    const int y = store.ReadInt(kSwinName, L"y", static_cast<int>((int64_t{screenH} - edit.h) / 2));
    edit.x = PushIntoRange(x, edit.w, work.left, work.right);
    edit.y = PushIntoRange(y, edit.h, work.top, work.bottom);
}

void SaveAllSettings(ProfileStore& store, const Settings& s) {
    const int start = ReadStartWindow(store);
    const int dual = ReadDual(store);
    for (const wchar_t* section : {kAwinName, kVwinName, kSwinName, kLImgName, kSImgName, kPathName})
        store.DeleteSection(section);
    store.WriteInt(kAwinName, L"Start", start);
    store.WriteInt(kAwinName, L"Dual", dual);

    SaveSection<R>(store, kLImgName, kLImg, s.read);
    SaveSection<W>(store, kSImgName, kSImg, s.save);
    store.WriteString(kPathName, L"SPI", s.path.spi);
    SaveSection<E>(store, kSwinName, kSwinPlacement, s.edit);
    SaveSection<E>(store, kSwinName, kSwin, s.edit);
    SaveSection<V>(store, kVwinName, kVwin, s.viewer);
    SaveSection<A>(store, kAwinName, kAwin, s.app);
    store.WriteString(kPathName, L"Open", s.path.open);
    for (int i = 0; i < kToolCount; ++i) {
        store.WriteString(kPathName, ToolKey(L"APP", i).c_str(), s.path.app[i]);
        store.WriteString(kPathName, ToolKey(L"AN", i).c_str(), s.path.appName[i]);
    }
}

}  // namespace pelio
