// imgtool's operations from the outside: the built tool run on generated BMP files, its
// output read back and compared with the kernels applied directly.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/image/codec.h"
#include "core/image/colour_engine.h"
#include "core/ops/filters.h"
#include "core/ops/geometry.h"
#include "core/ops/hls.h"
#include "core/ops/luminance.h"
#include "core/ops/margins.h"
#include "core/ops/resize.h"
#include "core/ops/rotate.h"
#include "core/ops/trim.h"
#include "core/ops/tone.h"
#include "core/ops/tone_tables.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

namespace fs = std::filesystem;

// A picture in plain memory, released on destruction.
struct Picture {
    MemoryAllocator allocator;
    Image image;
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture() {
        if (image.bits) allocator.Release(image);
    }
    void Make(int width, int height, int bits, const Palette& palette = {}) {
        image = Image{};
        image.header.width = width;
        image.header.height = height;
        image.header.bitCount = static_cast<uint16_t>(bits);
        image.palette = palette;
        ASSERT_TRUE(allocator.Allocate(image));
    }
    void CopyOf(const Image& source) {
        Make(source.Width(), source.Height(), source.BitCount(), source.palette);
        std::memcpy(image.bits, source.bits, source.PixelBytes());
    }
};

// What the tool should write for a source picture.
using Expect = std::function<void(const Image& source, Picture& expected)>;

// A kernel over a copy of the source, or of its 24-bit conversion.
Expect Same(std::function<void(const PixelJob&)> kernel, bool to24 = false) {
    return [=](const Image& source, Picture& expected) {
        std::vector<uint8_t> storage;
        Image view;
        ASSERT_EQ(ExpandTo24(source, storage, view), Expand24::Ok);
        const Image& from = to24 ? view : source;
        expected.CopyOf(from);
        kernel(MakePixelJob(from, expected.image));
    };
}
Expect On24(std::function<void(const PixelJob&)> kernel) { return Same(std::move(kernel), true); }
const Expect kUnchanged = [](const Image& source, Picture& expected) { expected.CopyOf(source); };

struct Case {
    std::string args;
    Expect expect;  // null: refused
};

class ImgtoolOp : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/imgtool-op-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool; its exit code, standard output in `out`.
    int Run(const std::string& args, std::string& out) {
        const std::string command = std::string(PELIO_IMGTOOL) + " " + args + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return -1;
        out.clear();
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Write(const Image& image, const std::string& name) {
        SaveOptions options;
        options.settings.depth = image.BitCount();
        VectorSink sink;
        int error = 0;
        EXPECT_TRUE(FindEncoder(SaveFormat::Bmp)(image, options, sink, error));
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(sink.bytes.data()),
                                                    static_cast<std::streamsize>(sink.bytes.size()));
        return path;
    }

    void Read(const std::string& path, Picture& out) {
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        DecodeResult result;
        ASSERT_TRUE(FindDecoder(ImageFormat::Bmp)(bytes, LoadOptions{}, out.allocator, result));
        out.image = result.image;
    }

    // The tool's picture for `args` on `source`, against `expect` (a refusal when null).
    void Check(const Image& source, const Case& c, std::string* printed = nullptr) {
        SCOPED_TRACE(c.args + " on " + std::to_string(source.BitCount()) + " bits");
        const std::string in = Write(source, "in.bmp"), out = (dir_ / "out.bmp").string();
        fs::remove(out);
        std::string stdoutText;
        const int code = Run("op " + in + " " + out + " " + c.args, stdoutText);
        if (printed) *printed = stdoutText;
        if (!c.expect) {
            EXPECT_EQ(code, 1);
            EXPECT_EQ(stdoutText, "refused\n");
            EXPECT_FALSE(fs::exists(out));
            return;
        }
        ASSERT_EQ(code, 0) << stdoutText;
        Picture expected, actual;
        c.expect(source, expected);
        Read(out, actual);
        const Image &e = expected.image, &a = actual.image;
        ASSERT_EQ(a.BitCount(), e.BitCount());
        ASSERT_EQ(a.Width(), e.Width());
        ASSERT_EQ(a.Height(), e.Height());
        const size_t rowBytes = size_t(e.Width()) * size_t(e.BitCount() / 8);
        for (int y = 0; y < e.Height(); ++y)
            ASSERT_EQ(std::memcmp(a.Row(y), e.Row(y), rowBytes), 0) << "row " << y;
        if (e.BitCount() != 8) return;
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry &pa = a.palette[size_t(i)], &pe = e.palette[size_t(i)];
            ASSERT_TRUE(pa.blue == pe.blue && pa.green == pe.green && pa.red == pe.red) << "palette entry " << i;
        }
    }

    // Every case on a 7 × 5 sample picture of 8 and of 24 bits.
    void CheckBoth(const std::vector<Case>& cases, int width = 7, int height = 5) {
        for (int bits : {8, 24}) {
            test::SampleImage source(width, height, bits, 37);
            for (const Case& c : cases) Check(source.image, c);
        }
    }

    fs::path dir_;
};

