// The one current image that both windows, printing, the clipboard and the savers read. Win32.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/image/image.h"

namespace pelio {

// Frames of a multi-frame GIF while it plays.
struct AnimationState {
    bool active = false;
    int frameCount = 0;            // the first frame (the current bitmap) included
    int loopCount = 0;             // 0 plays for ever
    std::vector<int> delays;       // per frame, hundredths of a second
    std::vector<HBITMAP> frames;   // the later frames
};

inline constexpr UINT_PTR kAnimationTimerId = 200000;

enum class InstallKind { FromFile = 1, FromEdit = 2 };

struct CurrentImage {
    HDC memoryDc = nullptr;      // holds the current bitmap
    HBITMAP firstBitmap = nullptr;  // what the context held before our first bitmap
    HBITMAP bitmap = nullptr;
    Palette palette{};
    uint8_t* bits = nullptr;
    int width = 0, height = 0, bitCount = 0;
    ImageFormat format = ImageFormat::Unknown;
    int xPelsPerMeter = 0, yPelsPerMeter = 0;
    int sourceBits = 0;
    int fileSize = 0;
    uint64_t fileTime = 0;
    std::wstring path;  // empty for a pasted image
    std::wstring name;  // file-name part of the path; "clip" for a pasted image
    SourceInfo info;
    bool modified = false;
    int pendingTransform = 0;  // lossless JPEG transform waiting for a save
    uint64_t generation = 0;   // changes with every picture installed or released
    AnimationState animation;

    bool Loaded() const { return bitmap != nullptr; }
    // A view of the current pixels as an Image (no ownership).
    Image AsImage() const;
};

CurrentImage& Current();

// Replaces the current image; ownership of the image's bitmap passes to it. `path` null:
// no file (an edit keeps the old path; a paste sets its own).
void InstallImage(const Image& image, const std::wstring* path, InstallKind kind);

// Whether the current image's path names an existing file (not a folder).
bool CurrentFileExists();

// Releases the current image, leaving none.
void ReleaseCurrentImage();

}  // namespace pelio
