// The Options dialog driven from outside: pages filled from the settings, changes applied on
// OK and "適用" and dropped on Cancel, the last page shown again, the settings file at exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/settings/memory_profile.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using e2e::ControlText;
using e2e::Eventually;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr int kWaitMs = 15000;

class Options : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n");
        pelio_ = e2e::Launch(exe_, L"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
    }

    // Opens the dialog; its six pages in order.
    void Open() {
        PostMessageW(viewer_, WM_COMMAND, cmd::kOptions, 0);
        ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"オプション", kWaitMs, dialog_));
        // Each page known by a control of its own.
        const int probes[] = {3120, 3210, 3310, 3410, 3510, 3610};
        pages_.assign(6, nullptr);
        for (HWND page = nullptr; (page = FindWindowExW(dialog_.hwnd, page, L"#32770", nullptr));)
            for (int i = 0; i < 6; ++i)
                if (GetDlgItem(page, probes[i])) pages_[size_t(i)] = page;
        for (HWND page : pages_) ASSERT_NE(page, nullptr);
    }
    HWND Control(int page, int id) { return GetDlgItem(pages_[size_t(page)], id); }
    void Click(int page, int id) { SendMessageW(Control(page, id), BM_CLICK, 0, 0); }
    void Type(int page, int id, const wchar_t* text) {
        SendMessageW(Control(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Key(HWND control, WPARAM key) {
        PostMessageW(control, WM_KEYDOWN, key, 1);
        PostMessageW(control, WM_KEYUP, key, 0xC0000001);
    }
    void Press(int id) { e2e::PressButton(dialog_.hwnd, id); }
    bool Closed() { return !IsWindow(dialog_.hwnd); }
    MemoryProfile IniAtExit() {
        PostMessageW(viewer_, WM_COMMAND, cmd::kExit, 0);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
        return MemoryProfile(test::ReadTextFile(dir_ / L"Pelio.ini"));
    }

    test::TempFolder dir_;
    std::wstring exe_;
    e2e::Process pelio_;
    HWND viewer_ = nullptr;
    e2e::DialogInfo dialog_;
    std::vector<HWND> pages_;
};

TEST_F(Options, AppliedOnOkDroppedOnCancelAndReopenedOnTheLastPage) {
    ASSERT_NO_FATAL_FAILURE(Open());
    // The slideshow interval by the keyboard, the number beside it following.
    HWND slider = Control(0, 3190);
    Key(slider, VK_RIGHT);
    Key(slider, VK_RIGHT);
    ASSERT_TRUE(Eventually([&] { return ControlText(Control(0, 3150)) == L"3"; }));
    Click(0, 3135);
    EXPECT_TRUE(IsWindowEnabled(Control(0, 3163)));
    Type(0, 3161, L"100");
    Type(0, 3163, L"50");
    Type(0, 3160, L"0");
    // The zoom page: keep the zoom in the main window, no shrinking to the window.
    Key(GetDlgItem(dialog_.hwnd, 3010), VK_RIGHT);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(pages_[1]) && !IsWindowVisible(pages_[0]); }));
    Click(1, 3213);
    Click(1, 3220);
    Press(3020);  // Apply: the right position is corrected at once
    const std::wstring right = std::to_wstring(100 + GetSystemMetrics(SM_CXMIN));
    ASSERT_TRUE(Eventually([&] { return ControlText(Control(0, 3163)) == right; })) << GetSystemMetrics(SM_CXMIN);
    Press(IDOK);
    ASSERT_TRUE(Eventually([&] { return Closed(); }));

    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog_.hwnd, 3010), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowVisible(pages_[1]));
    EXPECT_EQ(ControlText(Control(0, 3160)), L"0.001");
    EXPECT_EQ(SendMessageW(Control(1, 3213), BM_GETCHECK, 0, 0), BST_CHECKED);
    Key(Control(0, 3190), VK_RIGHT);
    Click(1, 3212);
    Press(IDCANCEL);
    ASSERT_TRUE(Eventually([&] { return Closed(); }));

    MemoryProfile ini = IniAtExit();
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"Time", -1), 3);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"NMZoom", -1), 1);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"VSmall", -1), 0);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"PosCtrl", -1), 1);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"PosR", -1), 100 + GetSystemMetrics(SM_CXMIN));
    EXPECT_EQ(ini.ReadInt(L"LImg", L"DispGam", -1), 1);
    EXPECT_EQ(ini.ReadInt(L"Awin", L"OptTab", -1), 1);
}

}  // namespace
}  // namespace pelio
