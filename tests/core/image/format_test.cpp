// Format detection, extensions, codec messages and the open dialog's filters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/image/codec_error.h"
#include "core/image/format.h"
#include "core/image/open_filter.h"

namespace pelio {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> b) { return std::vector<uint8_t>(b.begin(), b.end()); }

TEST(Format, DetectByContent) {
    struct Case {
        const char* what;
        std::vector<uint8_t> head;
        ImageFormat want;
    } cases[] = {
        {"empty", {}, ImageFormat::Empty},
        {"one byte", Bytes({'B'}), ImageFormat::Unknown},
        {"BM", Bytes({'B', 'M'}), ImageFormat::Bmp},
        {"GIF", Bytes({'G', 'I', 'F', '8'}), ImageFormat::Gif},
        {"GIx", Bytes({'G', 'I', 'x'}), ImageFormat::Unknown},
        {"GI only", Bytes({'G', 'I'}), ImageFormat::Empty},
        {"II*", Bytes({'I', 'I', '*', 0}), ImageFormat::Tiff},
        {"II+", Bytes({'I', 'I', '+', 0}), ImageFormat::Unknown},
        {"II only", Bytes({'I', 'I'}), ImageFormat::Empty},
        {"MM.*", Bytes({'M', 'M', 0, '*'}), ImageFormat::Tiff},
        {"MM*.", Bytes({'M', 'M', '*', 0}), ImageFormat::Unknown},
        {"MM three bytes", Bytes({'M', 'M', 0}), ImageFormat::Empty},
        {"PNG", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), ImageFormat::Png},
        {"PNG last byte wrong", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B}), ImageFormat::Unknown},
        {"PNG seven bytes", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}), ImageFormat::Empty},
        {"PNG three bytes", Bytes({0x89, 'P', 'N'}), ImageFormat::Empty},
        {"JPEG", Bytes({0xFF, 0xD8, 0xFF}), ImageFormat::Jpeg},
        {"other", Bytes({'R', 'I', 'F', 'F'}), ImageFormat::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(DetectFormat(c.head), c.want) << c.what;
}

TEST(Format, FromExtension) {
    struct Case {
        const wchar_t* path;
        ImageFormat want;
    } cases[] = {
        {L"a.jpg", ImageFormat::Jpeg},  {L"a.JPE", ImageFormat::Jpeg},  {L"a.Jpeg", ImageFormat::Jpeg},
        {L"a.png", ImageFormat::Png},   {L"a.gif", ImageFormat::Gif},   {L"C:\\x\\a.BMP", ImageFormat::Bmp},
        {L"a.tif", ImageFormat::Tiff},  {L"a.tiff", ImageFormat::Tiff}, {L"a.pic", ImageFormat::Unknown},
        {L"png", ImageFormat::Unknown}, {L"C:\\d.png\\file", ImageFormat::Unknown},
        {L"a.png.txt", ImageFormat::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFromExtension(c.path), c.want) << c.path;
}

TEST(CodecError, MessagesByCode) {
    EXPECT_EQ(CodecErrorMessage(0), nullptr);
    EXPECT_STREQ(CodecErrorMessage(2), L"未対応の形式です。");
    EXPECT_STREQ(CodecErrorMessage(6), L"ファイル情報が不適切です。");
    EXPECT_STREQ(CodecErrorMessage(13), L"ファイル情報が不適切です。(Width,Height/IHDR)");
    EXPECT_STREQ(CodecErrorMessage(24), L"ファイルへの保存に失敗しました。(zlib)");
    EXPECT_EQ(CodecErrorMessage(25), nullptr);
    EXPECT_EQ(CodecErrorMessage(-1), nullptr);
}

TEST(OpenFilter, BuiltInAndPluginEntries) {
    auto plain = OpenDialogFilters({});
    ASSERT_EQ(plain.size(), 7u);
    EXPECT_EQ(plain[0].first, L"イメージ ファイル (*.bmp;*.png;*.jpg;*.tif;*.gif; etc)");
    EXPECT_EQ(plain[0].second, L"*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif");
    EXPECT_EQ(plain[3].second, L"*.jpg;*.jpeg;*.jpe");
    EXPECT_EQ(plain[6].first, L"すべて (*.*)");

    auto withPlugins = OpenDialogFilters({L"*.pic", L"*.mag"});
    ASSERT_EQ(withPlugins.size(), 8u);
    EXPECT_EQ(withPlugins[0].second, L"*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.tif;*.tiff;*.gif;*.pic;*.mag");
    EXPECT_EQ(withPlugins[6].first, L"プラグイン対応 ファイル (*.pic;*.mag)");
    EXPECT_EQ(withPlugins[6].second, L"*.pic;*.mag");

    std::wstring joined = JoinDialogFilters({{L"A", L"*.a"}, {L"B", L"*.b"}});
    EXPECT_EQ(joined, std::wstring(L"A\0*.a\0B\0*.b\0\0", 13));
}

}  // namespace
}  // namespace pelio
