// Slot names, the offered keys, and assign, remove and reset on a key table copy.
#include <gtest/gtest.h>

#include <set>
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
        {0, 5010, L"ファイル - 開く"},
        {9, 5060, L"ファイル - 印刷(プレビュー)"},
        {10, 5120, L"イメージ - 変形 - トリミング"},
        {19, 5160, L"イメージ - 画質補正 - ヒストグラム補正"},
        {28, 5111, L"イメージ - ヒストグラム表示"},
        {29, 5110, L"イメージ - 使用色数確認"},
        {35, 5310, L"ウィンドウ - ウィンドウ切替"},
        {46, 5345, L"ウィンドウ - 背景色 - 黒"},
        {47, 5410, L"ツール - オプション"},
        {55, 5427, L"ツール - 登録ツール8"},
        {61, 5550, L"終了(メインウィンドウのみ)"},
        {62, 5600, L"表示倍率切替(等倍⇔画面サイズ)"},
        {70, 5265, L"10%表示"},
        {72, 5702, L"戻る(ファイル閲覧)"},
        {74, 5701, L"末尾へ(ファイル閲覧)"},
        {78, 5653, L"スクロール(下へ)"},
        {79, 5710, L"スクロールバー表示"},
        {83, 5722, L"プレビュー画像(ウィンドウ2)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultAccelerators()[c.slot].command, c.command) << c.slot;
        EXPECT_STREQ(SlotNames()[c.slot], c.name) << c.slot;
    }
    std::set<std::wstring> distinct(SlotNames().begin(), SlotNames().end());
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kAccelCount));
}

TEST(KeyAssignment, OfferedKeysInListOrder) {
    const auto keys = OfferedKeys();
    std::wstring shown;
    for (uint16_t k : keys) {
        ASSERT_STRNE(KeyName(k), L"") << k;
        shown += KeyName(k);
        shown += L'|';
    }
    EXPECT_EQ(shown,
              L"BackSpace|Tab|Enter|Esc|Space|PageUp|PageDown|End|Home|←|↑|→|↓|Insert|Delete|"
              L":|;|,|-|.|/|@|[|\\|]|^|_|0|1|2|3|4|5|6|7|8|9|"
              L"A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y|Z|"
              L"F1|F2|F3|F4|F5|F6|F7|F8|F9|F10|F11|F12|"
              L"[Num] 0 |[Num] 1|[Num] 2|[Num] 3|[Num] 4|[Num] 5|[Num] 6|[Num] 7|[Num] 8|[Num] 9|"
              L"[Num] *|[Num] +|[Num] -|[Num] .|[Num] /|");
    EXPECT_EQ(std::set<uint16_t>(keys.begin(), keys.end()).size(), keys.size());
}

TEST(KeyAssignment, AssignRefusals) {
    const AccelTable defaults = DefaultAccelerators();
    struct Case {
        int slot;
        unsigned key;
        bool ctrl, shift;
        AssignOutcome outcome;
    } cases[] = {
        {-1, 'Q', false, false, AssignOutcome::NoSlot},
        {kAccelCount, 'Q', false, false, AssignOutcome::NoSlot},
        {-1, 0, false, false, AssignOutcome::NoSlot},  // no row is reported before no key
        {6, 0, false, false, AssignOutcome::NoKey},
        {6, 256, false, false, AssignOutcome::NoKey},
        {0, 'O', true, false, AssignOutcome::InUse},   // the slot's own key
        {6, 'O', true, false, AssignOutcome::InUse},   // Ctrl+O of slot 0
        {6, 'O', false, false, AssignOutcome::InUse},  // O of the Options slot
        {6, 37, false, true, AssignOutcome::InUse},    // Shift+← scrolls
    };
    for (const Case& c : cases) {
        AccelTable t = defaults;
        EXPECT_EQ(AssignKey(t, c.slot, c.key, c.ctrl, c.shift), c.outcome) << c.slot << " " << c.key;
        EXPECT_EQ(t, defaults) << c.slot << " " << c.key;
    }
}

TEST(KeyAssignment, FourModifierCombinationsAreFourKeys) {
    AccelTable t = DefaultAccelerators();
    struct Case {
        int slot;
        bool ctrl, shift;
        uint8_t flags;
        const wchar_t* text;
    } cases[] = {
        {6, false, false, 1, L"Q"},
        {7, false, true, 5, L"Shift+Q"},
        {8, true, false, 9, L"Ctrl+Q"},
        {9, true, true, 13, L"Ctrl+Shift+Q"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(AssignKey(t, c.slot, 'Q', c.ctrl, c.shift), AssignOutcome::Assigned) << c.slot;
        EXPECT_EQ(t[c.slot].flags, c.flags);
        EXPECT_EQ(t[c.slot].key, 'Q');
        EXPECT_EQ(t[c.slot].command, DefaultAccelerators()[c.slot].command);
        EXPECT_EQ(ShortcutText(t[c.slot]), c.text);
    }
    for (const Case& c : cases) EXPECT_EQ(AssignKey(t, 10, 'Q', c.ctrl, c.shift), AssignOutcome::InUse);
    // Reassigning a slot replaces its key and modifiers.
    ASSERT_EQ(AssignKey(t, 9, 96, false, false), AssignOutcome::Assigned);
    EXPECT_EQ(ShortcutText(t[9]), L"[Num] 0 ");
    EXPECT_EQ(AssignKey(t, 10, 'Q', true, true), AssignOutcome::Assigned);
}

TEST(KeyAssignment, RemoveThenAssignElsewhere) {
    AccelTable t = DefaultAccelerators();
    EXPECT_EQ(AssignKey(t, 6, 'C', false, false), AssignOutcome::InUse);  // Copy holds C
    ASSERT_TRUE(RemoveKey(t, 3));
    EXPECT_EQ(t[3].key, 0);
    EXPECT_EQ(t[3].flags, kAccelVirtKey);
    EXPECT_EQ(t[3].command, 5030);
    EXPECT_EQ(ShortcutText(t[3]), L"");
    ASSERT_EQ(AssignKey(t, 6, 'C', false, false), AssignOutcome::Assigned);
    EXPECT_EQ(t[6].key, 'C');

    // Removing also drops the modifiers, and a slot without a key never conflicts.
    ASSERT_TRUE(RemoveKey(t, 0));
    EXPECT_EQ(t[0].flags, kAccelVirtKey);
    const AccelTable before = t;
    EXPECT_FALSE(RemoveKey(t, -1));
    EXPECT_FALSE(RemoveKey(t, kAccelCount));
    EXPECT_EQ(t, before);

    ResetKeys(t);
    EXPECT_EQ(t, DefaultAccelerators());
}

}  // namespace
}  // namespace pelio
