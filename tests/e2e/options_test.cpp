// The Options dialog driven from outside: pages filled from the settings, changes applied on
// OK and "適用" and dropped on Cancel, the last page shown again, the settings file at exit;
// the user's keys, registered tools, file associations and the Send To shortcut.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/commands/accelerators.h"
#include "core/commands/command_ids.h"
#include "core/commands/key_assignment.h"
#include "core/commands/shell_integration.h"
#include "core/settings/memory_profile.h"
#include "resources/resource_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"
#include "win/shell/registry_key.h"
#include "win/shell/shortcuts.h"

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
    }
    void Start() {
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
    // Steps the tab control with the arrow keys until `page` shows.
    void ShowPage(int page) {
        HWND tab = GetDlgItem(dialog_.hwnd, IDC_OPTIONS_TAB);
        for (int shown; (shown = int(SendMessageW(tab, TCM_GETCURSEL, 0, 0))) != page;) {
            Key(tab, shown < page ? VK_RIGHT : VK_LEFT);
            ASSERT_TRUE(Eventually([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) != shown; }));
        }
        ASSERT_TRUE(Eventually([&] { return IsWindowVisible(pages_[size_t(page)]) != FALSE; }));
    }
    HWND Control(int page, int id) { return GetDlgItem(pages_[size_t(page)], id); }
    bool Checked(int page, int id) { return SendMessageW(Control(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
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
    // Waits for the message box or dialog `caption`, checks its text when given and closes it
    // with `button`.
    void Answer(const wchar_t* caption, const wchar_t* text, int button) {
        e2e::DialogInfo box;
        ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), caption, kWaitMs, box));
        if (text) {
            EXPECT_EQ(box.text, text);
        }
        e2e::PressButton(box.hwnd, button);
        ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    }
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
    ASSERT_NO_FATAL_FAILURE(Start());
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

// ---- keys

constexpr int kKeysButton = 3360;  // on the mouse page

