// The save settings panel on the Edit window's third rebar band, and the transparent-colour
// pick. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

inline constexpr wchar_t kSavePanelBandText[] = L"保存設定";

// Creates the panel toolbar and its child controls on `rebar`; fills them from the settings.
HWND BuildSavePanel(HWND rebar);
HWND SavePanelHandle();
std::wstring SavePanelTipText(int id);

// Format list, bit-depth list and the format rules, after a new image, a switch to the Edit
// window or a format change.
void RefreshSavePanel();

// Panel commands cmd::kDither .. cmd::kCommentSwitch; false for other commands.
bool SavePanelCommand(int id);
// Whether a control identifier is one of the panel's notifying controls.
bool IsSavePanelControl(int id);
// Notifications of the panel's child controls (WM_COMMAND); false for other controls.
bool SavePanelControl(int id, int code, HWND control);
// An up-down arrow of the panel changed its field: the value is taken at once.
void OnPanelUpDown(HWND upDown);
// Enter in a panel field: validates it; false when no panel field has the focus.
bool ValidateFocusedPanelField();


}  // namespace pelio
