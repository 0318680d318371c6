// Colour count of an image. Portable.
#include "core/image/colour_count.h"

#include "core/image/colour_engine.h"

namespace pelio {

uint32_t CountImageColours(const Image& image) {
    ColourEngine engine;
    engine.width = image.Width();
    engine.height = image.Height();
    engine.sourceBits = engine.targetBits = image.BitCount();
    if (image.BitCount() == 24) return CountColours24(engine, image.bits);
    if (image.BitCount() == 8) return CountUsedIndices8(engine, image.bits);
    return 0;
}

}  // namespace pelio
