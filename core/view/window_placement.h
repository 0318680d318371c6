// Placement arithmetic of the top-level windows inside a usable screen area. Portable.
#pragma once

namespace pelio {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// How far a window's frame reaches beyond its client area on each side.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One axis: a window of `size` at `pos` is pushed right of `lo`, else left of `hi`.
inline int PushIntoRange(int pos, int size, int lo, int hi) {
    return pos < lo ? lo : (pos < hi - size ? pos : hi - size);
}

// Limits the window to the area's size, then pushes it inside the area.
ScreenRect FitWindowIntoArea(const ScreenRect& window, const ScreenRect& area);

// The Viewer window before its first image: a client area of 400 × 300 centred on the
// monitor, with the frame added, then fitted into the usable area.
ScreenRect InitialViewerRect(const ScreenRect& monitor, const FrameInsets& frame,
                             const ScreenRect& usable);

// The window fit: the window is resized so that its client area shows the displayed image
// and the image keeps its place on screen (the old client centre stays the centre); with a
// title bar it is at least `minWidth` wide; then it is fitted into the usable area.
ScreenRect WindowFitRect(const ScreenRect& oldClient, int displayW, int displayH,
                         const FrameInsets& frame, bool hasCaption, int minWidth,
                         const ScreenRect& usable);

}  // namespace pelio
