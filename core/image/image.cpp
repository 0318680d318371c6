// Plain-memory pixel storage. Portable.
#include "core/image/image.h"

#include <cstdlib>

namespace pelio {

bool MemoryAllocator::Allocate(Image& image) {
    size_t bytes = image.PixelBytes();
    // calloc: large blocks come as fresh zero pages, with no pass to clear them.
    auto* block = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
    if (!block) return false;
    image.bits = block;
    image.bitmap = block;
    return true;
}

std::optional<PaletteEntry> PixelColour(const Image& image, int32_t x, int32_t y) {
    if (!image.bits || x < 0 || y < 0 || x >= image.Width() || y >= image.Height()) return std::nullopt;
    const uint8_t* row = image.Row(image.Height() - 1 - y);
    switch (image.BitCount()) {
    case 8: return image.palette[row[x]];
    case 24: return PaletteEntry{row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 0};
    case 32: return PaletteEntry{row[x * 4], row[x * 4 + 1], row[x * 4 + 2], 0};
    default: return std::nullopt;
    }
}

void MemoryAllocator::Release(Image& image) {
    std::free(image.bitmap);
    image.bits = nullptr;
    image.bitmap = nullptr;
}

}  // namespace pelio
