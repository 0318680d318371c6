// The image plug-in host with the test plug-ins: the dispatch, the offset-128 recognition,
// refusals, patterns, the description, non-ANSI paths, and libraries freed every time.
#include <gtest/gtest.h>

#include <windows.h>

#include <webp/decode.h>
#include <webp/encode.h>

#include <string>
#include <vector>

#include "plugins/plugin_abi.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/plugin_host.h"

namespace pelio {
namespace {

using test::WriteBytes;

// A "PTST" picture, after `prefix` bytes of something else.
std::vector<uint8_t> TestPicture(uint32_t width, uint32_t height, uint32_t depth, size_t prefix = 0) {
    std::vector<uint8_t> bytes(prefix, 0xAB);
    for (char c : std::string("PTST")) bytes.push_back(static_cast<uint8_t>(c));
    for (uint32_t v : {width, height, depth})
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return bytes;
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseCurrentImage();
        App().settings = Settings{};
        CreateDirectoryW(folder_.c_str(), nullptr);
        App().settings.path.spi = folder_;
    }
    void TearDown() override {
        ReleaseCurrentImage();
        // Every attempt frees its libraries.
        for (const std::wstring& name : installed_) EXPECT_EQ(GetModuleHandleW(name.c_str()), nullptr) << Narrow(name);
    }

    // Copies the WebP plug-in of this build into the folder.
    void InstallWebp() {
        const std::wstring built = e2e::WindowsPathOf(PELIO_WEBP_PLUGIN);
        const std::wstring file = built.substr(built.find_last_of(L"\\/") + 1);
        ASSERT_TRUE(CopyFileW(built.c_str(), (folder_ + L"\\" + file).c_str(), FALSE));
        installed_.push_back(file);
    }

    // Copies a test plug-in into the folder under `name` with this build's extension.
    void Install(const char* variant, const std::wstring& name) {
        const std::wstring built = e2e::WindowsPathOf(PELIO_TEST_PLUGIN_DIR) + L"\\pelio_test_plugin_" +
                                   std::wstring(variant, variant + strlen(variant)) + L".dll";
        const std::wstring file = name + (sizeof(void*) == 8 ? L".sph" : L".spi");
        ASSERT_TRUE(CopyFileW(built.c_str(), (folder_ + L"\\" + file).c_str(), FALSE)) << variant;
        installed_.push_back(file);
    }

    static std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

    test::TempFolder dir_;
    std::wstring folder_ = dir_ / L"plugins";
    std::vector<std::wstring> installed_;
};

// A 24-bit picture through the dispatch: pixels, format 0, the depth GetPictureInfo claims,
// the file's size; an 8-bit one keeps its palette.
TEST_F(PluginHost, LoadsWhatNoBuiltInDecoderReads) {
    Install("good", L"test");
    const std::wstring path = dir_ / L"picture.pts";
    WriteBytes(path, TestPicture(5, 3, 24));
    ASSERT_TRUE(LoadImageFile(path));
    const CurrentImage& c = Current();
    EXPECT_EQ(c.width, 5);
    EXPECT_EQ(c.height, 3);
    EXPECT_EQ(c.bitCount, 24);
    EXPECT_EQ(c.format, ImageFormat::Unknown);
    EXPECT_EQ(c.sourceBits, 32);
    EXPECT_EQ(c.fileSize, 16);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x) ASSERT_EQ(c.bits[y * 16 + x], uint8_t(x * 7 + y * 13)) << x << "," << y;

    WriteBytes(path, TestPicture(3, 2, 8));
    ASSERT_TRUE(LoadImageFile(path));
    EXPECT_EQ(Current().bitCount, 8);
    EXPECT_EQ(Current().palette[200].blue, 200);
    EXPECT_EQ(Current().palette[200].green, 55);
}

// A file whose header follows 128 other bytes is recognised by the second question and read
// from offset 128; a path outside the ANSI code page reaches the plug-in by its short name.
TEST_F(PluginHost, OffsetAndNonAnsiPaths) {
    Install("good", L"test");
    const std::wstring prefixed = dir_ / L"prefixed.pts";
    WriteBytes(prefixed, TestPicture(4, 4, 24, 128));
    ASSERT_TRUE(LoadImageFile(prefixed));
    EXPECT_EQ(Current().width, 4);

    const std::wstring wide = dir_ / L"\x753B\x50CF\x2713.pts";
    WriteBytes(wide, TestPicture(6, 2, 24));
    ASSERT_TRUE(LoadImageFile(wide));
    EXPECT_EQ(Current().width, 6);
}

