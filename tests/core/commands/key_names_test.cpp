// Key names, modifier texts and the shortcut text of the default table.
#include <gtest/gtest.h>

#include "core/commands/command_ids.h"
#include "core/commands/key_names.h"

namespace pelio {
namespace {

TEST(KeyNames, Table) {
    struct Case {
        unsigned vk;
        const wchar_t* name;
    } cases[] = {
        {8, L"BackSpace"}, {9, L"Tab"},       {13, L"Enter"},   {27, L"Esc"},      {32, L"Space"},
        {33, L"PageUp"},   {34, L"PageDown"}, {35, L"End"},     {36, L"Home"},     {37, L"←"},
        {38, L"↑"},        {39, L"→"},        {40, L"↓"},       {45, L"Insert"},   {46, L"Delete"},
        {48, L"0"},        {57, L"9"},        {65, L"A"},       {90, L"Z"},        {96, L"[Num] 0 "},
        {97, L"[Num] 1"},  {105, L"[Num] 9"}, {106, L"[Num] *"}, {107, L"[Num] +"}, {108, L""},
        {109, L"[Num] -"}, {110, L"[Num] ."}, {111, L"[Num] /"}, {112, L"F1"},     {123, L"F12"},
        {124, L""},        {186, L":"},       {187, L";"},      {188, L","},       {189, L"-"},
        {190, L"."},       {191, L"/"},       {192, L"@"},      {193, L""},        {219, L"["},
        {220, L"\\"},      {221, L"]"},       {222, L"^"},      {226, L"_"},       {0, L""},
        {16, L""},         {44, L""},         {255, L""},       {256, L""},        {65535, L""},
    };
    for (const Case& c : cases) EXPECT_STREQ(KeyName(c.vk), c.name) << c.vk;
}

TEST(KeyNames, ModifiersAndShortcuts) {
    EXPECT_STREQ(ModifierText(5), L"Shift+");
    EXPECT_STREQ(ModifierText(9), L"Ctrl+");
    EXPECT_STREQ(ModifierText(13), L"Ctrl+Shift+");
    for (unsigned other : {0u, 1u, 4u, 8u, 17u, 21u, 25u, 29u}) EXPECT_STREQ(ModifierText(other), L"") << other;

    EXPECT_EQ(ShortcutText(Accel{9, 'O', cmd::kOpen}), L"Ctrl+O");
    EXPECT_EQ(ShortcutText(Accel{5, 37, cmd::kScrollLeft}), L"Shift+←");
    EXPECT_EQ(ShortcutText(Accel{13, 96, cmd::kOpen}), L"Ctrl+Shift+[Num] 0 ");
    EXPECT_EQ(ShortcutText(Accel{17, 'A', cmd::kOpen}), L"A");  // Alt has no text of its own
    EXPECT_EQ(ShortcutText(Accel{9, 0, cmd::kComment}), L"");   // no key, no shortcut
    EXPECT_EQ(ShortcutText(Accel{9, 16, cmd::kComment}), L"");  // a key without a name

    int shown = 0;
    for (const Accel& a : DefaultAccelerators()) shown += !ShortcutText(a).empty();
    EXPECT_EQ(shown, 40);
}

}  // namespace
}  // namespace pelio
