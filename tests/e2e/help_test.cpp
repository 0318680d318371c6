// The help file beside Pelio.exe, opened by the help command and by F1 in the system's help
// viewer.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/commands/command_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

constexpr wchar_t kHelpTitle[] = L"Pelio ヘルプ";
constexpr int kWaitMs = 15000;

using e2e::Eventually;

struct TitleSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchHelpWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TitleSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner != s->pid || !IsWindowVisible(h) || e2e::WindowText(h) != kHelpTitle) return TRUE;
    s->found = h;
    return FALSE;
}

// The help viewer runs in Pelio's process; its window carries the help file's title.
HWND HelpWindow(DWORD pid) {
    TitleSearch s{pid, nullptr};
    EnumWindows(MatchHelpWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        CopyFileW(e2e::WindowsPathOf(PELIO_CHM_UNIX_PATH).c_str(), (dir_ / L"Pelio.chm").c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n");
        test::WriteSampleBmp(dir_ / L"small.bmp", 200, 150, 24);
    }
    test::TempFolder dir_;
    std::wstring exe_;
};

TEST_F(Help, TheHelpCommandAndF1OpenTheHelpFile) {
    e2e::Process pelio = e2e::Launch(exe_, L"\"" + (dir_ / L"small.bmp") + L"\"");
    HWND viewer = e2e::WaitForWindow(L"Pelio_vwin_class", pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Eventually([&] { return e2e::WindowText(viewer).starts_with(L"small.bmp"); }));

    PostMessageW(viewer, WM_COMMAND, cmd::kHelp, 0);
    HWND help = nullptr;
    ASSERT_TRUE(Eventually([&] { return (help = HelpWindow(pelio.Id())) != nullptr; }));
    PostMessageW(help, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Eventually([&] { return HelpWindow(pelio.Id()) == nullptr; }));

    SetForegroundWindow(viewer);
    Eventually([&] { return GetForegroundWindow() == viewer; }, 3000);
    keybd_event(VK_F1, 0, 0, 0);
    keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(Eventually([&] { return (help = HelpWindow(pelio.Id())) != nullptr; }));

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
}

}  // namespace
}  // namespace pelio
