// Generating JPEGs and decoding them with the library directly, for the tests. Portable.
#pragma once
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace pelio::test {

struct JpegPlan {
    int width = 40, height = 24;
    int components = 3;  // 1 grey, 3 colour, 4 CMYK (Adobe)
    int hSampling = 2, vSampling = 2;
    bool progressive = false;
    int quality = 90;
    int densityUnit = 0, xDensity = 1, yDensity = 1;
    std::vector<std::vector<uint8_t>> markers;  // marker code first, then the data
};

// A smooth picture with some detail, component values interleaved.
inline std::vector<uint8_t> TestPixels(int width, int height, int components) {
    std::vector<uint8_t> p(static_cast<size_t>(width) * height * components);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                p[(static_cast<size_t>(y) * width + x) * components + c] =
                    static_cast<uint8_t>((x * (3 + c * 2) + y * (5 - c) + ((x ^ y) & 8) * c) & 255);
    return p;
}

inline std::vector<uint8_t> MakeJpeg(const JpegPlan& s) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = s.width;
    c.image_height = s.height;
    c.input_components = s.components;
    c.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    if (s.components == 3) {
        c.comp_info[0].h_samp_factor = s.hSampling;
        c.comp_info[0].v_samp_factor = s.vSampling;
    }
    jpeg_set_quality(&c, s.quality, TRUE);
    if (s.progressive) jpeg_simple_progression(&c);
    c.density_unit = static_cast<UINT8>(s.densityUnit);
    c.X_density = static_cast<UINT16>(s.xDensity);
    c.Y_density = static_cast<UINT16>(s.yDensity);
    jpeg_start_compress(&c, TRUE);
    for (const auto& m : s.markers)
        jpeg_write_marker(&c, m[0], m.data() + 1, static_cast<unsigned>(m.size() - 1));
    std::vector<uint8_t> pixels = TestPixels(s.width, s.height, s.components);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = &pixels[static_cast<size_t>(c.next_scanline) * s.width * s.components];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(mem, mem + size);
    std::free(mem);
    return out;
}

// The library's own decode, top-down rows of exactly width × components bytes: BGR for
// colour, one byte for grey, the raw four values for CMYK.
struct Reference {
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> pixels;
};

struct ReferenceError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Empty pixels when the library refuses the file.
inline Reference LibraryDecode(const std::vector<uint8_t>& file) {
    jpeg_decompress_struct d{};
    ReferenceError err{};
    d.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr object) {
        std::longjmp(reinterpret_cast<ReferenceError*>(object->err)->jump, 1);
    };
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&d);
        return Reference{};
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), file.size());
    jpeg_read_header(&d, TRUE);
    if (d.jpeg_color_space == JCS_YCbCr || d.jpeg_color_space == JCS_RGB)
        d.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d);
    Reference r{static_cast<int>(d.output_width), static_cast<int>(d.output_height),
                d.output_components, {}};
    const size_t rowBytes = static_cast<size_t>(r.width) * r.components;
    r.pixels.resize(rowBytes * r.height);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &r.pixels[d.output_scanline * rowBytes];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return r;
}

}  // namespace pelio::test
