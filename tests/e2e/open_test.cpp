// Opening image files in a running Pelio: command line and hand-over.
#include <gtest/gtest.h>

#include <windows.h>

#include <webp/encode.h>

#include <string>
#include <thread>
#include <vector>

#include "core/commands/command_ids.h"
#include "tests/support/sample_image.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr int kWaitMs = 15000;

using e2e::Eventually;
using test::WriteSampleBmp;

class Opening : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nDual=1\r\nMouseInfo=0\r\n");
    }
    test::TempFolder dir_;
    std::wstring exe_;
};

TEST_F(Opening, FileOnTheCommandLineAndHandedOverShowsItsCaption) {
    const std::wstring first = dir_ / L"first.bmp", second = dir_ / L"second picture.bmp";
    WriteSampleBmp(first, 120, 80, 24);
    WriteSampleBmp(second, 33, 17, 8);

    e2e::Process pelio = e2e::Launch(exe_, L"\"" + first + L"\"");
    HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    const std::wstring firstCaption = L"first.bmp  ( 120x80  24bit  28.1KB )";
    EXPECT_TRUE(Eventually([&] { return e2e::WindowText(viewer) == firstCaption; }))
        << "title: " << std::string(e2e::WindowText(viewer).begin(), e2e::WindowText(viewer).end());
    RECT client;
    GetClientRect(viewer, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 80);

    // Zoom commands resize the window around the image: a step in, a preset, 100 %.
    auto clientSize = [&] {
        RECT r;
        GetClientRect(viewer, &r);
        return std::make_pair(static_cast<int>(r.right), static_cast<int>(r.bottom));
    };
    PostMessageW(viewer, WM_COMMAND, cmd::kZoomIn, 0);
    EXPECT_TRUE(Eventually([&] { return clientSize() == std::make_pair(240, 160); }));
    PostMessageW(viewer, WM_COMMAND, cmd::kZoomPreset25, 0);  // 30 × 20, the window kept wide enough
    EXPECT_TRUE(Eventually([&] { return clientSize().second == 20; }));
    PostMessageW(viewer, WM_COMMAND, cmd::kZoom100, 0);
    EXPECT_TRUE(Eventually([&] { return clientSize() == std::make_pair(120, 80); }));

    // The title bar goes, the client area stays; the choice is stored at exit.
    PostMessageW(viewer, WM_COMMAND, cmd::kTitleBar, 0);
    EXPECT_TRUE(Eventually([&] { return (GetWindowLongW(viewer, GWL_STYLE) & WS_CAPTION) == 0; }));
    EXPECT_TRUE(Eventually([&] { return clientSize() == std::make_pair(120, 80); }));
    PostMessageW(viewer, WM_COMMAND, cmd::kBackgroundDarkGrey, 0);

    // A second start hands its file over; the first instance shows it.
    e2e::Process again = e2e::Launch(exe_, L"\"" + second + L"\"");
    EXPECT_EQ(again.WaitExit(kWaitMs), 0u);
    const std::wstring secondCaption = L"second picture.bmp  ( 33x17  8bit  1.6KB )";
    EXPECT_TRUE(Eventually([&] { return e2e::WindowText(viewer) == secondCaption; }));

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
    const std::wstring ini = test::ReadTextFile(dir_ / L"Pelio.ini");
    EXPECT_NE(ini.find(L"CapBar=0"), std::wstring::npos);
    EXPECT_NE(ini.find(L"BgColor=3"), std::wstring::npos);
}

// A WebP handed over opens through the plug-in of the plug-in folder, its caption showing
// what the plug-in reported; with no plug-in folder the same file fails with the message.
TEST_F(Opening, WebpHandedOverOpensThroughThePlugin) {
    const std::wstring plugins = dir_ / L"plugins";
    CreateDirectoryW(plugins.c_str(), nullptr);
    const std::wstring built = e2e::WindowsPathOf(PELIO_WEBP_PLUGIN);
    ASSERT_TRUE(CopyFileW(built.c_str(), (plugins + built.substr(built.find_last_of(L'\\'))).c_str(), FALSE));
    const std::vector<uint8_t> rgb(3 * 2 * 3, 200);
    uint8_t* encoded = nullptr;
    const size_t size = WebPEncodeLosslessRGB(rgb.data(), 3, 2, 9, &encoded);
    ASSERT_GT(size, 0u);
    const std::wstring picture = dir_ / L"small.webp";
    test::WriteBytes(picture, std::vector<uint8_t>(encoded, encoded + size));
    WebPFree(encoded);

    for (bool withFolder : {true, false}) {
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n[Path]\r\nSPI=" +
                                                     (withFolder ? plugins : std::wstring()) + L"\r\n");
        e2e::Process pelio = e2e::Launch(exe_, L"");
        HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
        ASSERT_NE(viewer, nullptr);
        // The hand-over waits while a failure's message is shown: sent from a thread of its own.
        std::thread handover([&] { e2e::SendCopyData(viewer, 0, &picture); });
        if (withFolder) {
            const std::wstring caption = L"small.webp  ( 3x2  24bit  0." + std::to_wstring(size * 10 / 1024) + L"KB )";
            EXPECT_TRUE(Eventually([&] { return e2e::WindowText(viewer) == caption; }))
                << std::string(e2e::WindowText(viewer).begin(), e2e::WindowText(viewer).end());
        } else {
            e2e::DialogInfo info;
            ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), L"Error", kWaitMs, info));
            EXPECT_EQ(info.text, L"画像の表示に失敗しました。");
            e2e::PressButton(info.hwnd, IDOK);
        }
        handover.join();
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
    }
}

