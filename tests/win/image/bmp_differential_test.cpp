// Our BMP reader against the system's own BMP loading, picture by picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/image/bmp_codec.h"
#include "tests/e2e/e2e_support.h"

namespace pelio {
namespace {

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::vector<uint8_t> bytes(GetFileSize(h, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    return bytes;
}

// The picture as 24-bit bottom-up rows of exactly width × 3 bytes.
std::vector<uint8_t> ToRgbRows(const Image& image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            if (image.BitCount() == 24) {
                out.insert(out.end(), row + 3 * x, row + 3 * x + 3);
            } else {
                const PaletteEntry& p = image.palette[row[x]];
                out.insert(out.end(), {p.blue, p.green, p.red});
            }
        }
    }
    return out;
}

std::vector<uint8_t> SystemRgbRows(const std::wstring& path, int& w, int& h) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return {};
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    w = bm.bmWidth;
    h = bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const size_t stride = RowStride(w, 24);
    std::vector<uint8_t> padded(stride * h);
    HDC dc = GetDC(nullptr);
    int rows = GetDIBits(dc, bitmap, 0, h, padded.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    if (rows != h) return {};
    std::vector<uint8_t> out;
    for (int y = 0; y < h; ++y) out.insert(out.end(), &padded[y * stride], &padded[y * stride] + 3 * w);
    return out;
}

TEST(BmpDifferential, GoodSuiteFilesMatchTheSystemLoader) {
    const std::wstring root = e2e::WindowsPathOf(PELIO_TESTDATA_UNIX_DIR "/bmpsuite/g");
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((root + L"\\*.bmp").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) GTEST_SKIP() << "bmpsuite absent: no test images in ../shared/testdata";
    int compared = 0;
    do {
        const std::wstring path = root + L"\\" + fd.cFileName;
        const std::string name(fd.cFileName, fd.cFileName + wcslen(fd.cFileName));
        std::vector<uint8_t> file = ReadAll(path);
        // Wine's loader misreads the 3-byte palettes of 12-byte (OS/2) headers; the native
        // tests check that those files show exactly the colours of their 40-byte twins.
        if (file.size() > 14 && file[14] == 12) continue;
        MemoryAllocator allocator;
        DecodeResult ours;
        if (!DecodeBmp(file, LoadOptions{}, allocator, ours)) continue;  // refused kinds (RLE, …)
        ImageHolder hold(allocator, ours.image);
        int w = 0, h = 0;
        std::vector<uint8_t> theirs = SystemRgbRows(path, w, h);
        if (theirs.empty()) continue;
        ASSERT_EQ(w, ours.image.Width()) << name;
        ASSERT_EQ(h, ours.image.Height()) << name;
        std::vector<uint8_t> mine = ToRgbRows(ours.image);
        ASSERT_EQ(mine.size(), theirs.size()) << name;
        // The system widens 5- and 6-bit fields by shifting or bit replication, we scale them:
        // less than one 5-bit step apart. Everything else must match exactly.
        const int tolerance = ours.image.sourceBits == 16 ? 7 : 0;
        int worst = 0;
        for (size_t i = 0; i < mine.size(); ++i) worst = std::max(worst, std::abs(mine[i] - theirs[i]));
        EXPECT_LE(worst, tolerance) << name;
        ++compared;
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    EXPECT_GE(compared, 15);
}

}  // namespace
}  // namespace pelio
