// Full screen and the slideshow, driven from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using test::ReadBytes;
using test::WriteBytes;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr wchar_t kEditClass[] = L"Pelio_swin_class";
constexpr int kWaitMs = 15000;
using e2e::Eventually;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }


class FullScreen : public ::testing::Test {
protected:
    // Pictures named by `names` (a name starting with "bad" gets bytes no decoder reads),
    // and Pelio started on `first` with `settings` in its INI.
    void Start(const std::vector<std::wstring>& names, const std::wstring& first, const std::wstring& settings) {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n[Vwin]\r\n" + settings);
        int size = 20;
        for (const std::wstring& name : names) {
            if (name.rfind(L"bad", 0) == 0) WriteBytes(dir_ / name, {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8});
            else WriteBytes(dir_ / name, test::SampleBmpFile(size, size / 2, 24));
            size += 4;
        }
        pelio_ = e2e::Launch(exe_, L"\"" + (dir_ / first) + L"\"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
        ASSERT_TRUE(Eventually([&] { return Showing(first); }));
    }
    bool Showing(const std::wstring& name) {
        const std::wstring title = e2e::WindowText(viewer_);
        return title.compare(0, name.size() + 2, name + L"  ") == 0;
    }
    bool InFullScreen() { return IsZoomed(viewer_) && !(GetWindowLongW(viewer_, GWL_STYLE) & WS_CAPTION); }
    void Key(WPARAM key) {
        PostMessageW(viewer_, WM_KEYDOWN, key, 1);
        PostMessageW(viewer_, WM_KEYUP, key, 0xC0000001);
    }
    void Close() {
        PostMessageW(viewer_, WM_CLOSE, 0, 0);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    }

    test::TempFolder dir_;
    std::wstring exe_;
    e2e::Process pelio_;
    HWND viewer_ = nullptr;
};

TEST_F(FullScreen, SlideshowShowsTheRestAndStopsOnTheLast) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp", L"b.bmp", L"c.bmp", L"d.bmp"}, L"b.bmp", L"Time=1\r\nRepeat=0\r\n"));
    PostMessageW(viewer_, WM_COMMAND, cmd::kSlideshow, 0);
    EXPECT_TRUE(Eventually([&] { return InFullScreen(); }));
    EXPECT_TRUE(Eventually([&] { return Showing(L"c.bmp"); })) << Narrow(e2e::WindowText(viewer_));
    EXPECT_TRUE(Eventually([&] { return Showing(L"d.bmp"); })) << Narrow(e2e::WindowText(viewer_));
    Sleep(2500);
    EXPECT_TRUE(Showing(L"d.bmp"));
    // Starting again on the last entry without repeat does nothing; keys work again.
    PostMessageW(viewer_, WM_COMMAND, cmd::kSlideshow, 0);
    Sleep(1500);
    EXPECT_TRUE(Showing(L"d.bmp"));
    Key(VK_RETURN);  // normal display
    EXPECT_TRUE(Eventually([&] { return (GetWindowLongW(viewer_, GWL_STYLE) & WS_CAPTION) != 0 && !IsZoomed(viewer_); }));
    Close();
}

TEST_F(FullScreen, RepeatWrapsAndAKeyOnlyStopsTheShow) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp", L"b.bmp"}, L"b.bmp", L"Time=1\r\nRepeat=1\r\n"));
    PostMessageW(viewer_, WM_COMMAND, cmd::kSlideshow, 0);
    EXPECT_TRUE(Eventually([&] { return Showing(L"a.bmp"); })) << Narrow(e2e::WindowText(viewer_));
    Key(VK_RETURN);  // stops the show and does nothing else: still full screen
    Sleep(2500);
    EXPECT_TRUE(Showing(L"a.bmp")) << Narrow(e2e::WindowText(viewer_));
    EXPECT_TRUE(InFullScreen());
    Close();
}

TEST_F(FullScreen, AFileThatFailsEndsTheShowWithTheMessage) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp", L"bad.bmp", L"c.bmp"}, L"a.bmp", L"Time=1\r\nRepeat=0\r\n"));
    PostMessageW(viewer_, WM_COMMAND, cmd::kSlideshow, 0);
    e2e::DialogInfo error;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, error));
    EXPECT_EQ(error.text, L"画像の表示に失敗しました。");
    e2e::PressButton(error.hwnd, IDOK);
    Sleep(2500);
    EXPECT_TRUE(Showing(L"a.bmp")) << Narrow(e2e::WindowText(viewer_));
    // The failed file left the list: the next file is c.
    Key(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return !InFullScreen(); }));
    PostMessageW(viewer_, WM_COMMAND, cmd::kNextFile, 0);
    EXPECT_TRUE(Eventually([&] { return Showing(L"c.bmp"); })) << Narrow(e2e::WindowText(viewer_));
    Close();
}

TEST_F(FullScreen, EnteredFromTheEditWindowReturnsThere) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp"}, L"a.bmp", L""));
    Key(VK_TAB);
    HWND edit = nullptr;
    ASSERT_TRUE(Eventually([&] {
        edit = e2e::FindTopWindow(kEditClass, pelio_.Id());
        return edit && IsWindowVisible(edit) && !IsWindowVisible(viewer_);
    }));
    PostMessageW(edit, WM_COMMAND, cmd::kFullScreen, 0);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(viewer_) && InFullScreen() && !IsWindowVisible(edit); }));
    Key(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(edit) && !IsWindowVisible(viewer_); }));
    EXPECT_EQ(GetWindowLongW(viewer_, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
    Close();
}

}  // namespace
}  // namespace pelio
