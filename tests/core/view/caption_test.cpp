// The caption text of the current image.
#include <gtest/gtest.h>

#include "core/view/caption.h"

namespace pelio {
namespace {

TEST(Caption, TextAndLetters) {
    struct Case {
        CaptionFacts facts;
        const wchar_t* want;
    } cases[] = {
        {{L"a.bmp", false, ImageFormat::Bmp, {}, 640, 480, 24, 921654}, L"a.bmp  ( 640x480  24bit  900.0KB )"},
        {{L"b.png", true, ImageFormat::Png, {1, 1, 2, 0}, 3, 2, 8, 1023}, L"b.png*  ( IAT  3x2  8bit  0.9KB )"},
        {{L"c.jpg", false, ImageFormat::Jpeg, {1, 1, 1, 5}, 10, 10, 24, 1536}, L"c.jpg  ( PCE  10x10  24bit  1.5KB )"},
        {{L"d.tif", false, ImageFormat::Tiff, {1, 1, 1, 1}, 1, 1, 1, 0}, L"d.tif  ( C  1x1  1bit  0.0KB )"},
        {{L"e.gif", false, ImageFormat::Gif, {1, 0, 1, 1}, 1, 1, 8, 2047}, L"e.gif  ( IC  1x1  8bit  1.9KB )"},
        {{L"clip", false, ImageFormat::Bmp, {1, 1, 1, 1}, 1, 1, 32, 54}, L"clip  ( 1x1  32bit  0.0KB )"},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionText(c.facts), c.want);
}

}  // namespace
}  // namespace pelio