TEST_F(ImgtoolOp, ToneCorrections) {
    static const LevelsTables levels;
    CheckBoth({
        {"levels 100 200", Same([](const PixelJob& j) { ApplyLevels(j, levels, 100, 200, 3); })},
        // The Min field first: 300 → 254; then Max, at most 255 and above Min.
        {"levels 300 -5", Same([](const PixelJob& j) { ApplyLevels(j, levels, 254, 255, 3); })},
        {"levels-rgb 10 200 0 255 50 60", Same([](const PixelJob& j) {
             ApplyLevels(j, levels, 10, 200, 0);
             ApplyLevels(j, levels, 50, 60, 2);
         })},
        {"levels 0 255", kUnchanged},
        {"gamma 50 0 -150", Same([](const PixelJob& j) { ApplyGamma(j, 50, 0, -100); })},
        {"gamma 0 0 0", kUnchanged},
        {"brightness 300 -20 0", Same([](const PixelJob& j) { ApplyBrightness(j, 255, -20, 0); })},
        {"contrast -100 40 120", Same([](const PixelJob& j) {
             ApplyContrast(j, ContrastTables(MeanLuma(j)), -100, 40, 100);
         })},
        {"invert", Same([](const PixelJob& j) { InvertPixels(j); })},
    });
}

// Blue all 0, green 0, 16 … 240 by column, red all 77, as pixels and as a palette picture.
TEST_F(ImgtoolOp, AutomaticLevelsPrintTheirBounds) {
    for (int bits : {8, 24}) {
        test::SampleImage source(16, 4, bits);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 16; ++x) {
                const PaletteEntry colour{0, static_cast<uint8_t>(x * 16), 77, 0};
                if (bits == 8) {
                    source.image.palette[size_t(x)] = colour;
                    source.image.Row(y)[x] = static_cast<uint8_t>(x);
                } else {
                    uint8_t* p = source.image.Row(y) + x * 3;
                    p[0] = colour.blue, p[1] = colour.green, p[2] = colour.red;
                }
            }
        static const LevelsTables levels;
        std::string printed;
        // A single level: low at it, high raised above it.
        Check(source.image, {"levels-auto", Same([](const PixelJob& j) {
                                 ApplyLevels(j, levels, 0, 1, 0);
                                 ApplyLevels(j, levels, 0, 240, 1);
                                 ApplyLevels(j, levels, 77, 78, 2);
                             })},
              &printed);
        EXPECT_EQ(printed, "b=0,1 g=0,240 r=77,78\n");
    }
}

TEST_F(ImgtoolOp, HueAndSaturation) {
    CheckBoth({
        {"hls 120 0 0", Same([](const PixelJob& j) { AdjustHls(j, {120, 0, 0}); })},
        {"hls -200 300 -30", Same([](const PixelJob& j) { AdjustHls(j, {-180, 255, -30}); })},
        {"hls 0 -40 100 --range 255,0,0 40",
         Same([](const PixelJob& j) { AdjustHlsInRange(j, {0, -40, 100}, 0x0000FF, RangeWeights(40)); })},
        {"hls 30 0 0 --range 0,128,255 999",
         Same([](const PixelJob& j) { AdjustHlsInRange(j, {30, 0, 0}, 0xFF8000, RangeWeights(150)); })},
        {"hls 0 0 0 --range 1,2,3 4", kUnchanged},
    });
    // Pure red turned by 120° is green of 254.
    test::SampleImage red(1, 1, 24);
    red.image.bits[0] = 0, red.image.bits[1] = 0, red.image.bits[2] = 255;
    Check(red.image, {"hls 120 0 0", [](const Image& s, Picture& e) {
                          e.CopyOf(s);
                          e.image.bits[1] = 254, e.image.bits[2] = 0;
                      }});
}

