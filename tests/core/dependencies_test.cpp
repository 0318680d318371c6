// The codec libraries link and work in this tree: zlib, libjpeg-turbo and its transform helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <zlib.h>
#include <jpeglib.h>
extern "C" {
#include <transupp.h>
}

namespace {

TEST(Dependencies, ZlibRoundTrip) {
    std::vector<unsigned char> in(10000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 7 / 13);
    uLongf packedSize = compressBound(in.size());
    std::vector<unsigned char> packed(packedSize);
    ASSERT_EQ(compress2(packed.data(), &packedSize, in.data(), in.size(), 9), Z_OK);
    EXPECT_LT(packedSize, in.size() / 4);
    std::vector<unsigned char> out(in.size());
    uLongf outSize = out.size();
    ASSERT_EQ(uncompress(out.data(), &outSize, packed.data(), packedSize), Z_OK);
    EXPECT_EQ(out, in);
}

TEST(Dependencies, JpegEncodesAndDecodesInBgrOrder) {
    constexpr int kW = 32, kH = 16;
    std::vector<unsigned char> bgr(kW * kH * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            unsigned char* p = &bgr[(y * kW + x) * 3];
            p[0] = 40;                                      // blue
            p[1] = static_cast<unsigned char>(x * 8);       // green
            p[2] = static_cast<unsigned char>(200 - y * 8);  // red
        }

    jpeg_compress_struct c{};
    jpeg_error_mgr cerr{};
    c.err = jpeg_std_error(&cerr);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&c, &mem, &memSize);
    c.image_width = kW;
    c.image_height = kH;
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = &bgr[c.next_scanline * kW * 3];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    ASSERT_GT(memSize, 100u);

    jpeg_decompress_struct d{};
    jpeg_error_mgr derr{};
    d.err = jpeg_std_error(&derr);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, mem, memSize);
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    d.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d);
    EXPECT_EQ(d.output_width, static_cast<JDIMENSION>(kW));
    EXPECT_EQ(d.output_height, static_cast<JDIMENSION>(kH));
    std::vector<unsigned char> out(kW * kH * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &out[d.output_scanline * kW * 3];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    free(mem);

    int worst = 0;
    for (size_t i = 0; i < out.size(); ++i) worst = std::max(worst, std::abs(out[i] - bgr[i]));
    EXPECT_LE(worst, 12);
}

TEST(Dependencies, TransformHelpersLink) {
    // A 4:2:0 image (16 × 16 MCUs) mirrors losslessly only when its width is whole MCUs.
    EXPECT_TRUE(jtransform_perfect_transform(64, 33, 16, 16, JXFORM_FLIP_H));
    EXPECT_FALSE(jtransform_perfect_transform(65, 32, 16, 16, JXFORM_FLIP_H));
}

}  // namespace
