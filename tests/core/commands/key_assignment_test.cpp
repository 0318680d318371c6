// Slot names, the offered keys, and assign, remove and reset on a key table copy.
#include <gtest/gtest.h>

#include <string>

#include "core/commands/key_assignment.h"
#include "core/commands/key_names.h"

namespace pelio {
namespace {

TEST(KeyAssignment, SlotNamesFollowTheTableOrder) {
    struct Case {
        int slot, command;
        const wchar_t* name;
    } cases[] = {
        {0, 5010, L"ファイル - 開く"}, {28, 5111, L"イメージ - ヒストグラム表示"},
        {29, 5110, L"イメージ - 使用色数確認"}, {55, 5427, L"ツール - 登録ツール8"},
        {62, 5600, L"表示倍率切替(等倍⇔画面サイズ)"}, {72, 5702, L"戻る(ファイル閲覧)"},
        {74, 5701, L"末尾へ(ファイル閲覧)"}, {83, 5722, L"プレビュー画像(ウィンドウ2)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultAccelerators()[c.slot].command, c.command) << c.slot;
        EXPECT_STREQ(SlotNames()[c.slot], c.name) << c.slot;
    }
}

TEST(KeyAssignment, OfferedKeysInListOrder) {
    std::wstring shown;
    for (uint16_t k : OfferedKeys()) shown += std::wstring(KeyName(k)) + L'|';
    EXPECT_EQ(shown,
              L"BackSpace|Tab|Enter|Esc|Space|PageUp|PageDown|End|Home|←|↑|→|↓|Insert|Delete|"
              L":|;|,|-|.|/|@|[|\\|]|^|_|0|1|2|3|4|5|6|7|8|9|"
              L"A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y|Z|"
              L"F1|F2|F3|F4|F5|F6|F7|F8|F9|F10|F11|F12|"
              L"[Num] 0 |[Num] 1|[Num] 2|[Num] 3|[Num] 4|[Num] 5|[Num] 6|[Num] 7|[Num] 8|[Num] 9|"
              L"[Num] *|[Num] +|[Num] -|[Num] .|[Num] /|");
}

TEST(KeyAssignment, AssignRefusalsChangeNothing) {
    struct Case {
        int slot;
        unsigned key;
        bool ctrl, shift;
        AssignOutcome outcome;
    } cases[] = {
        {-1, 'Q', false, false, AssignOutcome::NoSlot}, {kAccelCount, 'Q', false, false, AssignOutcome::NoSlot},
        {-1, 0, false, false, AssignOutcome::NoSlot},  // no row is reported before no key
        {6, 0, false, false, AssignOutcome::NoKey},     {6, 256, false, false, AssignOutcome::NoKey},
        {0, 'O', true, false, AssignOutcome::InUse},    // the slot's own key
        {6, 'O', true, false, AssignOutcome::InUse},    {6, 'O', false, false, AssignOutcome::InUse},
        {6, 37, false, true, AssignOutcome::InUse},     // Shift+← scrolls
    };
    for (const Case& c : cases) {
        AccelTable t = DefaultAccelerators();
        EXPECT_EQ(AssignKey(t, c.slot, c.key, c.ctrl, c.shift), c.outcome) << c.slot << " " << c.key;
        EXPECT_EQ(t, DefaultAccelerators()) << c.slot << " " << c.key;
    }
}

TEST(KeyAssignment, FourModifierCombinationsAreFourKeys) {
    AccelTable t = DefaultAccelerators();
    struct Case {
        int slot;
        bool ctrl, shift;
        uint8_t flags;
        const wchar_t* text;
    } cases[] = {{6, false, false, 1, L"Q"}, {7, false, true, 5, L"Shift+Q"},
                 {8, true, false, 9, L"Ctrl+Q"}, {9, true, true, 13, L"Ctrl+Shift+Q"}};
    for (const Case& c : cases) {
        ASSERT_EQ(AssignKey(t, c.slot, 'Q', c.ctrl, c.shift), AssignOutcome::Assigned) << c.slot;
        EXPECT_EQ(t[c.slot], (Accel{c.flags, 'Q', DefaultAccelerators()[c.slot].command}));
        EXPECT_EQ(ShortcutText(t[c.slot]), c.text);
    }
    for (const Case& c : cases) EXPECT_EQ(AssignKey(t, 10, 'Q', c.ctrl, c.shift), AssignOutcome::InUse);
    ASSERT_EQ(AssignKey(t, 9, 96, false, false), AssignOutcome::Assigned);  // replaces Ctrl+Shift+Q
    EXPECT_EQ(ShortcutText(t[9]), L"[Num] 0 ");
    EXPECT_EQ(AssignKey(t, 10, 'Q', true, true), AssignOutcome::Assigned);
}

TEST(KeyAssignment, RemoveThenAssignElsewhereAndReset) {
    AccelTable t = DefaultAccelerators();
    ASSERT_TRUE(RemoveKey(t, 0));  // Ctrl+O: key and modifiers go
    EXPECT_EQ(t[0], (Accel{kAccelVirtKey, 0, 5010}));
    ASSERT_EQ(AssignKey(t, 6, 'O', true, false), AssignOutcome::Assigned);
    EXPECT_FALSE(RemoveKey(t, -1));
    EXPECT_FALSE(RemoveKey(t, kAccelCount));
    ResetKeys(t);
    EXPECT_EQ(t, DefaultAccelerators());
}

}  // namespace
}  // namespace pelio
