// Arbitrary bytes through the GIF reader with its animation record, and little decoded
// pictures back through the writer and the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/gif_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> bytes(data, size);
    MemoryAllocator allocator;
    DecodeResult result;
    GifAnimation animation;
    if (!DecodeGifAnimation(bytes, LoadOptions{}, allocator, result, &animation)) {
        if (result.error == 0 || result.image.bits || !animation.frames.empty()) std::abort();
        return 0;
    }
    ImageHolder hold(allocator, result.image);
    const Image& image = result.image;
    if (image.BitCount() != 8 || image.Width() < 1 || image.Height() < 1) std::abort();
    if (animation.frameCount < 1 || animation.frameCount > kGifMaxFrames ||
        animation.delays.size() != size_t(animation.frameCount) ||
        animation.frames.size() != (animation.animated ? size_t(animation.frameCount - 1) : 0))
        std::abort();
    if (image.PixelBytes() <= 4096) {
        SaveOptions options;
        options.settings.depth = 1 + static_cast<int>(size % 8);
        options.settings.interlace = size & 1;
        options.transparent = size & 2;
        VectorSink sink;
        int error = 0;
        if (!EncodeGif(image, options, sink, error)) std::abort();
        DecodeResult back;
        if (!DecodeGif(sink.bytes, LoadOptions{}, allocator, back)) std::abort();
        allocator.Release(back.image);
    }
    ReleaseGifAnimation(animation, allocator);
    return 0;
}
