// Bitmap-section and page allocators. Win32.
#include "win/image/allocators.h"

#include <cstring>

namespace pelio {

BitmapInfo256 MakeBitmapInfo(const Image& image) {
    BitmapInfo256 info{};
    static_assert(sizeof(BITMAPINFOHEADER) == sizeof(BitmapInfoHeader));
    std::memcpy(&info.header, &image.header, sizeof info.header);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biCompression = BI_RGB;
    static_assert(sizeof info.colours == sizeof image.palette);
    std::memcpy(info.colours, image.palette.data(), sizeof info.colours);
    return info;
}

bool DibAllocator::Allocate(Image& image) {
    BitmapInfo256 info = MakeBitmapInfo(image);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    image.bits = static_cast<uint8_t*>(bits);
    image.bitmap = bitmap;
    return true;
}

void DibAllocator::Release(Image& image) {
    if (image.bitmap) DeleteObject(static_cast<HBITMAP>(image.bitmap));
    image.bits = nullptr;
    image.bitmap = nullptr;
}

bool PageAllocator::Allocate(Image& image) {
    size_t bytes = image.PixelBytes();
    void* block = VirtualAlloc(nullptr, bytes ? bytes : 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!block) return false;
    image.bits = static_cast<uint8_t*>(block);
    image.bitmap = block;
    return true;
}

void PageAllocator::Release(Image& image) {
    if (image.bitmap) VirtualFree(image.bitmap, 0, MEM_RELEASE);
    image.bits = nullptr;
    image.bitmap = nullptr;
}

}  // namespace pelio
