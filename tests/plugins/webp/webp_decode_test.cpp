// The WebP decoder: still and animated files made by libwebp's encoder and muxer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <webp/decode.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include "plugins/webp/webp_decode.h"

namespace pelio {
namespace {

using Bytes = std::vector<uint8_t>;

// Top-down pixels of `channels` bytes with a repeatable pattern; with 4 channels the alpha
// runs through every value.
Bytes Pattern(int width, int height, int channels, int seed = 1) {
    Bytes p(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>((i * (37 + seed) + i / 7 * seed) >> 1);
    return p;
}

Bytes Encoded(size_t size, uint8_t* out) {
    Bytes file(out, out + size);
    WebPFree(out);
    return file;
}

// Lossless, or lossy at quality 80, from BGR or BGRA pixels.
Bytes Encode(const Bytes& pixels, int width, int height, int channels, bool lossless) {
    uint8_t* out = nullptr;
    const int stride = width * channels;
    size_t size = channels == 4 ? (lossless ? WebPEncodeLosslessBGRA(pixels.data(), width, height, stride, &out)
                                            : WebPEncodeBGRA(pixels.data(), width, height, stride, 80, &out))
                                : (lossless ? WebPEncodeLosslessBGR(pixels.data(), width, height, stride, &out)
                                            : WebPEncodeBGR(pixels.data(), width, height, stride, 80, &out));
    return Encoded(size, out);
}

uint8_t OverWhite(int c, int a) { return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255); }

struct Decoded {
    WebpError error = WebpError::None;
    WebpInfo info;
    Bytes bits;
    size_t stride = 0;
    // Channel `c` of pixel (x, y), y counted from the top.
    int At(int x, int y, int c) const { return bits[stride * (info.height - 1 - y) + 3 * x + c]; }
};

Decoded Decode(const Bytes& file) {
    Decoded d;
    EXPECT_EQ(ReadWebpInfo(file, d.info), WebpError::None);
    d.stride = WebpRowBytes(d.info.width);
    d.bits.assign(WebpDecodeBytes(d.info), 0xCD);
    d.error = DecodeWebp(file, d.bits);
    return d;
}

// Every pixel equals `expect(x, y, c)` and every padding byte is zero.
template <typename F> void ExpectPixels(const Decoded& d, F expect) {
    ASSERT_EQ(d.error, WebpError::None);
    for (int y = 0; y < d.info.height; ++y) {
        for (int x = 0; x < d.info.width; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(d.At(x, y, c), expect(x, y, c)) << x << "," << y << "," << c;
        for (size_t i = 3 * d.info.width; i < d.stride; ++i) ASSERT_EQ(d.bits[d.stride * y + i], 0);
    }
}

TEST(WebpDecode, Signature) {
    const struct { const char* bytes; size_t size; bool ok; } cases[] = {
        {"RIFF\x10\0\0\0WEBPVP8 ", 16, true}, {"RIFF\0\0\0\0WEBP", 12, true}, {"RIFF\0\0\0\0WEB", 11, false},
        {"RIFX\0\0\0\0WEBP", 12, false},      {"RIFF\0\0\0\0WAVE", 12, false}, {"", 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebpSignature({reinterpret_cast<const uint8_t*>(c.bytes), c.size}), c.ok) << c.bytes;
}

// Rows of 259 pixels: every colour, then three more past the four-pixel steps.
TEST(WebpDecode, CompositeMatchesTheRuleForEveryColourAndAlpha) {
    constexpr int kCount = 259;
    for (int a = 0; a < 256; ++a) {
        uint8_t bgra[kCount * 4], bgr[kCount * 3 + 1];
        for (int i = 0; i < kCount; ++i)
            for (int c = 0; c < 3; ++c) bgra[4 * i + c] = static_cast<uint8_t>(i + 85 * c), bgra[4 * i + 3] = a;
        bgr[kCount * 3] = 0xA5;
        CompositeOverWhite(bgra, bgr, kCount);
        for (int i = 0; i < kCount * 3; ++i) ASSERT_EQ(bgr[i], OverWhite(bgra[i / 3 * 4 + i % 3], a)) << i << " " << a;
        ASSERT_EQ(bgr[kCount * 3], 0xA5);  // nothing written past the row
    }
}

// Odd widths give padded rows; lossless output is the original picture, lossy output what
// libwebp's own decoder gives, both turned bottom-up.
TEST(WebpDecode, OpaqueLossyAndLossless) {
    for (bool lossless : {false, true}) {
        const int w = 37, h = 23;
        const Bytes pixels = Pattern(w, h, 3);
        const Bytes file = Encode(pixels, w, h, 3, lossless);
        int rw = 0, rh = 0;
        uint8_t* ref = WebPDecodeBGR(file.data(), file.size(), &rw, &rh);
        ASSERT_TRUE(ref);
        const Bytes reference(ref, ref + 3 * w * h);
        WebPFree(ref);
        const Decoded d = Decode(file);
        EXPECT_EQ(d.info.width, w);
        EXPECT_EQ(d.info.height, h);
        EXPECT_FALSE(d.info.hasAlpha);
        EXPECT_FALSE(d.info.animated);
        EXPECT_EQ(d.info.lossless, lossless);
        const Bytes& expect = lossless ? pixels : reference;
        ExpectPixels(d, [&](int x, int y, int c) { return expect[3 * (w * y + x) + c]; });
    }
}

// Alpha over white against the rule, from the exact pixels (lossless) or libwebp's own BGRA.
TEST(WebpDecode, AlphaOverWhite) {
    for (bool lossless : {false, true}) {
        const int w = 30, h = 19;
        const Bytes pixels = Pattern(w, h, 4, 3);
        const Bytes file = Encode(pixels, w, h, 4, lossless);
        int rw = 0, rh = 0;
        uint8_t* ref = WebPDecodeBGRA(file.data(), file.size(), &rw, &rh);
        ASSERT_TRUE(ref);
        const Bytes reference(ref, ref + 4 * w * h);
        WebPFree(ref);
        const Decoded d = Decode(file);
        EXPECT_TRUE(d.info.hasAlpha);
        const Bytes& source = lossless ? pixels : reference;
        ExpectPixels(d, [&](int x, int y, int c) {
            const uint8_t* p = &source[4 * (w * y + x)];
            return OverWhite(p[c], p[3]);
        });
    }
}

// A two-frame animation whose first frame covers only part of the canvas: the first frame in
// its place, white around it, nothing of the second frame.
Bytes Animation(const Bytes& first, int x, int y, const Bytes& second) {
    WebPMux* mux = WebPMuxNew();
    WebPMuxFrameInfo frame = {};
    frame.id = WEBP_CHUNK_ANMF;
    frame.duration = 100;
    frame.bitstream = {first.data(), first.size()};
    frame.x_offset = x, frame.y_offset = y;
    EXPECT_EQ(WebPMuxPushFrame(mux, &frame, 1), WEBP_MUX_OK);
    frame.bitstream = {second.data(), second.size()};
    frame.x_offset = frame.y_offset = 0;
    EXPECT_EQ(WebPMuxPushFrame(mux, &frame, 1), WEBP_MUX_OK);
    WebPMuxAnimParams params = {0xFF0000FFu, 0};
    EXPECT_EQ(WebPMuxSetAnimationParams(mux, &params), WEBP_MUX_OK);
    EXPECT_EQ(WebPMuxSetCanvasSize(mux, 21, 17), WEBP_MUX_OK);
    WebPData out;
    EXPECT_EQ(WebPMuxAssemble(mux, &out), WEBP_MUX_OK);
    WebPMuxDelete(mux);
    return Encoded(out.size, const_cast<uint8_t*>(out.bytes));
}

TEST(WebpDecode, AnimationFirstFrameOnItsCanvas) {
    const int fx = 4, fy = 6, fw = 11, fh = 9;
    const Bytes second = Encode(Pattern(21, 17, 3, 9), 21, 17, 3, true);
    for (int channels : {3, 4}) {
        const Bytes pixels = Pattern(fw, fh, channels, 5);
        const Decoded d = Decode(Animation(Encode(pixels, fw, fh, channels, true), fx, fy, second));
        EXPECT_TRUE(d.info.animated);
        EXPECT_EQ(d.info.width, 21);
        EXPECT_EQ(d.info.height, 17);
        ExpectPixels(d, [&](int x, int y, int c) -> int {
            if (x < fx || y < fy || x >= fx + fw || y >= fy + fh) return 255;
            const uint8_t* p = &pixels[channels * (fw * (y - fy) + x - fx)];
            return channels == 4 ? OverWhite(p[c], p[3]) : p[c];
        });
    }
}

// Cut, damaged and foreign input is refused with its code, and never read past its end
// (the sanitizer build runs this too).
TEST(WebpDecode, BadInputRefused) {
    const Bytes lossy = Encode(Pattern(40, 30, 3), 40, 30, 3, false);
    const Bytes lossless = Encode(Pattern(40, 30, 4), 40, 30, 4, true);
    const Bytes frame = Encode(Pattern(8, 8, 3), 8, 8, 3, true);
    const Bytes animated = Animation(frame, 2, 2, Encode(Pattern(21, 17, 3), 21, 17, 3, true));
    for (const Bytes* file : {&lossy, &lossless, &animated}) {
        for (size_t cut : {size_t{12}, size_t{20}, size_t{30}, file->size() / 2, file->size() - 1}) {
            const Bytes part(file->begin(), file->begin() + cut);
            Bytes bits(4 * 40 * 30);
            EXPECT_NE(DecodeWebp(part, bits), WebpError::None) << cut << " of " << file->size();
        }
        Bytes damaged = *file;
        for (size_t i = 40; i < damaged.size(); i += 3) damaged[i] ^= 0x5A;
        Bytes bits(4 * 40 * 30);
        DecodeWebp(damaged, bits);  // any result, but no fault
    }
    Bytes bits(64);
    const Bytes foreign = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0, 0, 0};
    EXPECT_EQ(DecodeWebp(foreign, bits), WebpError::NotWebp);
    EXPECT_EQ(DecodeWebp({}, bits), WebpError::NotWebp);
    // An animation's canvas may be wider than any frame: 30000 × 10 is refused from its header.
    const Bytes wide = {'R', 'I', 'F', 'F', 22, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'X', 10, 0, 0, 0,
                        0x12, 0, 0, 0, 0x2F, 0x75, 0, 9, 0, 0};
    EXPECT_EQ(DecodeWebp(wide, bits), WebpError::TooLarge);
    Bytes small(WebpRowBytes(40) * 30 - 1);
    EXPECT_EQ(DecodeWebp(lossy, small), WebpError::SmallBuffer);
}

}  // namespace
}  // namespace pelio
