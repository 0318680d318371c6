// Arbitrary bytes through the PNG reader under each combination of gamma and transparency
// switches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> bytes(data, size);
    LoadOptions options;
    // The switches come from the file's last byte, so every path gets its turn.
    const uint8_t pick = size ? data[size - 1] : 0;
    options.gamma = pick & 1;
    options.alpha = pick & 2;
    options.fileBackground = pick & 4;
    options.displayGamma = pick & 8 ? 1000 : 2200;
    MemoryAllocator allocator;
    DecodeResult result;
    if (DecodePng(bytes, options, allocator, result)) {
        const Image& image = result.image;
        if (image.Width() < 1 || image.Height() < 1 || (image.BitCount() != 8 && image.BitCount() != 24))
            std::abort();
        allocator.Release(result.image);
    } else if (result.error == 0 || result.image.bits) {
        std::abort();  // a failure carries its code and keeps nothing
    }
    return 0;
}
