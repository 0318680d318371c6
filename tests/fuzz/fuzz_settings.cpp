// Arbitrary INI text through the profile parsers and every settings loader: no crash, and
// every checked key ends inside its range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/commands/accelerators.h"
#include "core/settings/memory_profile.h"
#include "core/settings/settings.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    // Bytes become UTF-16 units two by two, as the profile functions see the file.
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    (void)ParseProfileInt(text);

    MemoryProfile p(text);
    Settings s;
    SettingsEnvironment env{[](const std::wstring& path) { return path.size() % 2 == 0; }, L"D"};
    LoadAllSettings(p, env, s);
    EditSettings e;
    LoadEditPlacement(p, 1280, 1024, ScreenRect{0, 0, 1280, 984}, e);
    AccelTable accel = ReadStoredAccelerators(p);

    Require(s.viewer.time >= 1 && s.viewer.time <= 60);
    Require(s.viewer.bgColor >= 0 && s.viewer.bgColor <= 4);
    Require(s.edit.bgColor >= 0 && s.edit.bgColor <= 4);
    Require(s.viewer.sthMode == 3 || s.viewer.sthMode == 4);
    Require((s.save.depth >= 1 && s.save.depth <= 8) || s.save.depth == 24);
    Require(s.save.dither >= 0 && s.save.dither <= 3);
    Require(s.save.quality >= 1 && s.save.quality <= 100);
    Require(s.save.level <= 9 && s.save.format <= 5 && s.save.filter <= 5);
    Require(s.save.sampling <= 2 && s.save.jMarker <= 2 && s.app.optTab <= 5);
    Require(s.path.open.size() <= kMaxProfileString);
    // The Edit window lies wholly inside the work area, at a usable size.
    Require(e.w >= 100 && e.h >= 100 && e.w <= 1280 && e.h <= 984);
    Require(e.x >= 0 && e.y >= 0 && e.x + e.w <= 1280 && e.y + e.h <= 984);
    for (const Accel& a : accel) Require(a.flags <= 15 && a.key < 256);

    // A save followed by a load reproduces what was loaded.
    MemoryProfile out;
    SaveAllSettings(out, s);
    WriteStoredAccelerators(out, accel);
    Settings back;
    LoadAllSettings(out, env, back);
    Require(back.viewer.time == s.viewer.time && back.save.depth == s.save.depth);
    Require(ReadStoredAccelerators(out) == accel);
    return 0;
}
