// The Viewer window's toolbar strip: a child that drops in at the top edge of the window and
// holds one flat toolbar. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

inline constexpr int kStripId = 1003;
inline constexpr int kStripToolbarId = 1004;
inline constexpr int kStripCaptionId = 1005;
inline constexpr int kStripHeight = 28;

LRESULT CALLBACK ToolbarStripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the strip (hidden) with its toolbar and caption control on `viewer`.
HWND CreateToolbarStrip(HWND viewer);
// Restores the toolbar's own window procedure (at close).
void ReleaseToolbarStrip();

// Drops the strip down or takes it away; showing it refreshes the button states.
void SetToolbarStrip(bool shown);
bool ToolbarStripShown();
// Keeps the strip as wide as the client area (plus its frame).
void ResizeToolbarStrip(int clientW);
// Enables the buttons that need an image only when there is one.
void RefreshToolbarStrip();

// Full screen: shows the spacers, minimise, normal display and exit, and widens the first
// spacer so that the last three buttons end at the monitor's right edge; the caption
// control covers that spacer. Off: hides them again.
void SetToolbarStripFullScreen(bool on, int monitorWidth);
// The caption text shown on the strip in full screen.
void SetToolbarStripCaption(const std::wstring& text);

}  // namespace pelio
