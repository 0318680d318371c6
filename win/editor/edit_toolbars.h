// The Edit window's rebar: the command and view toolbars, the zoom slider and field, the
// drop-down menus and the thread hooks. Win32.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace pelio {

// Builds the rebar with its three bands (the third holds the save settings panel).
void BuildRebar(HWND window);
// Passes a size change to the rebar, maximises the band its row count asks for and returns
// the rebar's height.
int ArrangeRebar(int width, int height);
int RebarRows();
// The rebar's bottom-left corner in screen coordinates.
POINT RebarBottomLeft();

// The zoom field and slider show `percent` (the field's change handling is not triggered).
void SetZoomField(int percent);
// Enabled, checked and greyed states of both toolbars.
void RefreshToolbarStates();

// WM_NOTIFY of the rebar's children (tool tips, custom drawing, drop-downs, rebar height);
// true when handled.
bool OnRebarNotify(const NMHDR* header, LRESULT& result);
// WM_HSCROLL of the zoom slider; WM_COMMAND of the zoom field.
void OnZoomSlider();
void OnZoomFieldCommand(int code);
// The private message that presses a drop-down button again when the pointer slid onto it.
inline constexpr UINT kPressDropDownMessage = WM_APP;
void PressDropDownButton(int id);
void OnMenuLoopEnd();

// The thread hooks of the Edit mode: Enter/Esc for the rebar fields and the colour pick, and
// the sliding between the drop-down menus.
void InstallEditHooks();
void RemoveEditHooks();

// A button's tip on the Edit window's toolbars: its name, with the key when one is assigned.
std::wstring EditToolbarTip(int id);
// Commands 6001..6003: the transform, correction or tools menu below its button.
void OpenDropDownMenu(int id);
// A toolbar on the rebar: right presses swallowed, its children's notifications sent on to
// the Edit window.
void ForwardToolbarChildren(HWND toolbar);
// A text field of the rebar gained or lost the focus: the edit-has-focus flag, shortcuts
// suspended while it has it (typed keys belong to the field), the input method closed.
void RebarFieldFocus(HWND field, bool gained);


}  // namespace pelio
