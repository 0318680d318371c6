// Full screen, the slideshow and the playback of animated images. Win32.
#pragma once
#include <windows.h>

namespace pelio {

inline constexpr UINT_PTR kSlideshowTimerId = 100000;

// The Viewer window covers its monitor without frame (from the Edit window the Viewer takes
// over first, and full screen later returns there).
void EnterFullScreen();
// Back to the mode full screen was entered from; nothing outside full screen.
void LeaveFullScreen();

// cmd::kSlideshow and the /a switch; a second start while it runs stops it.
void StartSlideshow();
void StopSlideshow();
bool SlideshowRunning();
void SlideshowTick();

// Plays the current image's frames in the Viewer window when it is animated.
void StartAnimation();
// Stops playback and shows the first frame again (the Edit window takes over).
void StopAnimation();
void AnimationTick();

}  // namespace pelio