// Ctrl+Shift+`key` as the keyboard sends it, to the window in front.
void PressCtrlShift(BYTE key) {
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

int SlotOf(int command) {
    const AccelTable& table = DefaultAccelerators();
    for (int slot = 0; slot < kAccelCount; ++slot)
        if (table[size_t(slot)].command == command) return slot;
    return -1;
}

class Keys : public Options {
protected:
    // The key dialog over the Options dialog, from the mouse page's button.
    HWND OpenKeys() {
        ShowPage(2);
        if (HasFatalFailure()) return nullptr;
        e2e::PressButton(pages_[2], kKeysButton);
        e2e::DialogInfo keys;
        return e2e::WaitForDialog(pelio_.Id(), L"キーカスタマイズ", kWaitMs, keys) ? keys.hwnd : nullptr;
    }
    // Selects a row of the command list with the arrow keys, as a user would.
    void SelectSlot(HWND keys, int slot) {
        HWND list = GetDlgItem(keys, IDC_KEY_SLOTS);
        Key(list, VK_HOME);
        for (int i = 0; i < slot; ++i) Key(list, VK_DOWN);
        ASSERT_TRUE(Eventually([&] { return SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) == slot; }));
    }
    void ChooseKey(HWND keys, uint16_t key) {
        const auto offered = OfferedKeys();
        const auto at = std::find(offered.begin(), offered.end(), key);
        ASSERT_NE(at, offered.end());
        SendMessageW(GetDlgItem(keys, IDC_KEY_CHOICES), LB_SETCURSEL, WPARAM(at - offered.begin()), 0);
        SendMessageW(GetDlgItem(keys, IDC_KEY_CTRL), BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(GetDlgItem(keys, IDC_KEY_SHIFT), BM_SETCHECK, BST_CHECKED, 0);
    }
    void CloseKeys(HWND keys) {
        e2e::PressButton(keys, IDC_KEY_CLOSE);
        ASSERT_TRUE(Eventually([&] { return !IsWindow(keys); }));
    }
    // Resets the table in the key dialog and leaves the Options dialog with `button`.
    void ResetKeysAndLeave(int button) {
        ASSERT_NO_FATAL_FAILURE(Open());
        HWND keys = OpenKeys();
        ASSERT_NE(keys, nullptr);
        e2e::PressButton(keys, IDC_KEY_RESET);
        ASSERT_NO_FATAL_FAILURE(Answer(L"初期化", L"すべての値を初期設定に戻しますか？", IDYES));
        ASSERT_NO_FATAL_FAILURE(CloseKeys(keys));
        Press(button);
        ASSERT_TRUE(Eventually([&] { return Closed(); }));
    }
    // Ctrl+Shift+Q to the Viewer brings up the version dialog. Keys sent while the window
    // is still becoming the active one can be lost: a few tries.
    void QueryKeyOpensAbout() {
        SetForegroundWindow(viewer_);
        ASSERT_TRUE(Eventually([&] { return GetForegroundWindow() == viewer_; }));
        e2e::DialogInfo about;
        for (int attempt = 0; attempt < 3 && !about.hwnd; ++attempt) {
            PressCtrlShift('Q');
            e2e::WaitForDialog(pelio_.Id(), L"バージョン情報", 3000, about);
        }
        ASSERT_NO_FATAL_FAILURE(Answer(L"バージョン情報", nullptr, IDOK));
    }
};

TEST_F(Keys, AssignedKeyRunsItsCommandConflictsAreRefusedAndDefaultsComeBack) {
    const int about = SlotOf(cmd::kAbout);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND keys = OpenKeys();
    ASSERT_NE(keys, nullptr);
    ASSERT_NO_FATAL_FAILURE(SelectSlot(keys, about));
    ASSERT_NO_FATAL_FAILURE(ChooseKey(keys, 'Q'));
    e2e::PressButton(keys, IDC_KEY_ASSIGN);
    // The same key for another command is refused.
    ASSERT_NO_FATAL_FAILURE(SelectSlot(keys, 0));
    e2e::PressButton(keys, IDC_KEY_ASSIGN);
    ASSERT_NO_FATAL_FAILURE(
        Answer(L"登録済み", L"選択されたキーは既に登録済みです。\n別のキーを選択してください。", IDOK));
    ASSERT_NO_FATAL_FAILURE(CloseKeys(keys));
    Press(IDOK);
    ASSERT_TRUE(Eventually([&] { return Closed(); }));
    ASSERT_NO_FATAL_FAILURE(QueryKeyOpensAbout());

    // Reset, then Cancel: the live keys stay as they were.
    ASSERT_NO_FATAL_FAILURE(ResetKeysAndLeave(IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(QueryKeyOpensAbout());
    MemoryProfile ini = IniAtExit();
    const AccelTable stored = ReadStoredAccelerators(ini);
    EXPECT_EQ(stored[size_t(about)], (Accel{kAccelVirtKey | kAccelControl | kAccelShift, 'Q', cmd::kAbout}));
    EXPECT_EQ(stored[0], DefaultAccelerators()[0]);

    // The stored key is live after a restart; reset and OK bring back every default.
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(QueryKeyOpensAbout());
    ASSERT_NO_FATAL_FAILURE(ResetKeysAndLeave(IDOK));
    ini = IniAtExit();
    EXPECT_EQ(ReadStoredAccelerators(ini), DefaultAccelerators());
}

// ---- registered tools

TEST_F(Options, RegisteredToolGetsTheQuotedImagePathAndAMissingToolIsReported) {
    const std::wstring tool = dir_ / L"write_argument.exe", written = dir_ / L"argument.txt";
    ASSERT_TRUE(CopyFileW(e2e::WindowsPathOf(PELIO_WRITE_ARGUMENT_EXE).c_str(), tool.c_str(), FALSE));
    const std::wstring image = dir_ / L"my card.bmp";
    test::WriteSampleBmp(image, 40, 30, 24);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    ShowPage(3);
    e2e::PressButton(pages_[3], 3420);
    HWND chooser = nullptr;
    ASSERT_TRUE(e2e::AnswerFileDialog(pelio_.Id(), tool, kWaitMs, chooser));
    ASSERT_TRUE(Eventually([&] { return ControlText(Control(3, 3410)) == L"write_argument"; }));
    Press(IDOK);
    ASSERT_TRUE(Eventually([&] { return Closed(); }));

    auto run = [&] {
        DeleteFileW(written.c_str());
        PostMessageW(viewer_, WM_COMMAND, cmd::kTool1, 0);
    };
    run();  // no image: no argument
    ASSERT_TRUE(Eventually([&] { return test::PathExists(written); }));
    EXPECT_EQ(test::ReadTextFile(written), L"");
    e2e::SendCopyData(viewer_, 0, &image);
    ASSERT_TRUE(Eventually([&] { return e2e::WindowText(viewer_).starts_with(L"my card.bmp"); }));
    run();
    ASSERT_TRUE(Eventually([&] { return test::PathExists(written); }));
    EXPECT_EQ(test::ReadTextFile(written), L"\"" + image + L"\"");

    ASSERT_TRUE(DeleteFileW(tool.c_str()));
    run();
    ASSERT_NO_FATAL_FAILURE(Answer(L"Error", L"ファイル実行に失敗しました。", IDOK));
    MemoryProfile ini = IniAtExit();
    EXPECT_EQ(ini.ReadString(L"Path", L"APP0", L""), tool);
    EXPECT_EQ(ini.ReadString(L"Path", L"AN0", L""), L"write_argument");
}

// ---- associations and Send To

constexpr wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr wchar_t kAppCommand[] = L"Software\\Classes\\Applications\\Pelio.exe\\shell\\open\\command";
constexpr wchar_t kWineVersion[] = L"Software\\Wine\\AppDefaults\\Pelio.exe";

bool SameFile(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::wstring SendToLink() {
    wchar_t folder[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, 0, folder);
    return std::wstring(folder) + L"\\Pelio.lnk";
}

std::optional<std::wstring> ApplicationOf(const wchar_t* extension) {
    return RegistryKey::Open(HKEY_CURRENT_USER, kFileExts + std::wstring(extension)).ReadString(L"Application");
}

// Associations are per-user only on the XP generation: Pelio runs as on XP here, and the
// prefix is left as it was found.
class Registration : public Options {
protected:
    void SetUp() override {
        Options::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for reading the shortcut
        RegistryKey::Create(HKEY_CURRENT_USER, kWineVersion).WriteString(L"Version", L"winxp");
        // A value of the wrong type reads as absent.
        const DWORD one = 1;
        RegSetKeyValueW(HKEY_CURRENT_USER, (kFileExts + std::wstring(L".bmp")).c_str(), L"Application", REG_DWORD,
                        &one, sizeof one);
    }
    void TearDown() override {
        if (pelio_.Running()) IniAtExit();
        const RegistryKey user = RegistryKey::Open(HKEY_CURRENT_USER, L"Software", KEY_ALL_ACCESS);
        user.DeleteSubtree(L"Wine\\AppDefaults\\Pelio.exe");
        user.DeleteSubtree(L"Classes\\Applications\\Pelio.exe");
        for (const wchar_t* extension : AssociationExtensions())
            user.DeleteSubtree((L"Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" + std::wstring(extension)).c_str());
        DeleteFileW(SendToLink().c_str());
        CoUninitialize();
    }
};

TEST_F(Registration, TickedTypesAndSendToWrittenOnApplyAndRemovedWhenCleared) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    ShowPage(5);
    ASSERT_TRUE(IsWindowEnabled(Control(5, 3611)));
    EXPECT_FALSE(Checked(5, 3610));
    Click(5, 3611);
    Click(5, 3612);
    Click(5, 3630);
    Press(IDC_OPTIONS_APPLY);
    ASSERT_TRUE(Eventually([&] { return test::PathExists(SendToLink()); }));
    for (const wchar_t* extension : {L".png", L".jpg", L".jpe", L".jpeg"})
        EXPECT_EQ(ApplicationOf(extension).value_or(L"-"), L"Pelio.exe") << extension;
    EXPECT_FALSE(ApplicationOf(L".gif"));
    EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kAppCommand).ReadString(nullptr).value_or(L""), OpenCommand(exe_));
    EXPECT_TRUE(SameFile(ResolveShortcut(SendToLink()), exe_));
    Press(IDCANCEL);  // what was applied stays
    ASSERT_TRUE(Eventually([&] { return Closed(); }));

    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(IsWindowVisible(pages_[5]));
    EXPECT_TRUE(Checked(5, 3611) && Checked(5, 3612) && Checked(5, 3630));
    EXPECT_FALSE(Checked(5, 3610) || Checked(5, 3613));
    Click(5, 3611);
    Click(5, 3612);
    Click(5, 3630);
    Press(IDOK);
    ASSERT_TRUE(Eventually([&] { return Closed(); }));
    EXPECT_FALSE(test::PathExists(SendToLink()));
    for (const wchar_t* extension : {L".png", L".jpg", L".jpe", L".jpeg"}) EXPECT_FALSE(ApplicationOf(extension)) << extension;
    // The open command stays for the shell's "open with" list.
    EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kAppCommand).ReadString(nullptr).value_or(L""), OpenCommand(exe_));
}

}  // namespace
}  // namespace pelio