TEST_F(ImgtoolOp, FiltersWorkOn24BitsAndRefuseSmallPictures) {
    CheckBoth({
        {"unsharp 8 0", On24([](const PixelJob& j) { ApplyUnsharp(j, PrepareUnsharp(j), 8, 0); })},
        {"unsharp 200 -3", On24([](const PixelJob& j) { ApplyUnsharp(j, PrepareUnsharp(j), 100, 0); })},
        {"unsharp 0 50", kUnchanged},
        {"blur 0 10", On24([](const PixelJob& j) { Box3x3(j, 250); })},
        {"blur 1 15", On24([](const PixelJob& j) { Box5x5(j, 250); })},
        {"blur 2 30", On24([](const PixelJob& j) {
             ScratchBytes temporary;
             GaussianBlur(j, temporary, 20);
         })},
        {"blur 2 0", kUnchanged},
        {"blur 3 5", nullptr},
        {"softfocus 300", On24([](const PixelJob& j) {
             std::vector<uint8_t> blurred(size_t(j.stride) * size_t(j.height));
             PixelJob blur = j;
             blur.target = blurred.data();
             ScratchBytes temporary;
             GaussianBlur(blur, temporary, 20);
             MixSoftFocus(j, 200, blurred);
         })},
        {"softfocus 0", kUnchanged},
    });
    test::SampleImage narrow(4, 100, 24), low(100, 4, 8), square(5, 5, 24);
    for (const char* args : {"unsharp 5 5", "blur 0 5", "softfocus 5"}) {
        Check(narrow.image, {args, nullptr});
        Check(low.image, {args, nullptr});
    }
    // A single white pixel: the 3 × 3 mean 28, mixed 250 of 255 with 255 gives 32.
    std::memset(square.image.bits, 0, square.image.PixelBytes());
    uint8_t* centre = square.image.Row(2) + 2 * 3;
    centre[0] = centre[1] = centre[2] = 255;
    Check(square.image, {"blur 0 10", [](const Image& s, Picture& e) {
                             e.CopyOf(s);
                             e.image.Row(2)[6] = e.image.Row(2)[7] = e.image.Row(2)[8] = 32;
                             Box3x3(MakePixelJob(s, e.image), 250);
                             EXPECT_EQ(e.image.Row(2)[6], 32);
                         }});
}

TEST_F(ImgtoolOp, MarginsTurnsAndResize) {
    // A kernel making a picture of another size from the 24-bit conversion (`to24`) or the source.
    auto Made = [](int width, int height, bool to24, std::function<void(const Image&, Image&)> kernel) -> Expect {
        return [=](const Image& source, Picture& expected) {
            std::vector<uint8_t> storage;
            Image view;
            ASSERT_EQ(ExpandTo24(source, storage, view), Expand24::Ok);
            const Image& from = to24 ? view : source;
            expected.Make(width < 0 ? source.Height() : width, height < 0 ? source.Width() : height, from.BitCount(),
                          from.palette);
            kernel(from, expected.image);
        };
    };
    auto Margin = [&](Margins m, uint32_t colour) {
        return Made(7 + m.left + m.right, 5 + m.top + m.bottom, true,
                    [=](const Image& s, Image& e) { AddMargins(s, m, colour, e); });
    };
    auto Turn = [&](int kind, bool swap) {
        return Made(swap ? -1 : 7, swap ? -1 : 5, false,
                    [=](const Image& s, Image& e) { TurnPixels(MakePixelJob(s, e), static_cast<TurnKind>(kind)); });
    };
    auto Resize = [&](int w, int h) {
        return Made(w, h, true, [](const Image& s, Image& e) { ASSERT_TRUE(ResizePixels(s, e)); });
    };
    CheckBoth({
        {"margins 1 2 3 4", Margin({1, 2, 3, 4}, 0xFFFFFF)},
        {"margins 0 2 0 1 --colour 10,20,30", Margin({0, 2, 0, 1}, 0x1E140A)},
        {"margins 30000 9 -4 0", Margin({24995, 0, 0, 0}, 0xFFFFFF)},  // the result at most 25000 high
        {"margins 0 0 0 0", kUnchanged},
        {"turn 1", Turn(1, true)},
        {"turn 2", Turn(2, false)},
        {"turn 3", Turn(3, true)},
        {"turn 4", Turn(4, false)},
        {"turn 5", Turn(5, false)},
        {"turn 0", nullptr},
        {"turn 6", nullptr},
        {"resize 10 4", Resize(10, 4)},
        {"resize 100 -3", Resize(14, 1)},  // at most twice the side, at least 1
        {"resize 7 5", kUnchanged},
    });
}

