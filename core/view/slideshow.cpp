// Slideshow and animation stepping. Portable.
#include "core/view/slideshow.h"

namespace pelio {

bool SlideshowCanStart(int count, int selected, bool repeat) {
    if (count <= 1) return false;
    return repeat || selected != count - 1;
}

SlideStep NextSlide(int count, int selected, bool repeat) {
    SlideStep s;
    if (count <= 0) return s;
    int next = selected + 1;
    if (repeat) {
        if (selected >= count - 1) next = 0;
        s.next = next;
        s.goesOn = true;
        return s;
    }
    if (next >= count) return s;  // nothing after the last entry
    s.next = next;
    s.goesOn = next < count - 1;
    return s;
}

FrameStep NextFrame(int index, int frameCount, int loopCount) {
    FrameStep f;
    f.index = index + 1;
    f.loopCount = loopCount;
    if (f.index < frameCount) return f;
    f.index = 0;
    if (loopCount > 0) {
        f.loopCount = loopCount - 1;
        f.ended = loopCount == 1;
    }
    return f;
}

}  // namespace pelio
