// The Edit window's two panes: layout, geometry, scroll bars, painting, zoom and the mouse.
// Win32.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "core/view/pane_layout.h"

namespace pelio {

LRESULT CALLBACK ImagePaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PreviewPaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates both panes with their private contexts and the preview's memory context.
void CreatePanes(HWND window);

// After a size change of the window or the rebar: panes below the rebar; with `recompute`
// the geometry follows and both panes repaint.
void RelayoutPanes(int width, int height, bool recompute);
void RelayoutPanes();

void SetPaneMode(PaneMode mode);

// After the current image was replaced or changed; `refit` for a new image.
void RefreshAfterNewImage(bool refit, bool discardPreview = true);

// Zoom commands of the Edit window (fit, 100 %, steps, presets, ±10, the toggle) and the
// keyboard scrolling; false for other commands or without an image.
bool EditZoomCommand(int id);
bool EditScrollCommand(int id);
// The zoom from the zoom field / slider, in percent.
void SetEditZoomPercent(int percent);
int EditZoomPercent();

void RepaintPanes();
void ToggleScrollBars();
// Mouse wheel on the Edit window.
void OnEditWheel(int delta, WPARAM keys);
// A file dropped on the window or a pane.
void OnEditDropFiles(HDROP drop);
// The pane point where image pixel (x, y) begins (y from the top row), and the image pixel
// under a pane point, clamped to the image; both panes share the geometry.
POINT PanePointOf(int x, int y);
void ImagePixelAt(POINT client, int& x, int& y);
// Image coordinates under a client point of the image pane; false outside the image.
bool ImagePointAt(POINT client, int& x, int& y);

}  // namespace pelio
