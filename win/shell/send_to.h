// The program's shortcut in the user's Send To menu. Win32.
#pragma once
#include <string>

namespace pelio {

inline constexpr wchar_t kSendToShortcutName[] = L"Pelio.lnk";

// "Pelio.lnk" in the user's Send To folder; empty when the shell does not know the folder.
std::wstring SendToShortcutPath();
bool SendToShortcutExists();

// The page's check "「送る」メニューに登録": as read when the page opened, or as last applied.
struct SendToState {
    bool checked = false;
    bool initial = false;
};
SendToState ReadSendTo();

// On OK and Apply, when the check changed: ticked makes the shortcut to the program where
// there is none, cleared deletes it. The check is then remembered.
void ApplySendTo(SendToState& state);

}  // namespace pelio
