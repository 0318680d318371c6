// Arbitrary bytes through the TIFF reader, and little decoded pictures back through the
// writer at every depth and the reader again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/tiff_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    MemoryAllocator allocator;
    DecodeResult result;
    if (!DecodeTiff(std::span<const uint8_t>(data, size), LoadOptions{}, allocator, result)) {
        if (result.error == 0 || result.image.bits) std::abort();
        return 0;
    }
    ImageHolder hold(allocator, result.image);
    const Image& image = result.image;
    if (image.Width() < 1 || image.Height() < 1 || (image.BitCount() != 8 && image.BitCount() != 24))
        std::abort();
    if (image.PixelBytes() <= 4096) {
        for (int depth : {1, 4, 8, 24}) {
            SaveOptions options;
            options.settings.depth = depth;
            options.settings.gray = size & 1;
            options.settings.dither = static_cast<int>(size % 4);
            VectorSink sink;
            int error = 0;
            if (!EncodeTiff(image, options, sink, error)) std::abort();
            DecodeResult back;
            if (!DecodeTiff(sink.bytes, LoadOptions{}, allocator, back)) std::abort();
            if (back.image.Width() != image.Width() || back.image.Height() != image.Height()) std::abort();
            allocator.Release(back.image);
        }
    }
    return 0;
}