TEST_F(Opening, FolderListListsEachImageNameOnce) {
    WriteSampleBmp(dir_ / L"start.bmp", 8, 8, 24);
    for (const wchar_t* name : {L"a.jpeg", L"b.jpe", L"c.JPG", L"photo.PNG", L"x.bmp.txt", L"notes.txt"})
        test::WriteTextFile(dir_ / name, L"listed by name only");
    CreateDirectoryW((dir_ / L"folder.bmp").c_str(), nullptr);

    e2e::Process pelio = e2e::Launch(exe_, L"\"" + (dir_ / L"start.bmp") + L"\"");
    HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Eventually([&] {
        const std::wstring title = e2e::WindowText(viewer);
        return title.size() > 9 && title.compare(0, 9, L"start.bmp") == 0;
    }));
    PostMessageW(viewer, WM_COMMAND, cmd::kFileList, 0);
    HWND list = nullptr;
    ASSERT_TRUE(Eventually([&] {
        list = e2e::FindTopWindow(L"Pelio_list_class", pelio.Id());
        return list && IsWindowVisible(list);
    }));
    EXPECT_EQ(e2e::WindowText(list), L"ファイルリスト");
    HWND box = GetDlgItem(list, 1010);
    ASSERT_NE(box, nullptr);
    std::vector<std::wstring> names;
    const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = L"";
        SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    const wchar_t* const expected[] = {L"a.jpeg", L"b.jpe", L"c.JPG", L"photo.PNG", L"start.bmp"};
    ASSERT_EQ(names.size(), std::size(expected));
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], expected[i]) << i;
    EXPECT_EQ(SendMessageW(box, LB_GETCURSEL, 0, 0), 4);  // the current file is selected

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
}

TEST_F(Opening, CtrlDragZoomsIntoTheSelectedArea) {
    WriteSampleBmp(dir_ / L"area.bmp", 120, 80, 24);
    e2e::Process pelio = e2e::Launch(exe_, L"\"" + (dir_ / L"area.bmp") + L"\"");
    HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    auto clientWidth = [&] {
        RECT r;
        GetClientRect(viewer, &r);
        return static_cast<int>(r.right);
    };
    ASSERT_TRUE(Eventually([&] { return clientWidth() == 120; }));
    auto drag = [&](int x0, int y0, int x1, int y1) {
        PostMessageW(viewer, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(x0, y0));
        PostMessageW(viewer, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(x1, y1));
        PostMessageW(viewer, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(x1, y1));
    };
    drag(10, 10, 18, 60);  // 8 pixels wide: nothing happens
    Sleep(300);
    EXPECT_EQ(clientWidth(), 120);
    drag(10, 10, 70, 50);
    EXPECT_TRUE(Eventually([&] { return clientWidth() > 120; }));
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
}

TEST_F(Opening, DoubleClickRunsTheConfiguredAction) {
    test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\nDClick=9\r\n");  // any other value: exit
    e2e::Process pelio = e2e::Launch(exe_, L"");
    HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(viewer) != FALSE; }));
    PostMessageW(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
    EXPECT_NE(test::ReadTextFile(dir_ / L"Pelio.ini").find(L"DClick=9"), std::wstring::npos);
}

TEST_F(Opening, BrowsingTheFolderWithTheKeysOfTheList) {
    for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp"}) WriteSampleBmp(dir_ / name, 20, 10, 24);
    test::WriteTextFile(dir_ / L"d.bmp", L"not really a bitmap");  // listed, but fails to load
    test::WriteTextFile(dir_ / L"x.bmp.txt", L"not listed");
    const std::wstring tail = L"  ( 20x10  24bit  0.6KB )";

    e2e::Process pelio = e2e::Launch(exe_, L"\"" + (dir_ / L"b.bmp") + L"\"");
    HWND viewer = e2e::WaitForWindow(kViewerClass, pelio.Id(), kWaitMs);
    ASSERT_NE(viewer, nullptr);
    auto titleIs = [&](const wchar_t* name) {
        return Eventually([&] { return e2e::WindowText(viewer) == name + tail; });
    };
    ASSERT_TRUE(titleIs(L"b.bmp"));

    PostMessageW(viewer, WM_COMMAND, cmd::kNextFile, 0);
    EXPECT_TRUE(titleIs(L"c.bmp"));
    PostMessageW(viewer, WM_COMMAND, cmd::kNextFile, 0);  // next: d.bmp fails and leaves the list
    e2e::DialogInfo info;
    ASSERT_TRUE(e2e::WaitForDialog(pelio.Id(), L"Error", kWaitMs, info));
    EXPECT_EQ(info.text, L"画像の表示に失敗しました。");
    e2e::PressButton(info.hwnd, IDOK);
    EXPECT_TRUE(titleIs(L"c.bmp"));
    PostMessageW(viewer, WM_COMMAND, cmd::kNextFile, 0);  // c is the last entry now: no move
    PostMessageW(viewer, WM_COMMAND, cmd::kFirstFile, 0);
    EXPECT_TRUE(titleIs(L"a.bmp"));
    PostMessageW(viewer, WM_COMMAND, cmd::kPreviousFile, 0);  // previous at the first entry: no move
    PostMessageW(viewer, WM_COMMAND, cmd::kLastFile, 0);
    EXPECT_TRUE(titleIs(L"c.bmp"));
    PostMessageW(viewer, WM_COMMAND, cmd::kPreviousFile, 0);
    EXPECT_TRUE(titleIs(L"b.bmp"));

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(pelio.WaitExit(kWaitMs), 0u);
    // The accelerator table was stored at exit.
    EXPECT_NE(test::ReadTextFile(dir_ / L"Pelio.ini").find(L"SaveKey="), std::wstring::npos);
}

}  // namespace
}  // namespace pelio
