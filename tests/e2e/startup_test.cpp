// Pelio.exe under Wine: first start, the executable name check, single instance, /o.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/commands/accelerators.h"
#include "core/commands/command_ids.h"
#include "core/settings/memory_profile.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using e2e::DialogInfo;
using e2e::Process;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr wchar_t kEditClass[] = L"Pelio_swin_class";
constexpr wchar_t kMouseInfoCaption[] = L"主なマウス操作";
constexpr int kWaitMs = 15000;
constexpr int kIdMouseInfoHide = 4820;

// A copy of Pelio.exe in a folder of its own.
class Install {
public:
    explicit Install(const wchar_t* exeName = L"Pelio.exe") : exe_(dir_ / exeName) {
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
    }
    const std::wstring& Exe() const { return exe_; }
    std::wstring PortableIni() const { return dir_ / L"Pelio.ini"; }
    void WriteIni(const std::wstring& text) const { test::WriteTextFile(PortableIni(), text); }
    MemoryProfile Ini() const { return MemoryProfile(test::ReadTextFile(PortableIni())); }
    Process Start(const std::wstring& args = L"") const { return e2e::Launch(exe_, args); }

private:
    test::TempFolder dir_;
    std::wstring exe_;
};

std::wstring AppDataIni() { return test::AppDataFolder() + L"\\Pelio\\Pelio.ini"; }

HWND WaitViewer(const Process& p) {
    HWND h = e2e::WaitForWindow(kViewerClass, p.Id(), kWaitMs);
    EXPECT_NE(h, nullptr) << "no Viewer window";
    return h;
}

using e2e::Eventually;

TEST(Startup, FirstStartWritesDefaultsUnderAppDataAtExit) {
    test::RemoveTree(test::AppDataFolder() + L"\\Pelio");
    Install install;
    Process pelio = install.Start();
    ASSERT_TRUE(pelio.Started());

    DialogInfo info;
    ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), kMouseInfoCaption, kWaitMs, info));
    EXPECT_EQ(SendMessageW(GetDlgItem(info.hwnd, kIdMouseInfoHide), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    e2e::PressButton(info.hwnd, IDOK);

    HWND viewer = WaitViewer(pelio);
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(viewer) != FALSE; }));
    EXPECT_EQ(e2e::WindowText(viewer), L"Pelio");
    HWND edit = e2e::WaitForWindow(kEditClass, pelio.Id(), kWaitMs);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(IsWindowVisible(edit));

    PostMessageW(viewer, WM_COMMAND, cmd::kExit, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);

    EXPECT_FALSE(test::PathExists(install.PortableIni()));
    ASSERT_TRUE(test::PathExists(AppDataIni()));
    MemoryProfile ini(test::ReadTextFile(AppDataIni()));
    EXPECT_EQ(ini.ReadInt(L"Awin", L"Start", -1), 0);
    EXPECT_EQ(ini.ReadInt(L"Awin", L"Dual", -1), 0);
    EXPECT_EQ(ini.ReadInt(L"Awin", L"MouseInfo", -1), 1);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"BgColor", -1), 2);
    EXPECT_EQ(ini.ReadInt(L"Vwin", L"SthMode", -1), 4);
    EXPECT_EQ(ini.ReadInt(L"Swin", L"w", -1), 800);
    EXPECT_EQ(ini.ReadInt(L"Swin", L"h", -1), 600);
    EXPECT_EQ(ini.ReadInt(L"SImg", L"Quality", -1), 75);
    EXPECT_EQ(ini.ReadInt(L"SImg", L"Dither", -1), 0);
    EXPECT_EQ(ini.ReadInt(L"LImg", L"DispGam", -1), 2200);
    EXPECT_TRUE(ini.Has(L"Path", L"Open"));
    EXPECT_EQ(ReadStoredAccelerators(ini), DefaultAccelerators());
}

TEST(Startup, MouseOperationsCheckBoxTurnsTheDialogOff) {
    Install install;
    install.WriteIni(L"[Vwin]\r\nTime=5\r\n");
    {
        Process pelio = install.Start();
        DialogInfo info;
        ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), kMouseInfoCaption, kWaitMs, info));
        SendMessageW(GetDlgItem(info.hwnd, kIdMouseInfoHide), BM_CLICK, 0, 0);
        e2e::PressButton(info.hwnd, IDOK);
        HWND viewer = WaitViewer(pelio);
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        ASSERT_EQ(pelio.WaitExit(kWaitMs), 0u);
    }
    EXPECT_EQ(install.Ini().ReadInt(L"Awin", L"MouseInfo", -1), 0);
    EXPECT_EQ(install.Ini().ReadInt(L"Vwin", L"Time", -1), 5);

    Process again = install.Start();
    HWND viewer = WaitViewer(again);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(viewer) != FALSE; }));
    DialogInfo info;
    EXPECT_FALSE(e2e::WaitForDialog(again.Id(), nullptr, 1000, info));
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitExit(kWaitMs), 0u);
}

TEST(Startup, RenamedExecutableRefusesToStartAndWritesNothing) {
    Install install(L"Viewer.exe");
    const std::wstring before = L"[Vwin]\r\nTime=5\r\n";
    install.WriteIni(before);
    std::wstring appDataBefore = test::ReadTextFile(AppDataIni());

    Process pelio = install.Start(L"/v");
    DialogInfo info;
    ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), nullptr, kWaitMs, info));
    EXPECT_EQ(info.caption, L"Error");
    EXPECT_EQ(info.text, L"ファイル実行に失敗しました。");
    EXPECT_EQ(e2e::FindTopWindow(kViewerClass, pelio.Id()), nullptr);
    e2e::PressButton(info.hwnd, IDOK);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);

    EXPECT_EQ(test::ReadTextFile(install.PortableIni()), before);
    EXPECT_EQ(test::ReadTextFile(AppDataIni()), appDataBefore);
}

