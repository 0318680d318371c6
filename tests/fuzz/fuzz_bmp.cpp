// Arbitrary bytes through the BMP file and packed-bitmap readers, and a decoded image back
// through the writer at every depth.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> bytes(data, size);
    MemoryAllocator allocator;
    DecodeResult result;
    if (DecodeBmp(bytes, LoadOptions{}, allocator, result)) {
        ImageHolder hold(allocator, result.image);
        const Image& image = result.image;
        if (image.Width() < 1 || image.Height() < 1 || (image.BitCount() != 8 && image.BitCount() != 24))
            std::abort();
        // Keep the writer's work small: only little pictures go through every depth.
        if (image.PixelBytes() <= 4096) {
            for (int depth : {1, 4, 8, 24}) {
                SaveOptions options;
                options.settings.depth = depth;
                options.settings.dither = static_cast<int>(size % 4);
                VectorSink sink;
                int error = 0;
                if (!EncodeBmp(image, options, sink, error)) std::abort();
                DecodeResult back;
                if (!DecodeBmp(sink.bytes, LoadOptions{}, allocator, back)) std::abort();
                allocator.Release(back.image);
            }
        }
    } else if (result.error == 0) {
        std::abort();  // a failure always carries its code
    }
    Image packed;
    if (DecodePackedBitmap(bytes, allocator, packed)) allocator.Release(packed);
    return 0;
}
