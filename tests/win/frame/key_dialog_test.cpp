// The key customisation dialog driven from a second thread, and a key table made live.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/commands/key_assignment.h"
#include "resources/resource_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/base/menus.h"
#include "win/base/toolbar_support.h"
#include "win/frame/key_dialog.h"

namespace pelio {
namespace {

constexpr int kWaitMs = 10000;

int OfferedIndex(unsigned key) {
    const auto keys = OfferedKeys();
    return static_cast<int>(std::find(keys.begin(), keys.end(), key) - keys.begin());
}

// Acts on the dialog of this process's main thread from a second thread, as a user would.
class KeyDialogUser {
public:
    explicit KeyDialogUser(HWND dialog) : dialog_(dialog), slots_(GetDlgItem(dialog, IDC_KEY_SLOTS)) {}

    void SelectSlot(int slot) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = slot >= 0 ? item.stateMask : 0;
        SendMessageW(slots_, LVM_SETITEMSTATE, slot, reinterpret_cast<LPARAM>(&item));
    }
    void ChooseKey(unsigned key, bool ctrl, bool shift) {
        SendDlgItemMessageW(dialog_, IDC_KEY_CHOICES, LB_SETCURSEL, OfferedIndex(key), 0);
        CheckDlgButton(dialog_, IDC_KEY_CTRL, ctrl ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog_, IDC_KEY_SHIFT, shift ? BST_CHECKED : BST_UNCHECKED);
    }
    void Press(int id) { SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Presses a button that brings up a box with `caption`, answers it and returns its text.
    std::wstring PressAndAnswer(int id, const wchar_t* caption, int answer) {
        e2e::PressButton(dialog_, id);
        e2e::DialogInfo box;
        if (!e2e::WaitForDialog(GetCurrentProcessId(), caption, kWaitMs, box)) return L"(no box)";
        e2e::PressButton(box.hwnd, answer);
        e2e::Eventually([&] { return !IsWindow(box.hwnd); }, kWaitMs);
        return box.text;
    }
    std::wstring Cell(int slot, int column) const {
        wchar_t text[128] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(slots_, LVM_GETITEMTEXTW, slot, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    HWND dialog_, slots_;
};

// Opens the dialog on `copy` on this thread while `act` drives it from another, then closes
// it. Returns what OpenKeyDialog returned.
bool RunKeyDialog(AccelTable& copy, const std::function<void(KeyDialogUser&)>& act) {
    std::thread user([&] {
        e2e::DialogInfo info;
        if (!e2e::WaitForDialog(GetCurrentProcessId(), L"キーカスタマイズ", kWaitMs, info)) return;
        KeyDialogUser u(info.hwnd);
        act(u);
        e2e::PressButton(info.hwnd, IDC_KEY_CLOSE);
    });
    const bool changed = OpenKeyDialog(nullptr, copy);
    user.join();
    return changed;
}

class KeyDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        App().instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

TEST_F(KeyDialog, AssignsToTheSelectedRowAndRefusesAKeyInUse) {
    AccelTable copy = DefaultAccelerators();
    std::vector<std::wstring> seen;
    int rows = 0, keys = 0, widths[2] = {};
    RECT list{};
    const bool changed = RunKeyDialog(copy, [&](KeyDialogUser& u) {
        rows = static_cast<int>(SendMessageW(u.slots_, LVM_GETITEMCOUNT, 0, 0));
        keys = static_cast<int>(SendDlgItemMessageW(u.dialog_, IDC_KEY_CHOICES, LB_GETCOUNT, 0, 0));
        for (int c : {0, 1}) widths[c] = static_cast<int>(SendMessageW(u.slots_, LVM_GETCOLUMNWIDTH, c, 0));
        GetClientRect(u.slots_, &list);
        wchar_t numPadZero[16] = {};
        SendDlgItemMessageW(u.dialog_, IDC_KEY_CHOICES, LB_GETTEXT, OfferedIndex(VK_NUMPAD0),
                            reinterpret_cast<LPARAM>(numPadZero));
        seen = {u.Cell(0, 0), u.Cell(0, 1), numPadZero};

        u.SelectSlot(6);
        u.ChooseKey('Q', true, true);
        u.Press(IDC_KEY_ASSIGN);
        seen.push_back(u.Cell(6, 1));
        u.SelectSlot(7);  // the same key and modifiers on another row
        seen.push_back(u.PressAndAnswer(IDC_KEY_ASSIGN, L"登録済み", IDOK));
        seen.push_back(u.Cell(7, 1));
        u.SelectSlot(-1);
        seen.push_back(u.PressAndAnswer(IDC_KEY_REMOVE, L"未選択", IDOK));
    });
    EXPECT_EQ(rows, kAccelCount);
    EXPECT_EQ(keys, kOfferedKeyCount);
    EXPECT_EQ(widths[0], 211);
    EXPECT_EQ(widths[1], 80);
    EXPECT_EQ(list.right, 211 + 80);  // the list fits its columns
    const std::vector<std::wstring> want = {
        L"ファイル - 開く", L"Ctrl+O", L"[Num] 0 ", L"Ctrl+Shift+Q",
        L"選択されたキーは既に登録済みです。\n別のキーを選択してください。", L"",
        L"コマンドが選択されていません。"};
    EXPECT_EQ(seen, want);

    EXPECT_TRUE(changed);
    AccelTable expected = DefaultAccelerators();
    expected[6] = Accel{FVIRTKEY | FCONTROL | FSHIFT, 'Q', cmd::kComment};
    EXPECT_EQ(copy, expected);
}

TEST_F(KeyDialog, ResetAsksAndRestoresTheDefaultsOnYes) {
    AccelTable edited = DefaultAccelerators();
    ASSERT_TRUE(RemoveKey(edited, 0));
    ASSERT_EQ(AssignKey(edited, 6, VK_F5, false, false), AssignOutcome::Assigned);

    // "No" leaves the rows as they are; "Yes" shows and stores the defaults.
    AccelTable copy = edited;
    std::vector<std::wstring> seen;
    EXPECT_TRUE(RunKeyDialog(copy, [&](KeyDialogUser& u) {
        seen.push_back(u.PressAndAnswer(IDC_KEY_RESET, L"初期化", IDNO));
        seen.push_back(u.Cell(6, 1));
        u.PressAndAnswer(IDC_KEY_RESET, L"初期化", IDYES);
        seen.push_back(u.Cell(0, 1));
        seen.push_back(u.Cell(6, 1));
    }));
    const std::vector<std::wstring> want = {L"すべての値を初期設定に戻しますか？", L"F5", L"Ctrl+O", L""};
    EXPECT_EQ(seen, want);
    EXPECT_EQ(copy, DefaultAccelerators());

    // A dialog closed without an operation reports no change.
    EXPECT_FALSE(RunKeyDialog(copy, [](KeyDialogUser&) {}));
}

// A window that records the commands a translated key sends it.
std::vector<int> g_commands;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) g_commands.push_back(LOWORD(wp));
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The command the live table makes of a key press with the given modifiers held; 0 for none.
int Translate(HWND window, UINT key, bool ctrl, bool shift) {
    BYTE state[256] = {};
    if (ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    SetKeyboardState(state);
    g_commands.clear();
    MSG msg{window, WM_KEYDOWN, key, 1, 0, {}};
    const bool translated = App().accel && TranslateAcceleratorW(window, App().accel, &msg);
    BYTE none[256] = {};
    SetKeyboardState(none);
    return translated && g_commands.size() == 1 ? g_commands[0] : 0;
}

TEST(LiveKeys, ANewTableTranslatesAndShowsInMenusAndTips) {
    test::TempFolder dir;
    App().instance = GetModuleHandleW(nullptr);
    App().iniPath = dir / L"Pelio.ini";
    BuildMenus();
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = App().instance;
    wc.lpszClassName = L"PelioKeyTestWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  App().instance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Translate(window, 'C', false, false), cmd::kCopy);
    EXPECT_EQ(MenuItemLabelOf(cmd::kCopy).shortcut, L"C");

    // C moves from Copy to Comment, Print gets Ctrl+Shift+Q, Open loses its key; the Edit
    // window's caption of the window switch survives the rebuild.
    AccelTable table = DefaultAccelerators();
    ASSERT_TRUE(RemoveKey(table, 3));
    ASSERT_EQ(AssignKey(table, 6, 'C', false, false), AssignOutcome::Assigned);
    ASSERT_EQ(AssignKey(table, 9, 'Q', true, true), AssignOutcome::Assigned);
    ASSERT_TRUE(RemoveKey(table, 0));
    SetCommandCaption(cmd::kEditWindow, kMainWindowCaption);
    RebuildShortcutTexts(table);

    EXPECT_EQ(Translate(window, 'C', false, false), cmd::kComment);
    EXPECT_EQ(Translate(window, 'Q', true, true), cmd::kPrint);
    EXPECT_EQ(Translate(window, 'Q', false, false), 0);
    EXPECT_EQ(MenuItemLabelOf(cmd::kCopy).shortcut, L"");
    EXPECT_EQ(MenuItemLabelOf(cmd::kComment).shortcut, L"C");
    EXPECT_EQ(MenuItemLabelOf(cmd::kPrint).shortcut, L"Ctrl+Shift+Q");
    EXPECT_EQ(MenuItemLabelOf(cmd::kOpen).shortcut, L"");
    EXPECT_EQ(MenuItemLabelOf(cmd::kEditWindow).caption, kMainWindowCaption);
    EXPECT_EQ(ToolbarTipText(cmd::kOpen, L"開く"), L"開く");

    // A table without any key leaves no handle and no shortcut.
    AccelTable empty = DefaultAccelerators();
    for (int slot = 0; slot < kAccelCount; ++slot) RemoveKey(empty, slot);
    RebuildShortcutTexts(empty);
    EXPECT_EQ(App().accel, nullptr);
    EXPECT_EQ(MenuItemLabelOf(cmd::kExit).shortcut, L"");

    // What is stored at exit is the live table, slots without a key included.
    RebuildShortcutTexts(table);
    SaveAccelerators();
    IniStore store(App().iniPath);
    EXPECT_EQ(ReadStoredAccelerators(store), table);

    DestroyWindow(window);
    App().accelTable = DefaultAccelerators();
}

}  // namespace
}  // namespace pelio
