// What the program's toolbars share: the button images, the tool tip texts and the custom
// drawing of hot and checked buttons. Win32.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>

namespace pelio {

// The images of a toolbar bitmap resource (16 × 16 each, magenta as the mask colour).
HIMAGELIST LoadToolbarImages(int resourceId, int count);

// A button's tip: `caption`, then " (" modifier and key name ")" when the live key table
// gives the command a key.
std::wstring ToolbarTipText(int command, const std::wstring& caption);

// Answers a toolbar's tool tip request (TTN_GETDISPINFOW, the button's command in idFrom):
// `captionOf` names the button (null or an empty result: the command's short caption). The
// text stays valid until the next request. False for other notifications.
using TipCaptionFn = const wchar_t* (*)(int command);
bool FillToolbarTip(LPARAM lp, TipCaptionFn captionOf = nullptr);

// A text-only button whose label the custom drawing paints (added without a string).
struct ToolbarLabel {
    int command;
    const wchar_t* text;
};

// NM_CUSTOMDRAW of a toolbar: a hot button, else a checked one, gets a rounded rectangle
// behind its image instead of the toolbar's own background; labels are drawn centred in the
// UI font. Returns the value for the notification.
LRESULT ToolbarCustomDraw(LPARAM lp, std::span<const ToolbarLabel> labels = {});

// What surrounds the text of a control on a toolbar.
enum class TextControl { Label, Check, Field };

// The width a control needs to show `text` whole in the UI font (a check box's or radio
// button's box, an edit field's borders and margins included); at least `minimum`.
int FittedWidth(TextControl kind, const wchar_t* text, int minimum);

// The pens and brushes of the custom drawing; at exit.
void ReleaseToolbarDrawing();

}  // namespace pelio
