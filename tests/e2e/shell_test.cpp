// Copy, paste, delete to the recycle bin and the wallpaper, driven from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/image/bmp_codec.h"
#include "core/image/codec.h"
#include "core/image/colour_count.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using test::ReadBytes;
using test::WriteBytes;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr int kWaitMs = 15000;
using e2e::Eventually;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }



// The pixel rows of a BMP file or of a packed clipboard bitmap.
std::vector<uint8_t> RowsOf(const std::vector<uint8_t>& bytes, bool packed) {
    MemoryAllocator allocator;
    Image image;
    DecodeResult result;
    bool ok = packed ? DecodePackedBitmap(bytes, allocator, image)
                     : FindDecoder(ImageFormat::Bmp)(bytes, LoadOptions{}, allocator, result);
    if (!packed) image = result.image;
    std::vector<uint8_t> rows;
    if (ok) rows.assign(image.bits, image.bits + image.PixelBytes());
    if (ok) allocator.Release(image);
    return rows;
}

class Shell : public ::testing::Test {
protected:
    void Start(const std::vector<std::wstring>& names, const std::wstring& first, const std::wstring& awin) {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n" + awin);
        int size = 20;
        for (const std::wstring& name : names) {
            WriteBytes(dir_ / name, test::SampleBmpFile(size, size / 2, 24));
            size += 4;
        }
        pelio_ = e2e::Launch(exe_, L"\"" + (dir_ / first) + L"\"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
        ASSERT_TRUE(Eventually([&] { return Showing(first); }));
    }
    bool Showing(const std::wstring& name) {
        const std::wstring title = e2e::WindowText(viewer_);
        return title.compare(0, name.size() + 2, name + L"  ") == 0;
    }
    // The pixel rows of the current image as the copy command puts them on the clipboard.
    std::vector<uint8_t> CopiedRows() {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        PostMessageW(viewer_, WM_COMMAND, cmd::kCopy, 0);
        std::vector<uint8_t> copied;
        Eventually([&] {
            if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(nullptr)) return false;
            if (HANDLE data = GetClipboardData(CF_DIB)) {
                const auto* p = static_cast<const uint8_t*>(GlobalLock(data));
                copied.assign(p, p + GlobalSize(data));
                GlobalUnlock(data);
            }
            CloseClipboard();
            return !copied.empty();
        });
        return RowsOf(copied, true);
    }
    void Step(int command, const std::wstring& name) {
        PostMessageW(viewer_, WM_COMMAND, command, 0);
        ASSERT_TRUE(Eventually([&] { return Showing(name); })) << Narrow(e2e::WindowText(viewer_));
    }
    void Close() {
        PostMessageW(viewer_, WM_CLOSE, 0, 0);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    }
    test::TempFolder dir_;
    std::wstring exe_;
    e2e::Process pelio_;
    HWND viewer_ = nullptr;
};

TEST_F(Shell, CopyAndPasteThroughTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp"}, L"a.bmp", L""));
    EXPECT_EQ(CopiedRows(), RowsOf(ReadBytes(dir_ / L"a.bmp"), false));

    // A different picture on the clipboard comes back as "clip".
    test::SampleImage other(9, 7, 24, 5);
    const std::vector<uint8_t> packed = PackBitmap(other.image);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, packed.size());
    std::memcpy(GlobalLock(memory), packed.data(), packed.size());
    GlobalUnlock(memory);
    SetClipboardData(CF_DIB, memory);
    CloseClipboard();
    PostMessageW(viewer_, WM_COMMAND, cmd::kPaste, 0);
    EXPECT_TRUE(Eventually([&] { return Showing(L"clip"); })) << Narrow(e2e::WindowText(viewer_));
    EXPECT_NE(e2e::WindowText(viewer_).find(L"9x7"), std::wstring::npos);

    // Only text on the clipboard: nothing happens.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 8);
    std::memcpy(GlobalLock(text), "text", 5);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    PostMessageW(viewer_, WM_COMMAND, cmd::kPaste, 0);
    Sleep(500);
    EXPECT_TRUE(Showing(L"clip"));
    Close();
}