// Trimming at the picture's own depth; rotations from the 24-bit conversion, full or as the
// preview, the angle as the field takes it.
TEST_F(ImgtoolOp, TrimAndRotate) {
    auto Cut = [](TrimRect r) -> Expect {
        return [=](const Image& source, Picture& expected) {
            expected.Make(r.x2 - r.x1 + 1, r.y2 - r.y1 + 1, source.BitCount(), source.palette);
            ASSERT_TRUE(TrimPixels(source, r, expected.image));
        };
    };
    auto Turned = [](int stored, uint32_t background) -> Expect {
        return [=](const Image& source, Picture& expected) {
            std::vector<uint8_t> storage;
            Image view;
            ASSERT_EQ(ExpandTo24(source, storage, view), Expand24::Ok);
            const RotatedExtent size = RotatedSize(view.Width(), view.Height(), stored);
            expected.Make(size.width, size.height, 24);
            ASSERT_TRUE(RotateFull(MakePixelJob(view, expected.image), stored, background, size.width, size.height));
        };
    };
    CheckBoth({
        {"trim 1 1 4 3", Cut({1, 1, 4, 3})},
        {"trim 6 4 6 4", Cut({6, 4, 6, 4})},
        {"trim 0 0 6 4", kUnchanged},
        {"trim 3 1 2 3", nullptr},
        {"trim 0 0 7 4", nullptr},
        {"rotate 100", Turned(100, 0xFFFFFF)},
        {"rotate -450 --bg 10,20,30", Turned(3150, 0x1E140A)},
        {"rotate 5000", Turned(1800, 0xFFFFFF)},
        {"rotate 0", kUnchanged},
        {"rotate 300 --preview", On24([](const PixelJob& job) { RotatePreview(job, 300, 0xFFFFFF); })},
    });
}

TEST_F(ImgtoolOp, LuminanceHistogram) {
    for (int bits : {8, 24}) {
        test::SampleImage source(9, 7, bits, 37);
        LuminanceCounts counts{};
        Picture unused;
        const PixelJob job = MakePixelJob(source.image, unused.image);
        if (bits == 8) LuminanceHistogram8(job, counts);
        else LuminanceHistogram24(job, counts);
        std::ostringstream expected;
        for (int v = 0; v < 256; ++v) expected << v << ' ' << counts[size_t(v)] << '\n';
        std::string printed;
        ASSERT_EQ(Run("histogram " + Write(source.image, "in.bmp"), printed), 0);
        EXPECT_EQ(printed, expected.str());
    }
}

TEST_F(ImgtoolOp, UnknownOperationsAndBadArgumentsAreUsageErrors) {
    test::SampleImage source(7, 5, 24);
    const std::string in = Write(source.image, "in.bmp"), out = (dir_ / "out.bmp").string();
    std::string printed;
    for (const char* args : {"spin 1", "levels 1", "levels 1 x", "hls 1 2 3 --range 1,2 3", "margins 1 1 1 1 --colour",
                             "gamma 1 2 3 --bogus"})
        EXPECT_EQ(Run("op " + in + " " + out + " " + args, printed), 2) << args;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace pelio
