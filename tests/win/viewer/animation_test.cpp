// Playback of an animated GIF in the Viewer window's memory context, tick by tick.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/core/image/gif_test_util.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/viewer/full_screen.h"

namespace pelio {
namespace {

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseCurrentImage();
        App().settings = Settings{};
        // A plain window stands in for the Viewer window: it only owns the timer.
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        saved_ = App().viewer;
        App().viewer = window_;
        App().displayMode = kModeViewer;
    }
    void TearDown() override {
        ReleaseCurrentImage();
        App().viewer = saved_;
        DestroyWindow(window_);
    }
    // Three 4 × 2 frames with delays 10, 11, 12 and the given loop count.
    void LoadGif(int loops) {
        const std::vector<uint8_t> pixels(8, 1);
        test::GifBuilder gif;
        gif.Screen(4, 2, 2).Loop(loops);
        for (int frame = 0; frame < 3; ++frame) gif.Control(false, 0, 0, 10 + frame).Frame(0, 0, 4, 2, pixels, 0, false, 2);
        const std::vector<uint8_t> bytes = gif.Trailer().bytes;
        const std::wstring path = dir_ / L"anim.gif";
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
        CloseHandle(f);
        ASSERT_TRUE(LoadImageFile(path));
        ASSERT_TRUE(Current().animation.active);
    }
    HGDIOBJ Shown() const { return GetCurrentObject(Current().memoryDc, OBJ_BITMAP); }
    // Whether the animation timer is armed: killing it tells.
    bool TimerArmed() {
        const bool armed = KillTimer(window_, kAnimationTimerId) != 0;
        return armed;
    }

    test::TempFolder dir_;
    HWND window_ = nullptr, saved_ = nullptr;
};

TEST_F(Animation, LoopCountOnePlaysOnceAndEndsOnTheFirstFrame) {
    ASSERT_NO_FATAL_FAILURE(LoadGif(1));
    const CurrentImage& c = Current();
    StartAnimation();
    EXPECT_EQ(Shown(), c.bitmap);
    AnimationTick();
    EXPECT_EQ(Shown(), c.animation.frames[0]);
    AnimationTick();
    EXPECT_EQ(Shown(), c.animation.frames[1]);
    EXPECT_TRUE(TimerArmed());
    AnimationTick();  // the loop is used up: the first frame stays
    EXPECT_EQ(Shown(), c.bitmap);
    EXPECT_FALSE(TimerArmed());
}

TEST_F(Animation, LoopCountZeroGoesOnAndTheEditWindowStopsIt) {
    ASSERT_NO_FATAL_FAILURE(LoadGif(0));
    const CurrentImage& c = Current();
    StartAnimation();
    for (int tick = 1; tick <= 7; ++tick) {
        AnimationTick();
        EXPECT_EQ(Shown(), tick % 3 == 0 ? c.bitmap : c.animation.frames[tick % 3 - 1]) << tick;
    }
    EXPECT_TRUE(TimerArmed());
    AnimationTick();  // frame 2 of 3 on display
    StopAnimation();  // as when the Edit window takes over
    EXPECT_EQ(Shown(), c.bitmap);
    EXPECT_FALSE(TimerArmed());
}

}  // namespace
}  // namespace pelio