TEST_F(PluginHost, RefusalsFailTheAttempt) {
    struct Case {
        const char* variant;  // null: no plug-in
        std::vector<uint8_t> file;
        const char* why;
    } cases[] = {
        {"good", {'n', 'o', 'p', 'e'}, "not recognised"},
        {"not_input", TestPicture(2, 2, 24), "not an input plug-in"},
        {"top_down", TestPicture(2, 2, 24), "top-down bitmap"},
        {"fails", TestPicture(2, 2, 24), "GetPicture error"},
        {nullptr, TestPicture(2, 2, 24), "empty folder"},
    };
    int n = 0;
    for (const Case& c : cases) {
        if (c.variant) Install(c.variant, L"case" + std::to_wstring(n));
        const std::wstring path = dir_ / (L"file" + std::to_wstring(n++) + L".pts");
        WriteBytes(path, c.file);
        EXPECT_FALSE(LoadImageFile(path)) << c.why;
        EXPECT_FALSE(Current().Loaded()) << c.why;
        for (const std::wstring& name : installed_) DeleteFileW((folder_ + L"\\" + name).c_str());
    }
    // Without a plug-in folder, or with a file named as one, nothing is offered.
    Install("good", L"test");
    const std::wstring path = dir_ / L"picture.pts";
    WriteBytes(path, TestPicture(2, 2, 24));
    for (const std::wstring& setting : {std::wstring(), path}) {
        App().settings.path.spi = setting;
        EXPECT_FALSE(LoadImageFile(path));
    }
}

// Patterns of input plug-ins only, the built-in formats' left out; one plug-in described.
TEST_F(PluginHost, PatternsNamesAndDescription) {
    Install("good", L"test");
    Install("not_input", L"other");
    EXPECT_EQ(PluginPatterns(folder_), (std::vector<std::wstring>{L"*.pts", L"*.pt2"}));
    EXPECT_EQ(PluginNames(folder_), (std::vector<std::wstring>{installed_[0]}));
    const PluginDescription d = DescribePluginFile(folder_, installed_[0]);
    EXPECT_EQ(d.patterns, L"*.PTS;*.jpg;*.pt2");
    EXPECT_EQ(d.descriptions, L"Test pictures/More test pictures");
    EXPECT_TRUE(PluginPatterns(dir_ / L"missing").empty());
}

// WebP files open through our plug-in: lossless ones with exactly their pixels, lossy ones
// as libwebp decodes them (rows bottom-up in the picture).
TEST_F(PluginHost, WebpThroughTheDispatch) {
    InstallWebp();
    const int w = 7, h = 5;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 37 + 11);
    for (bool lossless : {true, false}) {
        uint8_t* encoded = nullptr;
        const size_t size = lossless ? WebPEncodeLosslessRGB(rgb.data(), w, h, w * 3, &encoded)
                                     : WebPEncodeRGB(rgb.data(), w, h, w * 3, 90, &encoded);
        ASSERT_GT(size, 0u);
        const std::vector<uint8_t> file(encoded, encoded + size);
        WebPFree(encoded);
        const std::wstring path = dir_ / (lossless ? L"lossless.webp" : L"lossy.webp");
        WriteBytes(path, file);
        int dw = 0, dh = 0;
        uint8_t* decoded = WebPDecodeRGB(file.data(), file.size(), &dw, &dh);
        ASSERT_NE(decoded, nullptr);
        const std::vector<uint8_t> expected(decoded, decoded + size_t(w) * h * 3);
        WebPFree(decoded);
        if (lossless) {
            EXPECT_EQ(expected, rgb);
        }

        ASSERT_TRUE(LoadImageFile(path)) << lossless;
        const CurrentImage& c = Current();
        ASSERT_EQ(c.width, w);
        ASSERT_EQ(c.height, h);
        ASSERT_EQ(c.bitCount, 24);
        EXPECT_EQ(c.format, ImageFormat::Unknown);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < 3; ++k)
                    wrong += c.bits[size_t(h - 1 - y) * 24 + size_t(x) * 3 + size_t(2 - k)] !=
                             expected[(size_t(y) * w + size_t(x)) * 3 + size_t(k)];
        EXPECT_EQ(wrong, 0) << lossless;
    }
}

}  // namespace
}  // namespace pelio