// Deleting shows the entry that moved into the place, after the last the first, and with
// the last file gone no image at all.
TEST_F(Shell, DeleteWalksTheListAndFillsTheRecycleBin) {
    const std::wstring tag = std::to_wstring(GetTickCount());
    const std::wstring a = L"a" + tag + L".bmp", b = L"b" + tag + L".bmp", c = L"c" + tag + L".bmp";
    ASSERT_NO_FATAL_FAILURE(Start({a, b, c}, b, L"NoRecycMsg=1\r\n"));
    PostMessageW(viewer_, WM_COMMAND, cmd::kDelete, 0);
    EXPECT_TRUE(Eventually([&] { return Showing(c); })) << Narrow(e2e::WindowText(viewer_));
    EXPECT_FALSE(test::PathExists(dir_ / b));
    EXPECT_TRUE(Eventually([&] { return test::RecycleBinHolds(b); }));
    PostMessageW(viewer_, WM_COMMAND, cmd::kDelete, 0);
    EXPECT_TRUE(Eventually([&] { return Showing(a); })) << Narrow(e2e::WindowText(viewer_));
    PostMessageW(viewer_, WM_COMMAND, cmd::kDelete, 0);
    EXPECT_TRUE(Eventually([&] { return e2e::WindowText(viewer_) == L"Pelio"; })) << Narrow(e2e::WindowText(viewer_));
    RECT client;
    GetClientRect(viewer_, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    Close();
}

TEST_F(Shell, WallpaperTiledWritesTheDesktopValuesAndTheFile) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp"}, L"a.bmp", L""));
    PostMessageW(viewer_, WM_COMMAND, cmd::kWallpaper, 0);
    e2e::DialogInfo dialog;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"壁紙に設定", kWaitMs, dialog));
    SendMessageW(GetDlgItem(dialog.hwnd, 4410), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(GetDlgItem(dialog.hwnd, 4411), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(GetDlgItem(dialog.hwnd, 4412), BM_SETCHECK, BST_CHECKED, 0);
    e2e::PressButton(dialog.hwnd, IDOK);
    const std::wstring file = dir_ / L"save_wp.bmp";
    ASSERT_TRUE(Eventually([&] { return test::PathExists(file) && Showing(L"a.bmp"); }));
    EXPECT_EQ(RowsOf(ReadBytes(file), false), RowsOf(ReadBytes(dir_ / L"a.bmp"), false));
    auto value = [](const wchar_t* name) {
        wchar_t text[16] = L"";
        DWORD size = sizeof text;
        RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, text, &size);
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"TileWallpaper"), L"1");
    EXPECT_EQ(value(L"WallpaperStyle"), L"0");
    Close();
}

TEST_F(Shell, ColourCountAndLuminanceHistogram) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp"}, L"a.bmp", L""));
    MemoryAllocator allocator;
    DecodeResult decoded;
    const std::vector<uint8_t> file = ReadBytes(dir_ / L"a.bmp");
    ASSERT_TRUE(FindDecoder(ImageFormat::Bmp)(file, LoadOptions{}, allocator, decoded));
    const uint32_t colours = CountImageColours(decoded.image);
    allocator.Release(decoded.image);

    PostMessageW(viewer_, WM_COMMAND, cmd::kColourCount, 0);
    e2e::DialogInfo box;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"a.bmp", kWaitMs, box));
    EXPECT_EQ(box.text, L"使用色数 = " + std::to_wstring(colours));
    e2e::PressButton(box.hwnd, IDOK);

    PostMessageW(viewer_, WM_COMMAND, cmd::kHistogram, 0);
    e2e::DialogInfo histogram;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"ヒストグラム(輝度)", kWaitMs, histogram));
    EXPECT_TRUE(Eventually([&] { return GetDlgItem(histogram.hwnd, 1470) && GetDlgItem(histogram.hwnd, 1471); }));
    e2e::PressButton(histogram.hwnd, IDOK);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(histogram.hwnd); }));
    Close();
}

// Neighbours are decoded ahead while a picture is shown; a file changed or deleted since is
// loaded as usual, and quick steps back and forth end on the right picture.
TEST_F(Shell, SteppingThroughTheFolderShowsEachFileAsItIsNow) {
    ASSERT_NO_FATAL_FAILURE(Start({L"a.bmp", L"b.bmp", L"c.bmp", L"d.bmp"}, L"a.bmp", L""));
    ASSERT_NO_FATAL_FAILURE(Step(cmd::kNextFile, L"b.bmp"));
    Sleep(500);  // c.bmp read ahead meanwhile
    WriteBytes(dir_ / L"c.bmp", test::SampleBmpFile(40, 30, 24));
    ASSERT_NO_FATAL_FAILURE(Step(cmd::kNextFile, L"c.bmp"));
    EXPECT_NE(e2e::WindowText(viewer_).find(L"40x30"), std::wstring::npos) << Narrow(e2e::WindowText(viewer_));
    EXPECT_EQ(CopiedRows(), RowsOf(ReadBytes(dir_ / L"c.bmp"), false));

    Sleep(500);  // d.bmp read ahead meanwhile
    ASSERT_TRUE(DeleteFileW((dir_ / L"d.bmp").c_str()));
    PostMessageW(viewer_, WM_COMMAND, cmd::kNextFile, 0);
    e2e::DialogInfo error;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, error));
    EXPECT_EQ(error.text, L"画像の表示に失敗しました。");
    e2e::PressButton(error.hwnd, IDOK);
    HWND list = nullptr;  // in the Viewer's or the Edit window's list window
    for (HWND owner = nullptr; !list && (owner = FindWindowExW(nullptr, owner, L"Pelio_list_class", nullptr));)
        list = FindWindowExW(owner, nullptr, L"ListBox", nullptr);
    EXPECT_TRUE(Eventually([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 3; }));

    for (int command : {cmd::kPreviousFile, cmd::kNextFile, cmd::kPreviousFile, cmd::kPreviousFile,
                        cmd::kNextFile, cmd::kFirstFile, cmd::kNextFile})
        PostMessageW(viewer_, WM_COMMAND, command, 0);
    ASSERT_TRUE(Eventually([&] { return Showing(L"b.bmp"); })) << Narrow(e2e::WindowText(viewer_));
    Sleep(300);
    EXPECT_TRUE(Showing(L"b.bmp"));
    EXPECT_EQ(CopiedRows(), RowsOf(ReadBytes(dir_ / L"b.bmp"), false));
    Close();
}

}  // namespace
}  // namespace pelio
