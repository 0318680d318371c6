// Zoom, fit and layout arithmetic shared by the Viewer and Edit windows. Portable.
#pragma once
#include <array>

namespace pelio {

// Zoom in hundredths of a percent: 10000 is 100 %.
inline constexpr int kZoom100 = 10000;
inline constexpr int kZoomMin = 1000;
inline constexpr int kZoomMax = 100000;

// The next step of the ladder 1000, 2500, 5000, 10000, 20000, 40000, 100000 above / below.
int ZoomInStep(int zoom);
int ZoomOutStep(int zoom);
// Ten points up or down, kept within 1000..100000.
int ZoomPlusTen(int zoom);
int ZoomMinusTen(int zoom);
// The zoom of preset 0..5: 1000 %, 400 %, 200 %, 50 %, 25 %, 10 %.
int ZoomPreset(int index);

// The zoom that fits an image of w × h (each taken as at least 1) into a box: the smaller of
// the two ratios plus one, at most 100000.
int FitZoom(int imageW, int imageH, int boxW, int boxH);

// One image dimension at a zoom: size × zoom / 10000, at least 1.
int DisplayedSize(int imageSize, int zoom);

// What one axis of a view shows: the destination span in the client area and the source
// span of the image.
struct AxisLayout {
    int dest = 0, destSize = 0;
    int src = 0, srcSize = 0;
    int centre = 0;
};

// Lays out one axis around `centre` (an image coordinate).
AxisLayout LayoutAxis(int imageSize, int clientSize, int zoom, int centre);

// Moves the source span by `delta` image pixels (clamped to the image) when the image is
// larger than the client along this axis; returns how far the shown pixels move on screen
// (old source position × zoom / 10000 − new source position × zoom / 10000).
int ScrollAxis(AxisLayout& axis, int imageSize, int clientSize, int zoom, int delta);

// The image coordinate under a client coordinate, rounded half away from zero and clamped
// to the image.
int ClientToImage(int client, const AxisLayout& axis, int imageSize);

// The client coordinate where image coordinate `image` begins (the inverse mapping of the
// painted span, rounded down).
int ImageToClient(int image, const AxisLayout& axis);

struct ViewState {
    int zoom = kZoom100;
    int imageW = 0, imageH = 0;
    int clientW = 0, clientH = 0;
    AxisLayout x, y;
    int scrollShift = 0;  // 1 when the image is larger than the screen: scroll steps doubled

    int DisplayedW() const { return DisplayedSize(imageW, zoom); }
    int DisplayedH() const { return DisplayedSize(imageH, zoom); }
    // Lays out both axes around the current centre.
    void Layout();
    // Puts the centre on the image's middle and lays out.
    void CentreImage();
};

// A rectangle of the client area, right and bottom exclusive.
struct ClientRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const ClientRect&, const ClientRect&) = default;
};

// The background around the shown image in a client area of `clientW` × `clientH`: the full
// height left and right of it, then the parts above and below it. Strips may be empty.
std::array<ClientRect, 4> SurroundStrips(const ViewState& view, int clientW, int clientH);

// The fit by a window's policy: at the current zoom, an image smaller than the box in both
// directions is fitted only when `enlarge`, any other only when `shrink`. True when the
// zoom changed.
bool PolicyFit(ViewState& view, bool shrink, bool enlarge, int boxW, int boxH);

// An area selection smaller than 9 pixels on either side does not zoom.
inline constexpr int kMinAreaSide = 9;
inline bool AreaLargeEnough(int w, int h) { return w >= kMinAreaSide && h >= kMinAreaSide; }

// Area zoom: the client rectangle between two corners is mapped to the image, its fit zoom
// into the box becomes the zoom and its middle the centre. False (and no change) when the
// selection is too small.
bool ApplyAreaZoom(ViewState& view, int x0, int y0, int x1, int y1, int boxW, int boxH);

}  // namespace pelio
