// The pending lossless transform, its save through the library and the trimmed preview.
#include "core/image/jpeg_lossless.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/image/codec_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_markers.h"
#include "tests/core/image/jpeg_test_util.h"

namespace pelio {
namespace {

using test::JpegPlan;
using test::MakeJpeg;

int Apply(std::initializer_list<EditTurn> turns) {
    int pending = kLosslessNone;
    for (EditTurn t : turns) {
        pending = ComposeLosslessTransform(pending, t);
        if (pending == kLosslessFails) break;
    }
    return pending;
}

TEST(JpegLossless, EditsComposeIntoOneTransform) {
    using E = EditTurn;
    struct Case {
        const char* name;
        std::initializer_list<EditTurn> turns;
        int pending;
    } cases[] = {
        {"90 + 90", {E::Rotate90, E::Rotate90}, kLosslessRotate180},
        {"four quarter turns", {E::Rotate90, E::Rotate90, E::Rotate90, E::Rotate90}, kLosslessNone},
        {"90 + 270", {E::Rotate90, E::Rotate270}, kLosslessNone},
        {"180 + 90", {E::Rotate180, E::Rotate90}, kLosslessRotate270},
        {"flip twice", {E::FlipHorizontal, E::FlipHorizontal}, kLosslessNone},
        {"both flips", {E::FlipHorizontal, E::FlipVertical}, kLosslessRotate180},
        {"180 + left-right", {E::Rotate180, E::FlipHorizontal}, kLosslessFlipVertical},
        {"top-bottom + 180", {E::FlipVertical, E::Rotate180}, kLosslessFlipHorizontal},
        {"flip then 90", {E::FlipHorizontal, E::Rotate90}, kLosslessFails},
        {"90 then flip", {E::Rotate90, E::FlipVertical}, kLosslessFails},
        {"flip then 270", {E::FlipVertical, E::Rotate270}, kLosslessFails},
    };
    for (const Case& c : cases) EXPECT_EQ(Apply(c.turns), c.pending) << c.name;
}

TEST(JpegLossless, RefusesAChangedOrUnreadableSource) {
    EXPECT_EQ(LosslessSaveRefusal(true, 5, 5), std::nullopt);
    EXPECT_EQ(LosslessSaveRefusal(true, 6, 5), kErrFileChanged);
    EXPECT_EQ(LosslessSaveRefusal(false, 5, 5), kErrReadData);
}

struct Saved {
    std::vector<uint8_t> file;
    int error = 0;
};

Saved Save(const std::vector<uint8_t>& source, int transform, ImageSaveSettings settings = {}) {
    SaveOptions options;
    options.settings = settings;
    options.settings.format = static_cast<int>(SaveFormat::JpegLossless);
    options.losslessSource = source;
    options.losslessTransform = transform;
    VectorSink sink;
    Saved out;
    EncodeFn encode = FindEncoder(SaveFormat::JpegLossless);
    EXPECT_NE(encode, nullptr);
    if (encode && encode(Image{}, options, sink, out.error)) out.file = std::move(sink.bytes);
    return out;
}

// Pixel (x, y) of a top-down reference, first component.
int At(const test::Reference& r, int x, int y) {
    return r.pixels[(static_cast<size_t>(y) * r.width + x) * r.components];
}

TEST(JpegLossless, SavedPicturesAreTurned) {
    JpegPlan plan;
    plan.width = 48;
    plan.height = 32;
    plan.components = 1;
    const std::vector<uint8_t> source = MakeJpeg(plan);
    const test::Reference src = test::LibraryDecode(source);
    struct Case {
        int transform;
        int width, height;
        int (*sx)(int x, int y, int w, int h);  // where output (x, y) comes from
        int (*sy)(int x, int y, int w, int h);
    } cases[] = {
        {kLosslessNone, 48, 32, [](int x, int, int, int) { return x; }, [](int, int y, int, int) { return y; }},
        {kLosslessRotate90, 32, 48, [](int, int y, int, int) { return y; }, [](int x, int, int w, int) { return w - 1 - x; }},
        {kLosslessRotate180, 48, 32, [](int x, int, int w, int) { return w - 1 - x; }, [](int, int y, int, int h) { return h - 1 - y; }},
        {kLosslessRotate270, 32, 48, [](int, int y, int, int h) { return h - 1 - y; }, [](int x, int, int, int) { return x; }},
        {kLosslessFlipHorizontal, 48, 32, [](int x, int, int w, int) { return w - 1 - x; }, [](int, int y, int, int) { return y; }},
        {kLosslessFlipVertical, 48, 32, [](int x, int, int, int) { return x; }, [](int, int y, int, int h) { return h - 1 - y; }},
    };
    for (const Case& c : cases) {
        const Saved saved = Save(source, c.transform);
        ASSERT_EQ(saved.error, kCodecOk) << c.transform;
        const test::Reference out = test::LibraryDecode(saved.file);
        ASSERT_EQ(out.width, c.width) << c.transform;
        ASSERT_EQ(out.height, c.height) << c.transform;
        int worst = 0;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                worst = std::max(worst, std::abs(At(out, x, y) -
                                                 At(src, c.sx(x, y, out.width, out.height),
                                                    c.sy(x, y, out.width, out.height))));
        EXPECT_LE(worst, 1) << c.transform;
    }
}

TEST(JpegLossless, TrimmedQuarterTurnAndItsPreview) {
    JpegPlan plan;
    plan.width = plan.height = 100;
    plan.hSampling = plan.vSampling = 2;
    const std::vector<uint8_t> source = MakeJpeg(plan);
    const Saved saved = Save(source, kLosslessRotate90);
    ASSERT_EQ(saved.error, kCodecOk);

    MemoryAllocator allocator;
    DecodeResult decoded;
    ASSERT_TRUE(DecodeJpeg(saved.file, LoadOptions{}, allocator, decoded));
    EXPECT_EQ(decoded.image.Width(), 96);
    EXPECT_EQ(decoded.image.Height(), 100);
    const std::vector<uint8_t> rows(decoded.image.bits,
                                    decoded.image.bits + decoded.image.PixelBytes());
    const size_t decodedStride = decoded.image.Stride();

    Image preview;
    ASSERT_TRUE(PlaceLosslessPreview(decoded.image, 100, 100, 24, allocator, preview));
    ImageHolder hold(allocator, preview);
    EXPECT_EQ(decoded.image.bits, nullptr);
    ASSERT_EQ(preview.Width(), 100);
    ASSERT_EQ(preview.Height(), 100);
    for (int32_t y = 0; y < 100; ++y) {
        const uint8_t* row = preview.Row(y);
        for (int i = 0; i < 12; ++i) ASSERT_EQ(row[i], 0) << "row " << y;
        ASSERT_EQ(0, std::memcmp(row + 12, &rows[decodedStride * y], 96 * 3)) << "row " << y;
    }

    // Without trimming the edge blocks stay and nothing is placed.
    ImageSaveSettings untrimmed;
    untrimmed.jpgTrim = false;
    const test::Reference whole = test::LibraryDecode(Save(source, kLosslessRotate90, untrimmed).file);
    EXPECT_EQ(whole.width, 100);
}

TEST(JpegLossless, PreviewOfAShorterGreyResult) {
    MemoryAllocator allocator;
    Image decoded;
    decoded.header.width = 2;
    decoded.header.height = 1;
    decoded.header.bitCount = 8;
    decoded.palette[7] = PaletteEntry{1, 2, 3, 0};
    ASSERT_TRUE(allocator.Allocate(decoded));
    decoded.bits[0] = decoded.bits[1] = 7;
    Image preview;
    ASSERT_TRUE(PlaceLosslessPreview(decoded, 3, 2, 24, allocator, preview));
    ImageHolder hold(allocator, preview);
    const std::vector<uint8_t> bottom(preview.Row(0), preview.Row(0) + 9);
    EXPECT_EQ(bottom, (std::vector<uint8_t>{0, 0, 0, 1, 2, 3, 1, 2, 3}));
    const std::vector<uint8_t> top(preview.Row(1), preview.Row(1) + 9);
    EXPECT_EQ(top, std::vector<uint8_t>(9, 0));
}

TEST(JpegLossless, MarkerOptionsDecideWhatIsCopied) {
    JpegPlan plan;
    plan.width = plan.height = 16;
    const std::string exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\0", 16);
    plan.markers.push_back({0xE1});
    plan.markers.back().insert(plan.markers.back().end(), exif.begin(), exif.end());
    plan.markers.push_back({0xFE, 'n', 'o', 't', 'e'});
    const std::vector<uint8_t> source = MakeJpeg(plan);
    struct Case {
        int option;
        bool exif, comment;
    } cases[] = {{0, false, false}, {1, false, true}, {2, true, true}};
    for (const Case& c : cases) {
        ImageSaveSettings settings;
        settings.jMarker = c.option;
        const Saved saved = Save(source, kLosslessRotate180, settings);
        ASSERT_EQ(saved.error, kCodecOk);
        int app1 = 0, com = 0, app0 = 0;
        WalkJpegMarkers(std::span<const uint8_t>(saved.file), [&](const JpegSegment& s) {
            app1 += s.marker == 0xE1;
            com += s.marker == 0xFE;
            app0 += s.marker == 0xE0;
            return true;
        });
        EXPECT_EQ(app1, c.exif ? 1 : 0) << c.option;
        EXPECT_EQ(com, c.comment ? 1 : 0) << c.option;
        EXPECT_EQ(app0, 1) << c.option;  // the writer's own JFIF header, never a copy
    }
}

TEST(JpegLossless, GreyAndProgressiveOptions) {
    JpegPlan plan;
    plan.width = plan.height = 32;
    const std::vector<uint8_t> source = MakeJpeg(plan);
    ImageSaveSettings settings;
    settings.gray = true;
    settings.progressive = true;
    const Saved saved = Save(source, kLosslessFlipVertical, settings);
    ASSERT_EQ(saved.error, kCodecOk);
    MemoryAllocator allocator;
    DecodeResult decoded;
    ASSERT_TRUE(DecodeJpeg(saved.file, LoadOptions{}, allocator, decoded));
    ImageHolder hold(allocator, decoded.image);
    EXPECT_EQ(decoded.image.BitCount(), 8);
    EXPECT_EQ(decoded.info.interlaced, 1);
}

TEST(JpegLossless, BrokenSourceIsALibraryError) {
    const std::vector<uint8_t> cases[] = {{'n', 'o', 't'}, {0xFF, 0xD8, 0xFF, 0xDB, 0, 2}};
    for (const auto& source : cases) {
        const Saved saved = Save(source, kLosslessRotate90);
        EXPECT_EQ(saved.error, kJpegLibraryError);
        EXPECT_FALSE(LastJpegLibraryMessage().empty());
    }
    EXPECT_EQ(Save({}, kLosslessRotate90).error, kCodecReadFailed);
}

}  // namespace
}  // namespace pelio
