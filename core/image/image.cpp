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

void MemoryAllocator::Release(Image& image) {
    std::free(image.bitmap);
    image.bits = nullptr;
    image.bitmap = nullptr;
}

}  // namespace pelio
