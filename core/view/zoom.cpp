// Zoom and layout arithmetic. Portable.
#include "core/view/zoom.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace pelio {

namespace {
constexpr int kLadder[] = {1000, 2500, 5000, 10000, 20000, 40000, 100000};
constexpr int kPresets[] = {100000, 40000, 20000, 5000, 2500, 1000};
}  // namespace

int ZoomInStep(int zoom) {
    for (int step : kLadder)
        if (step > zoom) return step;
    return zoom;
}

int ZoomOutStep(int zoom) {
    if (zoom > kZoomMax) return kZoomMax;
    for (auto it = std::rbegin(kLadder); it != std::rend(kLadder); ++it)
        if (*it < zoom) return *it;
    return zoom;
}

int ZoomPlusTen(int zoom) {
    if (zoom >= kZoomMax) return std::clamp(zoom, kZoomMin, kZoomMax);
    return std::clamp(zoom + 1000, kZoomMin, kZoomMax);
}

int ZoomMinusTen(int zoom) {
    if (zoom <= kZoomMin) return std::clamp(zoom, kZoomMin, kZoomMax);
    return std::clamp(zoom - 1000, kZoomMin, kZoomMax);
}

int ZoomPreset(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kPresets)) ? kPresets[index] : kZoom100;
}

int FitZoom(int imageW, int imageH, int boxW, int boxH) {
    const int64_t w = std::max(imageW, 1), h = std::max(imageH, 1);
    const int64_t zoom = std::min(int64_t{boxW} * 10000 / w, int64_t{boxH} * 10000 / h) + 1;
    return static_cast<int>(std::min<int64_t>(zoom, kZoomMax));
}

int DisplayedSize(int imageSize, int zoom) {
    return static_cast<int>(std::max<int64_t>(int64_t{imageSize} * zoom / 10000, 1));
}

AxisLayout LayoutAxis(int imageSize, int clientSize, int zoom, int centre) {
    AxisLayout a;
    const int displayed = DisplayedSize(imageSize, zoom);
    if (displayed > clientSize) {
        a.dest = 0;
        a.destSize = clientSize;
        a.srcSize = static_cast<int>(int64_t{clientSize} * 10000 / std::max(zoom, 1));
        a.src = std::clamp(centre - a.srcSize / 2, 0, std::max(imageSize - a.srcSize, 0));
    } else {
        a.destSize = displayed;
        a.dest = (clientSize - displayed) / 2;
        a.src = 0;
        a.srcSize = imageSize;
    }
    a.centre = a.src + a.srcSize / 2;
    return a;
}

int ScrollAxis(AxisLayout& a, int imageSize, int clientSize, int zoom, int delta) {
    if (DisplayedSize(imageSize, zoom) <= clientSize) return 0;
    const int oldSrc = a.src;
    a = LayoutAxis(imageSize, clientSize, zoom, a.src + delta + a.srcSize / 2);
    return static_cast<int>(int64_t{oldSrc} * zoom / 10000 - int64_t{a.src} * zoom / 10000);
}

int ClientToImage(int client, const AxisLayout& a, int imageSize) {
    if (a.destSize <= 0 || imageSize <= 0) return 0;
    // round(((c − dest) × srcSize − (destSize − srcSize) / 2) / destSize), exactly in halves.
    const int64_t num = 2 * int64_t{client - a.dest} * a.srcSize - (int64_t{a.destSize} - a.srcSize);
    const int64_t den = 2 * int64_t{a.destSize};
    const int64_t rounded = num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
    return static_cast<int>(std::clamp<int64_t>(rounded + a.src, 0, imageSize - 1));
}

int ImageToClient(int image, const AxisLayout& a) {
    if (a.srcSize <= 0) return a.dest;
    const int64_t num = int64_t{image - a.src} * a.destSize;
    const int64_t floored = num >= 0 ? num / a.srcSize : -((-num + a.srcSize - 1) / a.srcSize);
    return a.dest + static_cast<int>(floored);
}

void ViewState::Layout() {
    x = LayoutAxis(imageW, clientW, zoom, x.centre);
    y = LayoutAxis(imageH, clientH, zoom, y.centre);
}

void ViewState::CentreImage() {
    x.centre = imageW / 2;
    y.centre = imageH / 2;
    Layout();
}

bool ApplyAreaZoom(ViewState& v, int x0, int y0, int x1, int y1, int boxW, int boxH) {
    if (!AreaLargeEnough(std::abs(x1 - x0), std::abs(y1 - y0))) return false;
    const int ix0 = ClientToImage(std::min(x0, x1), v.x, v.imageW);
    const int ix1 = ClientToImage(std::max(x0, x1), v.x, v.imageW);
    const int iy0 = ClientToImage(std::min(y0, y1), v.y, v.imageH);
    const int iy1 = ClientToImage(std::max(y0, y1), v.y, v.imageH);
    v.zoom = FitZoom(ix1 - ix0, iy1 - iy0, boxW, boxH);
    v.x.centre = (ix0 + ix1) / 2;
    v.y.centre = (iy0 + iy1) / 2;
    return true;
}

bool PolicyFit(ViewState& v, bool shrink, bool enlarge, int boxW, int boxH) {
    const bool smaller = v.DisplayedW() < boxW && v.DisplayedH() < boxH;
    if (smaller ? !enlarge : !shrink) return false;
    const int zoom = FitZoom(v.imageW, v.imageH, boxW, boxH);
    const bool changed = zoom != v.zoom;
    v.zoom = zoom;
    return changed;
}

std::array<ClientRect, 4> SurroundStrips(const ViewState& v, int clientW, int clientH) {
    const int x0 = v.x.dest, x1 = v.x.dest + v.x.destSize, y0 = v.y.dest, y1 = v.y.dest + v.y.destSize;
    return {{{0, 0, x0, clientH}, {x1, 0, clientW, clientH}, {x0, 0, x1, y0}, {x0, y1, x1, clientH}}};
}

}  // namespace pelio
