// Format detection of files, the load dispatch, the current image and the temporary-file rule.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <thread>

#include "core/image/codec.h"
#include "tests/core/image/gif_test_util.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/sample_image.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/read_ahead.h"
#include "win/image/save_dispatch.h"

namespace pelio {
namespace {

using test::ReadBytes;
using test::WriteBytes;

using test::MessageBoxAnswerer;
using test::TempFolder;



std::vector<uint8_t> SampleBmp(int w, int h, int32_t resolution = 2835) {
    return test::SampleBmpFile(w, h, 24, resolution);
}

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseCurrentImage();
        App().settings = Settings{};
    }
    void TearDown() override {
        DiscardTempFile();
        ReleaseCurrentImage();
    }
    TempFolder dir_;
};

TEST_F(Dispatch, DetectFormatOfFiles) {
    WriteBytes(dir_ / L"empty.bmp", {});
    WriteBytes(dir_ / L"one", {'B'});
    WriteBytes(dir_ / L"jpeg.png", {0xFF, 0xD8, 0xFF, 0xE0});
    WriteBytes(dir_ / L"tiff", {'I', 'I', '*', 0});
    EXPECT_EQ(DetectFormat(dir_ / L"empty.bmp"), ImageFormat::Empty);
    EXPECT_EQ(DetectFormat(dir_ / L"one"), ImageFormat::Unknown);
    EXPECT_EQ(DetectFormat(dir_ / L"jpeg.png"), ImageFormat::Jpeg);
    EXPECT_EQ(DetectFormat(dir_ / L"tiff"), ImageFormat::Tiff);
    EXPECT_EQ(DetectFormat(dir_ / L"missing"), ImageFormat::Unknown);
}

