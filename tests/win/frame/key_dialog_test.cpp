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
    // Waits for a dialog of this process with `caption`; null after the wait.
    static HWND Await(const wchar_t* caption) {
        e2e::DialogInfo info;
        return e2e::WaitForDialog(GetCurrentProcessId(), caption, kWaitMs, info) ? info.hwnd : nullptr;
    }

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
    // Presses a button and waits until the dialog has handled it.
    void Press(int id) { SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // Presses a button that brings up a box; answers the box with `answer` and returns its
    // text, or "(none)" when no box with `caption` came.
    std::wstring PressAndAnswer(int id, const wchar_t* caption, int answer) {
        e2e::PressButton(dialog_, id);
        e2e::DialogInfo box;
        if (!e2e::WaitForDialog(GetCurrentProcessId(), caption, kWaitMs, box)) return L"(none)";
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
    std::wstring KeyListEntry(int index) const {
        wchar_t text[64] = {};
        SendDlgItemMessageW(dialog_, IDC_KEY_CHOICES, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int Count(int id, UINT msg) const { return static_cast<int>(SendDlgItemMessageW(dialog_, id, msg, 0, 0)); }
    int ColumnWidth(int column) const { return static_cast<int>(SendMessageW(slots_, LVM_GETCOLUMNWIDTH, column, 0)); }
    int ListClientWidth() const {
        RECT r{};
        GetClientRect(slots_, &r);
        return r.right;
    }
    void Close() { e2e::PressButton(dialog_, IDC_KEY_CLOSE); }

private:
    HWND dialog_, slots_;
};

// Opens the dialog on `copy` on this thread while `act` drives it from another; the dialog is
// closed afterwards whatever `act` did. Returns what OpenKeyDialog returned.
bool RunKeyDialog(AccelTable& copy, const std::function<void(KeyDialogUser&)>& act) {
    std::thread user([&] {
        HWND dialog = KeyDialogUser::Await(L"キーカスタマイズ");
        if (!dialog) return;
        KeyDialogUser u(dialog);
        act(u);
        u.Close();
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
    struct Seen {
        int rows = 0, keys = 0, widths[2] = {}, clientWidth = 0;
        std::wstring firstRow[2], numPadZero, assigned, inUse, noRow, untouched;
    } seen;
    const bool changed = RunKeyDialog(copy, [&](KeyDialogUser& u) {
        seen.rows = u.Count(IDC_KEY_SLOTS, LVM_GETITEMCOUNT);
        seen.keys = u.Count(IDC_KEY_CHOICES, LB_GETCOUNT);
        seen.widths[0] = u.ColumnWidth(0);
        seen.widths[1] = u.ColumnWidth(1);
        seen.clientWidth = u.ListClientWidth();
        seen.firstRow[0] = u.Cell(0, 0);
        seen.firstRow[1] = u.Cell(0, 1);
        seen.numPadZero = u.KeyListEntry(OfferedIndex(VK_NUMPAD0));

        u.SelectSlot(6);
        u.ChooseKey('Q', true, true);
        u.Press(IDC_KEY_ASSIGN);
        seen.assigned = u.Cell(6, 1);

        u.SelectSlot(7);  // the same key and modifiers on another row
        seen.inUse = u.PressAndAnswer(IDC_KEY_ASSIGN, L"登録済み", IDOK);
        seen.untouched = u.Cell(7, 1);

        u.SelectSlot(-1);
        seen.noRow = u.PressAndAnswer(IDC_KEY_REMOVE, L"未選択", IDOK);
    });
    EXPECT_EQ(seen.rows, kAccelCount);
    EXPECT_EQ(seen.keys, kOfferedKeyCount);
    EXPECT_EQ(seen.widths[0], 211);
    EXPECT_EQ(seen.widths[1], 80);
    EXPECT_EQ(seen.clientWidth, 211 + 80);  // the list fits its columns
    EXPECT_EQ(seen.firstRow[0], L"ファイル - 開く");
    EXPECT_EQ(seen.firstRow[1], L"Ctrl+O");
    EXPECT_EQ(seen.numPadZero, L"[Num] 0 ");
    EXPECT_EQ(seen.assigned, L"Ctrl+Shift+Q");
    EXPECT_EQ(seen.inUse, L"選択されたキーは既に登録済みです。\n別のキーを選択してください。");
    EXPECT_EQ(seen.untouched, L"");
    EXPECT_EQ(seen.noRow, L"コマンドが選択されていません。");

    EXPECT_TRUE(changed);
    AccelTable want = DefaultAccelerators();
    want[6] = Accel{FVIRTKEY | FCONTROL | FSHIFT, 'Q', cmd::kComment};
    EXPECT_EQ(copy, want);
}

TEST_F(KeyDialog, ResetAsksAndRestoresTheDefaultsOnYes) {
    AccelTable edited = DefaultAccelerators();
    ASSERT_TRUE(RemoveKey(edited, 0));
    ASSERT_EQ(AssignKey(edited, 6, VK_F5, false, false), AssignOutcome::Assigned);

    // "No" leaves the copy as it was, and a dialog that did nothing reports no change.
    AccelTable copy = edited;
    std::wstring question, rowAfterNo;
    EXPECT_FALSE(RunKeyDialog(copy, [&](KeyDialogUser& u) {
        question = u.PressAndAnswer(IDC_KEY_RESET, L"初期化", IDNO);
        rowAfterNo = u.Cell(6, 1);
    }));
    EXPECT_EQ(question, L"すべての値を初期設定に戻しますか？");
    EXPECT_EQ(rowAfterNo, L"F5");
    EXPECT_EQ(copy, edited);

    std::wstring first, sixth;
    EXPECT_TRUE(RunKeyDialog(copy, [&](KeyDialogUser& u) {
        u.PressAndAnswer(IDC_KEY_RESET, L"初期化", IDYES);
        first = u.Cell(0, 1);
        sixth = u.Cell(6, 1);
    }));
    EXPECT_EQ(first, L"Ctrl+O");
    EXPECT_EQ(sixth, L"");
    EXPECT_EQ(copy, DefaultAccelerators());
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
    EXPECT_EQ(Translate(window, 'O', true, false), 0);
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
