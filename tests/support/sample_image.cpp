// Made-up pictures. Portable.
#include "tests/support/sample_image.h"

#include "core/image/bmp_codec.h"

namespace pelio::test {

SampleImage::SampleImage(int width, int height, int bits, uint32_t step, int shift) {
    image.header.width = width;
    image.header.height = height;
    image.header.bitCount = static_cast<uint16_t>(bits);
    image.header.xPelsPerMeter = image.header.yPelsPerMeter = 2835;
    for (int i = 0; i < 256; ++i)
        image.palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                        static_cast<uint8_t>(i * 7), 0};
    if (!allocator.Allocate(image)) return;
    for (size_t i = 0; i < image.PixelBytes(); ++i)
        image.bits[i] = static_cast<uint8_t>((i * step) >> shift);
}

SampleImage::~SampleImage() {
    if (image.bits) allocator.Release(image);
}

std::vector<uint8_t> SampleBmpFile(int width, int height, int depth, int32_t resolution) {
    SampleImage sample(width, height, 24, 5);
    sample.image.header.xPelsPerMeter = sample.image.header.yPelsPerMeter = resolution;
    SaveOptions options;
    options.settings.depth = depth;
    VectorSink sink;
    int error = 0;
    EncodeBmp(sample.image, options, sink, error);
    return sink.bytes;
}

}  // namespace pelio::test
