// Navigation window arithmetic. Portable.
#include "core/view/navigation.h"

#include <algorithm>
#include <cstdint>

namespace pelio {

namespace {

// One axis of the frame: scaled position and size, the size within 1..thumb, the position
// pulled back so that the frame ends one pixel inside the thumbnail.
void FrameAxis(int scale, int thumb, int src, int srcSize, int& pos, int& size) {
    const int64_t scaledSize = int64_t{scale} * std::max(srcSize, 0) / 10000;
    size = static_cast<int>(std::clamp<int64_t>(scaledSize, 1, std::max(thumb, 1)));
    const int64_t scaledPos = int64_t{scale} * std::max(src, 0) / 10000;
    pos = static_cast<int>(std::clamp<int64_t>(scaledPos, 0, std::max(thumb - size - 1, 0)));
}

}  // namespace

NavigationThumb NavigationThumbnail(int imageW, int imageH) {
    NavigationThumb t;
    if (imageW <= 0 || imageH <= 0) return t;
    const int longer = std::max(imageW, imageH), shorter = std::min(imageW, imageH);
    t.scale = kNavigationThumbSide * 10000 / longer;
    const int shortSide = static_cast<int>(std::max<int64_t>(int64_t{shorter} * t.scale / 10000, 1));
    t.width = imageW >= imageH ? kNavigationThumbSide : shortSide;
    t.height = imageW >= imageH ? shortSide : kNavigationThumbSide;
    return t;
}

ScreenRect NavigationFrame(const NavigationThumb& thumb, int srcX, int srcY, int srcW, int srcH) {
    int x, y, w, h;
    FrameAxis(thumb.scale, thumb.width, srcX, srcW, x, w);
    FrameAxis(thumb.scale, thumb.height, srcY, srcH, y, h);
    return {x, y, x + w, y + h};
}

ScreenRect NavigationPlacement(int nearLeft, int nearTop, int width, int height, int workRight, int screenTop) {
    const int x = std::min(nearLeft, workRight - width);
    const int y = std::max(nearTop, screenTop);
    return {x, y, x + width, y + height};
}

}  // namespace pelio
