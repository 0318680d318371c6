// Key name table. Portable.
#include "core/commands/key_names.h"

#include <array>

namespace pelio {

namespace {

using NameTable = std::array<const wchar_t*, 256>;

constexpr NameTable BuildNames() {
    NameTable t{};
    for (auto& name : t) name = L"";
    t[8] = L"BackSpace";
    t[9] = L"Tab";
    t[13] = L"Enter";
    t[27] = L"Esc";
    t[32] = L"Space";
    constexpr const wchar_t* kNavigation[] = {L"PageUp", L"PageDown", L"End", L"Home",
                                              L"←", L"↑", L"→", L"↓"};
    for (int i = 0; i < 8; ++i) t[33 + i] = kNavigation[i];
    t[45] = L"Insert";
    t[46] = L"Delete";
    constexpr const wchar_t* kDigits[] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
    for (int i = 0; i < 10; ++i) t[48 + i] = kDigits[i];
    constexpr const wchar_t* kLetters[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
                                           L"J", L"K", L"L", L"M", L"N", L"O", L"P", L"Q", L"R",
                                           L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};
    for (int i = 0; i < 26; ++i) t[65 + i] = kLetters[i];
    constexpr const wchar_t* kPad[] = {L"[Num] 0 ", L"[Num] 1", L"[Num] 2", L"[Num] 3", L"[Num] 4",
                                       L"[Num] 5",  L"[Num] 6", L"[Num] 7", L"[Num] 8", L"[Num] 9",
                                       L"[Num] *",  L"[Num] +", L"",        L"[Num] -", L"[Num] .",
                                       L"[Num] /"};
    for (int i = 0; i < 16; ++i) t[96 + i] = kPad[i];
    constexpr const wchar_t* kFunction[] = {L"F1", L"F2", L"F3", L"F4",  L"F5",  L"F6",
                                            L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"};
    for (int i = 0; i < 12; ++i) t[112 + i] = kFunction[i];
    constexpr const wchar_t* kPunctuation[] = {L":", L";", L",", L"-", L".", L"/", L"@"};
    for (int i = 0; i < 7; ++i) t[186 + i] = kPunctuation[i];
    t[219] = L"[";
    t[220] = L"\\";
    t[221] = L"]";
    t[222] = L"^";
    t[226] = L"_";
    return t;
}

constexpr NameTable kNames = BuildNames();

}  // namespace

const wchar_t* KeyName(unsigned virtualKey) { return virtualKey < kNames.size() ? kNames[virtualKey] : L""; }

const wchar_t* ModifierText(unsigned flags) {
    switch (flags) {
    case kAccelVirtKey | kAccelShift: return L"Shift+";
    case kAccelVirtKey | kAccelControl: return L"Ctrl+";
    case kAccelVirtKey | kAccelControl | kAccelShift: return L"Ctrl+Shift+";
    default: return L"";
    }
}

std::wstring ShortcutText(const Accel& accel) {
    const wchar_t* name = KeyName(accel.key);
    if (!*name) return {};
    return std::wstring(ModifierText(accel.flags)) + name;
}

}  // namespace pelio
