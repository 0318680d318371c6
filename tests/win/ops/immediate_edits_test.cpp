// Quarter turns, flips and inversion on the current image, and what they do to its facts.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "core/image/byte_io.h"
#include "core/image/codec.h"
#include "core/commands/command_ids.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/save_dispatch.h"
#include "win/ops/immediate_edits.h"

namespace pelio {
namespace {

using test::ReadBytes;
using test::WriteBytes;


class ImmediateEdits : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseCurrentImage();
        App().settings = Settings{};
    }
    void TearDown() override {
        DiscardTempFile();
        ReleaseCurrentImage();
    }
    // A 24-bit JPEG of 21 × 13 pixels made by our encoder, loaded as the current image.
    void LoadJpeg() {
        test::SampleImage sample(21, 13, 24);
        SaveOptions options;
        options.settings.format = static_cast<int>(SaveFormat::Jpeg);
        VectorSink sink;
        int error = 0;
        ASSERT_TRUE(FindEncoder(SaveFormat::Jpeg)(sample.image, options, sink, error));
        WriteBytes(dir_ / L"photo.jpg", sink.bytes);
        ASSERT_TRUE(LoadImageFile(dir_ / L"photo.jpg"));
        ASSERT_EQ(Current().format, ImageFormat::Jpeg);
    }
    test::TempFolder dir_;
};

TEST_F(ImmediateEdits, TurnsOfAJpegComposeIntoThePendingTransform) {
    ASSERT_NO_FATAL_FAILURE(LoadJpeg());
    const CurrentImage& c = Current();
    const int fileSize = c.fileSize, sourceBits = c.sourceBits;
    App().settings.save.format = static_cast<int>(SaveFormat::JpegLossless);

    ASSERT_TRUE(ImmediateEditCommand(cmd::kTurn90));
    EXPECT_EQ(c.width, 13);
    EXPECT_EQ(c.height, 21);
    EXPECT_EQ(c.format, ImageFormat::Jpeg);
    EXPECT_EQ(c.pendingTransform, 1);
    EXPECT_TRUE(c.modified);
    EXPECT_EQ(c.fileSize, fileSize);
    EXPECT_EQ(c.sourceBits, sourceBits);
    EXPECT_EQ(App().settings.save.format, static_cast<int>(SaveFormat::JpegLossless));

    ASSERT_TRUE(ImmediateEditCommand(cmd::kTurn270));
    EXPECT_EQ(c.width, 21);
    EXPECT_EQ(c.format, ImageFormat::Jpeg);
    EXPECT_EQ(c.pendingTransform, 0);

    // Left-right after 90°: no single lossless transform does both, the image becomes a BMP edit.
    ASSERT_TRUE(ImmediateEditCommand(cmd::kTurn90));
    ASSERT_TRUE(ImmediateEditCommand(cmd::kMirror));
    EXPECT_EQ(c.format, ImageFormat::Bmp);
    EXPECT_EQ(c.pendingTransform, 0);
    EXPECT_EQ(c.sourceBits, 24);
    EXPECT_EQ(c.fileSize, static_cast<int>(RowStride(13, 24) * 21 + 54));
    EXPECT_EQ(c.info, SourceInfo{});
    EXPECT_EQ(App().settings.save.format, static_cast<int>(SaveFormat::Jpeg));
}

TEST_F(ImmediateEdits, InversionOfAPaletteImageAndItsFacts) {
    WriteBytes(dir_ / L"palette.bmp", test::SampleBmpFile(7, 5, 8));
    ASSERT_TRUE(LoadImageFile(dir_ / L"palette.bmp"));
    const CurrentImage& c = Current();
    ASSERT_EQ(c.bitCount, 8);
    const Palette before = c.palette;
    const std::vector<uint8_t> indices(c.bits, c.bits + RowStride(7, 8) * 5);

    ASSERT_TRUE(ImmediateEditCommand(cmd::kInvert));
    EXPECT_EQ(c.bitCount, 8);
    EXPECT_EQ(c.fileSize, static_cast<int>(RowStride(7, 8) * 5 + 54 + 1024));
    EXPECT_TRUE(c.modified);
    EXPECT_EQ(std::vector<uint8_t>(c.bits, c.bits + indices.size()), indices);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(c.palette[i].red, 255 - before[i].red);

    EXPECT_FALSE(ImmediateEditCommand(cmd::kOpen));  // not an immediate edit
    ReleaseCurrentImage();
    EXPECT_TRUE(ImmediateEditCommand(cmd::kInvert));  // taken, but nothing to do
    EXPECT_FALSE(Current().Loaded());
}

// A preview stays valid only while every setting it depended on is unchanged, the load
// settings included.
TEST_F(ImmediateEdits, SaveSnapshotCoversLoadSettings) {
    WriteBytes(dir_ / L"p.bmp", test::SampleBmpFile(7, 5, 24));
    ASSERT_TRUE(LoadImageFile(dir_ / L"p.bmp"));
    ASSERT_TRUE(SaveToTempFile());
    EXPECT_EQ(CurrentSnapshot(), Saves().snapshot);
    App().settings.read.dispGam = 1800;
    EXPECT_NE(CurrentSnapshot(), Saves().snapshot);
    App().settings.read.dispGam = 2200;
    EXPECT_EQ(CurrentSnapshot(), Saves().snapshot);
    Current().pendingTransform = 2;
    EXPECT_NE(CurrentSnapshot(), Saves().snapshot);
}

}  // namespace
}  // namespace pelio
