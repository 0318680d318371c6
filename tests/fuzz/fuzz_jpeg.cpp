// Arbitrary bytes through the JPEG decoder; a decoded picture back through the encoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/jpeg_codec.h"

namespace {

// Plain memory, refusing pictures too big to fuzz quickly.
class SmallAllocator final : public pelio::PixelAllocator {
public:
    bool Allocate(pelio::Image& image) override {
        if (image.PixelBytes() > (size_t{16} << 20)) return false;
        return memory.Allocate(image);
    }
    void Release(pelio::Image& image) override { memory.Release(image); }
    pelio::MemoryAllocator memory;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Bounds the library's coefficient buffers for progressive pictures.
    setenv("JPEGMEM", "256M", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    SmallAllocator allocator;
    DecodeResult result;
    if (!DecodeJpeg(std::span<const uint8_t>(data, size), LoadOptions{}, allocator, result)) {
        if (result.error == 0 || result.image.bits) std::abort();
        return 0;
    }
    ImageHolder hold(allocator, result.image);
    const Image& image = result.image;
    if (image.Width() < 1 || image.Height() < 1 || image.Width() > kMaxImageSide ||
        image.Height() > kMaxImageSide || (image.BitCount() != 8 && image.BitCount() != 24))
        std::abort();
    if (image.PixelBytes() <= 16384) {
        SaveOptions options;
        options.settings.quality = static_cast<int>(size % 101);
        options.settings.sampling = static_cast<int>(size % 3);
        options.settings.progressive = size & 1;
        VectorSink sink;
        int error = 0;
        if (!EncodeJpeg(image, options, sink, error)) std::abort();
        DecodeResult back;
        if (!DecodeJpeg(sink.bytes, LoadOptions{}, allocator, back)) std::abort();
        if (back.image.Width() != image.Width() || back.image.Height() != image.Height())
            std::abort();
        allocator.Release(back.image);
    }
    return 0;
}
