// The Options dialog's Apply as data: positions kept apart by the minimum window width, the
// display gamma, the tools, and when the image is reloaded.
#include <gtest/gtest.h>

#include "core/settings/options_form.h"

namespace pelio {
namespace {

TEST(OptionsForm, ApplyLimitsPositionsAndReadsFields) {
    Settings s;
    OptionsForm f = FormFromSettings(s, 1, 1);
    EXPECT_EQ(f.start, 1);
    EXPECT_TRUE(f.dual);
    EXPECT_EQ(f.displayGamma, L"2.200");
    f.position = {L"100", L"abc", L"50", L"200"};
    f.displayGamma = L"0";
    f.toolPath[2] = L"C:\\tools\\view.exe";
    f.toolName[2] = L"Viewer";
    f.toolName[3] = L"left over";  // no path: cleared
    f.quality = false;
    const AppliedPositions applied = ApplyForm(f, s, 112);
    EXPECT_TRUE(applied.rightCorrected);
    EXPECT_FALSE(applied.bottomCorrected);
    EXPECT_EQ(s.viewer.posR, 212);
    EXPECT_EQ(f.position[2], L"212");
    EXPECT_EQ(s.viewer.posT, 0);  // not a number reads as 0
    EXPECT_EQ(s.read.dispGam, 1);
    EXPECT_EQ(s.path.appName[2], L"Viewer");
    EXPECT_EQ(s.path.appName[3], L"");
    EXPECT_EQ(s.viewer.sthMode, 3);
    EXPECT_EQ(FormFromSettings(s, 0, 0).displayGamma, L"0.001");
    EXPECT_EQ(DisplayGammaFromField(L"1.9999"), 1999);
}

TEST(OptionsForm, ReloadOnlyForChangedDisplaySettingsOfAnUnmodifiedFile) {
    const ImageReadSettings before;
    ImageReadSettings gamma = before;
    gamma.dispGam = 1800;
    struct Case {
        bool shown, modified, preview, path;
        const ImageReadSettings& now;
        bool repaint, reload, newReference;
    } cases[] = {
        {false, false, false, true, gamma, false, false, false},
        {true, false, false, true, before, true, false, false},  // only the slideshow time changed
        {true, false, false, true, gamma, false, true, true},
        {true, true, false, true, gamma, true, false, false},
        {true, false, true, true, gamma, true, false, false},
        {true, false, false, false, gamma, true, false, true},
    };
    for (const Case& c : cases) {
        const AfterApply a = ImageAfterApply(c.shown, c.modified, c.preview, c.path, before, c.now);
        EXPECT_EQ(a.repaint, c.repaint);
        EXPECT_EQ(a.reload, c.reload);
        EXPECT_EQ(a.newReference, c.newReference);
    }
}

}  // namespace
}  // namespace pelio