TEST_F(Dispatch, LoadInstallsTheImageWithItsFacts) {
    const std::wstring path = dir_ / L"picture.bmp";
    WriteBytes(path, SampleBmp(5, 3, -100));
    App().settings.save.format = static_cast<int>(SaveFormat::JpegLossless);
    Current().pendingTransform = 3;
    Current().modified = true;
    App().transparentSwitch = true;

    ASSERT_TRUE(LoadImageFile(path));
    const CurrentImage& c = Current();
    ASSERT_TRUE(c.Loaded());
    EXPECT_EQ(c.width, 5);
    EXPECT_EQ(c.height, 3);
    EXPECT_EQ(c.bitCount, 24);
    EXPECT_EQ(c.format, ImageFormat::Bmp);
    EXPECT_EQ(c.sourceBits, 24);
    EXPECT_EQ(c.fileSize, 54 + 48);
    EXPECT_EQ(c.xPelsPerMeter, 0);  // negative resolutions are stored as 0
    EXPECT_EQ(c.path, path);
    EXPECT_EQ(c.name, L"picture.bmp");
    EXPECT_FALSE(c.modified);
    EXPECT_EQ(c.pendingTransform, 0);
    EXPECT_FALSE(App().transparentSwitch);
    EXPECT_EQ(App().settings.save.format, static_cast<int>(SaveFormat::Jpeg));
    EXPECT_EQ(GetObjectType(c.bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetCurrentObject(c.memoryDc, OBJ_BITMAP), c.bitmap);

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(c.fileTime, uint64_t{data.ftLastWriteTime.dwLowDateTime} |
                              uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32);
    // The pixels are the file's.
    std::vector<uint8_t> file = ReadBytes(path);
    EXPECT_TRUE(std::equal(c.bits, c.bits + 48, file.begin() + 54));
}

TEST_F(Dispatch, EveryBuiltInFormatLoadsThroughTheDispatch) {
    test::SampleImage sample(9, 4, 24);
    SaveOptions options;
    options.settings.format = static_cast<int>(SaveFormat::Png);
    options.settings.interlace = true;
    VectorSink sink;
    int error = 0;
    ASSERT_TRUE(FindEncoder(SaveFormat::Png)(sample.image, options, sink, error));
    const std::wstring path = dir_ / L"looks like.bmp";  // the content decides, not the name
    WriteBytes(path, sink.bytes);
    ASSERT_TRUE(LoadImageFile(path));
    EXPECT_EQ(Current().format, ImageFormat::Png);
    EXPECT_EQ(Current().info.interlaced, 1);
    for (int y = 0; y < 4; ++y)  // the pixels, not the row padding
        EXPECT_TRUE(std::equal(sample.image.Row(y), sample.image.Row(y) + 27, Current().bits + 28 * y)) << y;
}

// What the read-ahead thread prepares is what a load on the main thread decodes.
TEST_F(Dispatch, PreparedPictureEqualsANormalLoad) {
    const struct {
        SaveFormat format;
        int bits;
    } cases[] = {{SaveFormat::Bmp, 24}, {SaveFormat::Png, 24}, {SaveFormat::Jpeg, 24}, {SaveFormat::Tiff, 24},
                 {SaveFormat::Gif, 8}};
    const LoadOptions options = LoadOptions::From(App().settings.read);
    for (const auto& c : cases) {
        test::SampleImage sample(37, 21, c.bits);
        SaveOptions save;
        save.settings.format = static_cast<int>(c.format);
        save.settings.depth = c.bits;
        VectorSink sink;
        int error = 0;
        ASSERT_TRUE(FindEncoder(c.format)(sample.image, save, sink, error)) << int(c.format);
        const std::wstring path = dir_ / (L"sample" + std::to_wstring(int(c.format)));
        WriteBytes(path, sink.bytes);
        ReadAhead({path}, options);
        WaitForReadAhead();
        PreparedPicture prepared;
        ASSERT_TRUE(TakePrepared(path, options, prepared)) << int(c.format);
        Image normal;
        int fileSize = 0;
        ASSERT_TRUE(DecodeFile(DetectFormat(path), path, normal, fileSize));
        const Image& ahead = prepared.result.image;
        EXPECT_EQ(std::memcmp(&ahead.header, &normal.header, sizeof normal.header), 0) << int(c.format);
        EXPECT_EQ(ahead.palette, normal.palette) << int(c.format);
        EXPECT_EQ(ahead.format, normal.format);
        EXPECT_EQ(ahead.fileSize, normal.fileSize);
        EXPECT_EQ(ahead.fileTime, normal.fileTime);
        EXPECT_TRUE(std::equal(ahead.bits, ahead.bits + ahead.PixelBytes(), normal.bits)) << int(c.format);
        DeleteObject(static_cast<HBITMAP>(ahead.bitmap));
        DeleteObject(static_cast<HBITMAP>(normal.bitmap));
    }
    ReadAhead({}, options);
}

TEST_F(Dispatch, LoopingGifHandsItsFramesToTheCurrentImage) {
    const std::vector<uint8_t> pixels(8, 1);
    test::GifBuilder gif;
    gif.Screen(4, 2, 2).Loop(0);
    for (int frame = 0; frame < 3; ++frame) gif.Control(false, 0, 0, 10 + frame).Frame(0, 0, 4, 2, pixels, 0, false, 2);
    WriteBytes(dir_ / L"anim.gif", gif.Trailer().bytes);
    ASSERT_TRUE(LoadImageFile(dir_ / L"anim.gif"));
    const AnimationState& a = Current().animation;
    EXPECT_TRUE(a.active);
    EXPECT_EQ(a.frameCount, 3);
    EXPECT_EQ(a.delays, (std::vector<int>{10, 11, 12}));
    ASSERT_EQ(a.frames.size(), 2u);
    std::vector<HBITMAP> frames = a.frames;
    for (HBITMAP f : frames) EXPECT_EQ(GetObjectType(f), static_cast<DWORD>(OBJ_BITMAP));

    // The next image releases every frame.
    WriteBytes(dir_ / L"still.bmp", SampleBmp(2, 2));
    ASSERT_TRUE(LoadImageFile(dir_ / L"still.bmp"));
    EXPECT_FALSE(Current().animation.active);
    for (HBITMAP f : frames) EXPECT_EQ(GetObjectType(f), 0u);
}

TEST_F(Dispatch, FailedLoadKeepsTheImageAndItsSourceFacts) {
    const std::wstring good = dir_ / L"good.bmp";
    WriteBytes(good, SampleBmp(4, 4));
    ASSERT_TRUE(LoadImageFile(good));
    Current().info = SourceInfo{1, 1, 0, 0};
    HBITMAP before = Current().bitmap;

    WriteBytes(dir_ / L"bad.bmp", {'B', 'M', 1, 2, 3});
    WriteBytes(dir_ / L"empty.png", {});
    WriteBytes(dir_ / L"text.txt", {'h', 'e', 'l', 'l', 'o'});
    for (const wchar_t* name : {L"bad.bmp", L"empty.png", L"text.txt", L"missing.bmp"}) {
        EXPECT_FALSE(LoadImageFile(dir_ / name)) << name;
        EXPECT_EQ(Current().bitmap, before) << name;
        EXPECT_EQ(Current().info, (SourceInfo{1, 1, 0, 0})) << name;
        EXPECT_EQ(Current().path, good) << name;
    }
}

TEST_F(Dispatch, InstallFromAnEditMarksTheImageModified) {
    WriteBytes(dir_ / L"a.bmp", SampleBmp(2, 2));
    ASSERT_TRUE(LoadImageFile(dir_ / L"a.bmp"));
    Image edited;
    int size = 0;
    ASSERT_TRUE(DecodeFile(ImageFormat::Bmp, dir_ / L"a.bmp", edited, size));
    EXPECT_NE(edited.bitmap, Current().bitmap);  // the current image is not touched
    EXPECT_EQ(size, 54 + 16);
    InstallImage(edited, nullptr, InstallKind::FromEdit);
    EXPECT_TRUE(Current().modified);
    EXPECT_EQ(Current().name, L"a.bmp");  // an edit keeps the path
    EXPECT_EQ(Current().bitmap, edited.bitmap);
}

TEST_F(Dispatch, EncoderFailureLeavesTheDestinationUntouched) {
    const std::wstring source = dir_ / L"src.bmp", dest = dir_ / L"dest.bmp";
    WriteBytes(source, SampleBmp(3, 3));
    WriteBytes(dest, {'o', 'l', 'd'});
    ASSERT_TRUE(LoadImageFile(source));
    App().settings.save.depth = 16;  // no such reduction: the encoder fails
    {
        MessageBoxAnswerer answer;
        EXPECT_FALSE(SaveToTempFile());
        EXPECT_EQ(answer.Text(), L"画像の保存に失敗しました。");
    }
    EXPECT_TRUE(Saves().tempFile.empty());
    EXPECT_FALSE(CopyTempTo(dest));
    EXPECT_EQ(ReadBytes(dest), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(Dispatch, SaveGoesThroughATemporaryFileAndRecyclesTheOldDestination) {
    const std::wstring source = dir_ / L"src.bmp";
    WriteBytes(source, SampleBmp(6, 2));
    ASSERT_TRUE(LoadImageFile(source));
    Current().modified = true;
    App().settings.save.depth = 8;
    ASSERT_TRUE(SaveToTempFile());
    const std::wstring temp = Saves().tempFile;
    ASSERT_FALSE(temp.empty());
    const std::wstring tempName = temp.substr(temp.find_last_of(L'\\') + 1);
    EXPECT_EQ(tempName.substr(0, 3), L"tmp");
    EXPECT_EQ(Saves().snapshot.save.depth, 8);

    // A unique name, so the recycled copy can be found again.
    const std::wstring destName = L"dest-" + std::to_wstring(GetTickCount()) + L".bmp";
    const std::wstring dest = dir_ / destName;
    WriteBytes(dest, {'o', 'l', 'd'});
    ASSERT_TRUE(CopyTempTo(dest));
    EXPECT_EQ(ReadBytes(dest), ReadBytes(temp));
    EXPECT_EQ(ReadBytes(dest)[28], 8);  // bit count
    EXPECT_FALSE(Current().modified);

    EXPECT_TRUE(test::RecycleBinHolds(destName));
    EXPECT_FALSE(test::RecycleBinHolds(L"never-" + destName));

    EXPECT_TRUE(DiscardTempFile());
    EXPECT_FALSE(test::PathExists(temp));
}

TEST_F(Dispatch, LosslessSaveTurnsTheSourceFileAndRefusesAChangedOne) {
    test::SampleImage sample(32, 16, 24);
    SaveOptions jpeg;
    jpeg.settings.quality = 90;
    VectorSink sink;
    int error = 0;
    ASSERT_TRUE(FindEncoder(SaveFormat::Jpeg)(sample.image, jpeg, sink, error));
    const std::wstring path = dir_ / L"photo.jpg";
    WriteBytes(path, sink.bytes);
    ASSERT_TRUE(LoadImageFile(path));
    App().settings.save.format = static_cast<int>(SaveFormat::JpegLossless);
    Current().pendingTransform = 1;  // a quarter turn

    ASSERT_TRUE(SaveToTempFile());
    Image turned;
    int size = 0;
    ASSERT_TRUE(DecodeFile(ImageFormat::Jpeg, Saves().tempFile, turned, size));
    EXPECT_EQ(turned.Width(), 16);
    EXPECT_EQ(turned.Height(), 32);
    DeleteObject(static_cast<HBITMAP>(turned.bitmap));

    // The file changed on disk since it was loaded: the save refuses.
    HANDLE f = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME later{};
    GetSystemTimeAsFileTime(&later);
    later.dwHighDateTime += 1;
    SetFileTime(f, nullptr, nullptr, &later);
    CloseHandle(f);
    MessageBoxAnswerer answer;
    EXPECT_FALSE(SaveToTempFile());
    EXPECT_EQ(answer.Text(), L"ファイルが変更されています。\nこのコマンドは実行できません。");
}

TEST_F(Dispatch, SavingOverTheSourceRefreshesItsFacts) {
    const std::wstring path = dir_ / L"self.bmp";
    WriteBytes(path, SampleBmp(4, 4));
    ASSERT_TRUE(LoadImageFile(path));
    App().settings.save.depth = 8;
    ASSERT_TRUE(SaveToTempFile());
    std::wstring upper = path;
    for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
    ASSERT_TRUE(CopyTempTo(upper));
    EXPECT_EQ(Current().fileSize, 1078 + 16);
}

}  // namespace
}  // namespace pelio
