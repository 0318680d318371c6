// Arithmetic of the Edit window's two panes: split, scroll bars, zoom slider. Portable.
#pragma once

namespace pelio {

// Pane mode: both side by side, the image pane only, the preview pane only.
enum class PaneMode : int { SideBySide = 0, ImageOnly = 1, PreviewOnly = 2 };

struct PaneSplit {
    int imageX = 0, imageW = 0;      // imageW 0: hidden
    int previewX = 0, previewW = 0;  // previewW 0: hidden
};

// Side by side each pane is (width / 2) − 1 wide, the preview pane flush right.
PaneSplit SplitPanes(PaneMode mode, int width);

struct ScrollBarNeed {
    bool horizontal = false, vertical = false;
    int paneW = 0, paneH = 0;  // the pane less the bars that are shown
};

// Which scroll bars a display of displayW × displayH needs in a pane of paneW × paneH; a bar
// on one axis takes room from the other.
ScrollBarNeed ScrollBarsFor(int displayW, int displayH, int paneW, int paneH, int vbarW, int hbarH);

// Zoom slider 0..160 ↔ zoom percent 10..1000 on a quadratic scale.
inline constexpr int kSliderMax = 160;
int SliderToZoomPercent(int position);
int ZoomPercentToSlider(int percent);

// The zoom field's number, clamped to 10..1000.
int ClampZoomPercent(int percent);

}  // namespace pelio