TEST(Startup, SecondStartHandsOverToTheFirstWithDual) {
    Install install;
    install.WriteIni(L"[Awin]\r\nDual=1\r\nMouseInfo=0\r\n");
    Process first = install.Start();
    HWND viewer = WaitViewer(first);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(viewer) != FALSE; }));
    HWND edit = e2e::WaitForWindow(kEditClass, first.Id(), kWaitMs);
    ASSERT_NE(edit, nullptr);

    // "/s" switches the first instance to the Edit window; the second one ends at once.
    Process second = install.Start(L"/s");
    EXPECT_EQ(second.WaitExit(kWaitMs), 0u);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(edit) && !IsWindowVisible(viewer); }));
    EXPECT_TRUE(first.Running());

    // With the Viewer hidden the hand-over goes to the Edit window: "/v" switches back.
    Process third = install.Start(L"/v");
    EXPECT_EQ(third.WaitExit(kWaitMs), 0u);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(viewer) && !IsWindowVisible(edit); }));

    // Without arguments a second start only brings the first to the front.
    Process fourth = install.Start();
    EXPECT_EQ(fourth.WaitExit(kWaitMs), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(viewer));

    // "/o" handed over opens the Options dialog in the first instance, which keeps running.
    Process fifth = install.Start(L"/o");
    EXPECT_EQ(fifth.WaitExit(kWaitMs), 0u);
    DialogInfo options;
    ASSERT_TRUE(e2e::WaitForDialog(first.Id(), L"オプション", kWaitMs, options));
    e2e::PressButton(options.hwnd, IDCANCEL);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(options.hwnd); }));
    EXPECT_TRUE(first.Running());

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(kWaitMs), 0u);
}

TEST(Startup, HandoverIsDroppedWhileAModalDialogIsOpen) {
    Install install;
    install.WriteIni(L"[Awin]\r\nDual=1\r\nMouseInfo=1\r\n");
    Process first = install.Start();
    DialogInfo info;
    ASSERT_TRUE(e2e::WaitForDialog(first.Id(), kMouseInfoCaption, kWaitMs, info));
    HWND viewer = e2e::FindTopWindow(kViewerClass, first.Id());
    HWND edit = e2e::FindTopWindow(kEditClass, first.Id());
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(edit, nullptr);

    EXPECT_EQ(e2e::SendCopyData(viewer, L's', nullptr), 1);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(edit));
    EXPECT_TRUE(IsWindowVisible(viewer));

    e2e::PressButton(info.hwnd, IDOK);
    ASSERT_TRUE(Eventually([&] { return IsWindowEnabled(viewer) != FALSE; }));
    EXPECT_EQ(e2e::SendCopyData(viewer, L's', nullptr), 1);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(edit) != FALSE; }));
    PostMessageW(edit, WM_CLOSE, 0, 0);  // closing the Edit window ends the program
    EXPECT_EQ(first.WaitExit(kWaitMs), 0u);
}

struct HandoverArgs {
    HWND target;
    std::wstring file;
};

DWORD WINAPI SendHandoverThread(void* arg) {
    auto* a = static_cast<HandoverArgs*>(arg);
    e2e::SendCopyData(a->target, 0, &a->file);
    return 0;
}

TEST(Startup, HandedOverFileThatCannotBeShownReportsTheFailure) {
    Install install;
    install.WriteIni(L"[Awin]\r\nMouseInfo=0\r\n");
    std::wstring notAnImage = install.PortableIni() + L".txt";
    test::WriteTextFile(notAnImage, L"not an image");
    Process pelio = install.Start();
    HWND viewer = WaitViewer(pelio);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(viewer) != FALSE; }));

    PostMessageW(viewer, WM_COPYDATA, 0, 0);  // malformed: ignored, no crash
    // The hand-over blocks the sender until the error box is closed: send it from a thread.
    HandoverArgs args{viewer, notAnImage};
    HANDLE sender = CreateThread(nullptr, 0, SendHandoverThread, &args, 0, nullptr);
    DialogInfo info;
    ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), L"Error", kWaitMs, info));
    EXPECT_EQ(info.text, L"画像の表示に失敗しました。");
    e2e::PressButton(info.hwnd, IDOK);
    WaitForSingleObject(sender, kWaitMs);
    CloseHandle(sender);
    EXPECT_TRUE(pelio.Running());
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
}

TEST(Startup, OptionsSwitchRunsOnlyTheOptionsCommand) {
    Install install;
    install.WriteIni(L"[Awin]\r\nMouseInfo=1\r\n");
    Process pelio = install.Start(L"/o C:\\ignored.png");
    DialogInfo options;
    ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), L"オプション", kWaitMs, options));
    HWND viewer = e2e::FindTopWindow(kViewerClass, pelio.Id());
    EXPECT_FALSE(viewer && IsWindowVisible(viewer));  // only the dialog
    e2e::PressButton(options.hwnd, IDCANCEL);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
    // The close sequence ran: the settings were written.
    EXPECT_TRUE(install.Ini().Has(L"Akey", L"SaveKey"));
    EXPECT_EQ(install.Ini().ReadInt(L"Awin", L"MouseInfo", -1), 1);
}

}  // namespace
}  // namespace pelio
