// The slideshow's and the animation's stepping rules. Portable.
#pragma once

namespace pelio {

// The slideshow starts only with more than one entry, and not on the last one unless it
// repeats.
bool SlideshowCanStart(int count, int selected, bool repeat);

struct SlideStep {
    int next = -1;      // the entry to show; -1: none (the show ends at once)
    bool goesOn = false;  // the show continues after showing it
};
// One tick: the entry after the selected one; with `repeat` the last is followed by the
// first, without it the show ends once the last entry is on screen.
SlideStep NextSlide(int count, int selected, bool repeat);

struct FrameStep {
    int index = 0;      // the frame to show
    int loopCount = 0;  // loops left (0: for ever)
    bool ended = false;  // playback is over: the first frame stays
};
// One animation tick from `index` of `frameCount` frames; the loop count drops at each wrap,
// and playback ends at the wrap where it was 1.
FrameStep NextFrame(int index, int frameCount, int loopCount);

}  // namespace pelio
