// Pixel read-out of a picture.
#include <gtest/gtest.h>

#include "core/image/image.h"

namespace pelio {
namespace {

TEST(Image, PixelColourCountsFromTheTopLeft) {
    struct Case {
        int bits;
        std::optional<PaletteEntry> topLeft, bottomRight;
    };
    const PaletteEntry kTop{10, 20, 30, 0}, kBottom{40, 50, 60, 0};
    for (const Case& c : {Case{8, kTop, kBottom}, Case{24, kTop, kBottom}, Case{32, kTop, kBottom},
                          Case{1, std::nullopt, std::nullopt}}) {
        Image image;
        image.header.width = 3;
        image.header.height = 2;
        image.header.bitCount = static_cast<uint16_t>(c.bits);
        MemoryAllocator memory;
        ASSERT_TRUE(memory.Allocate(image));
        const int bytes = c.bits / 8;
        if (c.bits == 8) {
            image.palette[1] = kTop;
            image.palette[2] = kBottom;
            image.Row(1)[0] = 1;  // rows bottom-up: row 1 is the top
            image.Row(0)[2] = 2;
        } else if (bytes >= 3) {
            const uint8_t top[] = {10, 20, 30}, bottom[] = {40, 50, 60};  // blue, green, red
            for (int i = 0; i < 3; ++i) {
                image.Row(1)[i] = top[i];
                image.Row(0)[2 * bytes + i] = bottom[i];
            }
        }
        EXPECT_EQ(PixelColour(image, 0, 0), c.topLeft) << c.bits;
        EXPECT_EQ(PixelColour(image, 2, 1), c.bottomRight) << c.bits;
        EXPECT_EQ(PixelColour(image, 3, 0), std::nullopt);
        EXPECT_EQ(PixelColour(image, 0, -1), std::nullopt);
        memory.Release(image);
    }
}

}  // namespace
}  // namespace pelio
