// A picture stretched once to the size it is shown at, so that repaints of a shrunk picture
// that fits its window copy pixels 1:1 instead of stretching the whole picture again. Win32.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/image/image.h"
#include "core/view/zoom.h"

namespace pelio {

class DisplayCopy {
public:
    DisplayCopy() = default;
    ~DisplayCopy() { Release(); }
    DisplayCopy(const DisplayCopy&) = delete;
    DisplayCopy& operator=(const DisplayCopy&) = delete;

    // Paints as PaintView does. `pixels`, when given, is the picture selected into `source`
    // (a later bitmap selected there, such as an animation frame, is stretched instead).
    // `generation` changes whenever the picture may have changed; the copy is rebuilt then,
    // and when the zoom or the stretch mode of `dc` changes.
    void Paint(HDC dc, const RECT& client, HBRUSH background, HDC source, const Image* pixels,
               uint64_t generation, const ViewState& view);
    void Release();

private:
    struct Key {
        uint64_t generation = 0;
        HGDIOBJ picture = nullptr;  // the bitmap selected into the source (animation frames)
        int imageW = 0, imageH = 0, width = 0, height = 0, mode = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    bool Build(HDC dc, HDC source, const Image* pixels, const Key& key);

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ first_ = nullptr;
    Key key_;
};

}  // namespace pelio
