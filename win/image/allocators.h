// Pixel storage of the shell: bitmap sections, or page memory when only pixels are wanted. Win32.
#pragma once
#include <windows.h>

#include "core/image/image.h"

namespace pelio {

// A device-independent bitmap section over the image's header and palette; image.bitmap is
// its HBITMAP. The pages come zero-filled from the system.
class DibAllocator final : public PixelAllocator {
public:
    bool Allocate(Image& image) override;
    void Release(Image& image) override;
};

// Plain page memory (VirtualAlloc); image.bitmap is the block.
class PageAllocator final : public PixelAllocator {
public:
    bool Allocate(Image& image) override;
    void Release(Image& image) override;
};

// The BITMAPINFO of an image: its header and 256 palette entries.
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
BitmapInfo256 MakeBitmapInfo(const Image& image);

}  // namespace pelio
