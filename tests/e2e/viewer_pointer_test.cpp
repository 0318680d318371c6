// The Viewer window under the pointer: the toolbar strip at the top edge with its tips, right
// drags with the navigation window, and the artwork the program carries.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr int kWaitMs = 15000;

using e2e::Eventually;

void WriteSampleBmp(const std::wstring& path, int w, int h) { test::WriteSampleBmp(path, w, h, 24); }

// A pointer move the way the mouse makes one: the window under it gets WM_MOUSEMOVE.
void PointerTo(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (p.x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (p.y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Sleep(60);
}

void Button(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    Sleep(60);
}

void RightButton(bool down) { Button(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP); }

void PressAndRelease(BYTE key) {
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    Sleep(60);
}

POINT ClientPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

struct WindowSearch {
    const wchar_t* cls;
    DWORD pid;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    wchar_t name[64];
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner != s->pid || !IsWindowVisible(h) || !GetClassNameW(h, name, 64) || lstrcmpiW(name, s->cls)) return TRUE;
    if (s->text && e2e::WindowText(h) != s->text) return TRUE;
    s->found = h;
    return FALSE;
}

// The visible top-level window of `cls` and `pid` whose text is `text` (any text when null).
HWND VisibleWindow(const wchar_t* cls, DWORD pid, const wchar_t* text) {
    WindowSearch s{cls, pid, text, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

class Pointer : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n");
    }
    HWND Start(const std::wstring& file, const wchar_t* titleStart) {
        pelio_ = e2e::Launch(exe_, L"\"" + file + L"\"");
        HWND viewer = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        if (!viewer) return nullptr;
        const std::wstring prefix = titleStart;
        Eventually([&] { return e2e::WindowText(viewer).compare(0, prefix.size(), prefix) == 0; });
        return viewer;
    }
    void Close(HWND viewer) {
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    }
    test::TempFolder dir_;
    std::wstring exe_;
    e2e::Process pelio_;
};

TEST_F(Pointer, StripDropsAtTheTopEdgeAndGoesAwayBelowIt) {
    WriteSampleBmp(dir_ / L"card.bmp", 320, 240);
    HWND viewer = Start(dir_ / L"card.bmp", L"card.bmp");
    ASSERT_NE(viewer, nullptr);
    HWND strip = FindWindowExW(viewer, nullptr, L"Pelio_vbar_class", nullptr);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(GetDlgCtrlID(strip), 1003);
    EXPECT_FALSE(IsWindowVisible(strip));

    PointerTo(ClientPoint(viewer, 100, 120));
    PointerTo(ClientPoint(viewer, 100, 4));
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(strip) != FALSE; }));
    HWND toolbar = GetDlgItem(strip, 1004);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 25);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, cmd::kZoomIn, 0));  // an image is shown
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONHIDDEN, cmd::kExit, 0));  // full screen only

    // Every button (not the separators and spacers) has its tool tip; the texts themselves
    // are checked where the strip is built (tests/win).
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 17);

    // Back on the picture the strip goes away.
    PointerTo(ClientPoint(viewer, 100, 150));
    PointerTo(ClientPoint(viewer, 101, 151));
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(strip); }));

    // Switched off, the top edge does nothing.
    PostMessageW(viewer, WM_COMMAND, cmd::kToolbarStrip, 0);
    Sleep(200);
    PointerTo(ClientPoint(viewer, 120, 3));
    PointerTo(ClientPoint(viewer, 121, 3));
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(strip));

    // Switched on again, but a window only 40 pixels high keeps it up.
    PostMessageW(viewer, WM_COMMAND, cmd::kToolbarStrip, 0);
    const std::wstring flat = dir_ / L"flat.bmp";
    WriteSampleBmp(flat, 320, 40);
    e2e::SendCopyData(viewer, 0, &flat);
    ASSERT_TRUE(Eventually([&] {
        RECT c;
        GetClientRect(viewer, &c);
        return c.bottom == 40;
    }));
    PointerTo(ClientPoint(viewer, 100, 30));
    PointerTo(ClientPoint(viewer, 100, 3));
    PointerTo(ClientPoint(viewer, 101, 3));
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(strip));
    Close(viewer);
}

TEST_F(Pointer, RightDragPansWithTheNavigationWindowAndAClickOpensTheMenu) {
    WriteSampleBmp(dir_ / L"large.bmp", 1600, 1200);
    HWND viewer = Start(dir_ / L"large.bmp", L"large.bmp");
    ASSERT_NE(viewer, nullptr);
    PostMessageW(viewer, WM_COMMAND, cmd::kZoom100, 0);  // larger than the screen
    ASSERT_TRUE(Eventually([&] {
        RECT c;
        GetClientRect(viewer, &c);
        return c.right > 600 && c.bottom > 600;
    }));
    Sleep(200);

    PointerTo(ClientPoint(viewer, 400, 400));
    RightButton(true);
    for (int i = 1; i <= 5; ++i) PointerTo(ClientPoint(viewer, 400 + 12 * i, 400 + 8 * i));
    HWND nav = nullptr;
    ASSERT_TRUE(Eventually([&] { return (nav = VisibleWindow(L"Pelio_navi_class", pelio_.Id(), nullptr)) != nullptr; }));
    RECT navRect, viewerRect, work;
    GetWindowRect(nav, &navRect);
    GetWindowRect(viewer, &viewerRect);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(navRect.right - navRect.left, 158);  // 150 × 112 and 4 pixels around
    EXPECT_EQ(navRect.bottom - navRect.top, 120);
    EXPECT_EQ(navRect.left, std::min<LONG>(viewerRect.left, work.right - 158));
    EXPECT_EQ(navRect.top, std::max<LONG>(viewerRect.top, 0));
    // Commands wait while the button is held.
    PostMessageW(viewer, WM_COMMAND, cmd::kFit, 0);
    Sleep(200);
    RECT during;
    GetClientRect(viewer, &during);
    EXPECT_GT(during.right, 600);
    RightButton(false);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(nav); }));
    EXPECT_EQ(VisibleWindow(L"#32768", pelio_.Id(), nullptr), nullptr);  // no menu after a drag

    // A right click without moving opens the context menu.
    RightButton(true);
    RightButton(false);
    EXPECT_TRUE(Eventually([&] { return VisibleWindow(L"#32768", pelio_.Id(), nullptr) != nullptr; }));
    PressAndRelease(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return VisibleWindow(L"#32768", pelio_.Id(), nullptr) == nullptr; }));
    Close(viewer);
}

TEST_F(Pointer, AltOpensTheMenuOnceAndAboutShowsTheVersion) {
    WriteSampleBmp(dir_ / L"small.bmp", 200, 150);
    HWND viewer = Start(dir_ / L"small.bmp", L"small.bmp");
    ASSERT_NE(viewer, nullptr);
    PointerTo(ClientPoint(viewer, 100, 100));
    auto menuOpen = [&] { return VisibleWindow(L"#32768", pelio_.Id(), nullptr) != nullptr; };
    PressAndRelease(VK_MENU);
    EXPECT_TRUE(Eventually(menuOpen));
    PressAndRelease(VK_MENU);  // closes it; this release must not open it again
    EXPECT_TRUE(Eventually([&] { return !menuOpen(); }));
    Sleep(300);
    EXPECT_FALSE(menuOpen());
    PressAndRelease(VK_MENU);
    EXPECT_TRUE(Eventually(menuOpen));
    PressAndRelease(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return !menuOpen(); }));

    PostMessageW(viewer, WM_COMMAND, cmd::kAbout, 0);
    e2e::DialogInfo about;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"バージョン情報", kWaitMs, about));
    wchar_t name[32] = L"", version[64] = L"";
    GetDlgItemTextW(about.hwnd, 4902, name, 32);
    GetDlgItemTextW(about.hwnd, 4903, version, 64);
    EXPECT_STREQ(name, L"Pelio");
    EXPECT_STREQ(version, L"バージョン " PELIO_VERSION_TEXT);  // the project's version, through the resource
    EXPECT_NE(GetDlgItem(about.hwnd, 4904), nullptr);  // the link
    e2e::PressButton(about.hwnd, IDOK);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(about.hwnd); }));
    Close(viewer);
}

TEST_F(Pointer, BothButtonsRunTheChordAction) {
    test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\nLRClick=9\r\n");  // any other value: exit
    WriteSampleBmp(dir_ / L"small.bmp", 200, 150);
    HWND viewer = Start(dir_ / L"small.bmp", L"small.bmp");
    ASSERT_NE(viewer, nullptr);
    PointerTo(ClientPoint(viewer, 100, 100));
    Button(MOUSEEVENTF_RIGHTDOWN);
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    Button(MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(VisibleWindow(L"#32768", pelio_.Id(), nullptr), nullptr);
}

// Cursor resources: id, hot spot.
struct CursorArt {
    int id, hotX, hotY;
};
constexpr CursorArt kCursors[] = {
    {110, 15, 15}, {111, 15, 15}, {112, 15, 15}, {113, 15, 15}, {114, 15, 15}, {115, 15, 15}, {116, 15, 15},
    {117, 15, 15}, {118, 15, 15}, {119, 15, 15}, {120, 15, 15}, {121, 15, 15}, {122, 15, 15}, {123, 15, 15},
    {124, 15, 15}, {130, 1, 30},   {131, 15, 15}, {132, 15, 15}, {133, 14, 15}, {140, 15, 15}, {141, 14, 15},
};

std::vector<uint8_t> BitmapBits(HBITMAP bitmap, int w, int h) {
    std::vector<uint8_t> bits(static_cast<size_t>(w) * h * 4);
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, h, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return bits;
}

TEST(Artwork, CursorsAndToolbarImagesLoadFromTheProgram) {
    HMODULE exe = LoadLibraryExW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    std::set<std::vector<uint8_t>> panShapes;
    for (const CursorArt& c : kCursors) {
        HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(exe, MAKEINTRESOURCEW(c.id), IMAGE_CURSOR, 32, 32, 0));
        ASSERT_NE(cursor, nullptr) << c.id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << c.id;
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(static_cast<int>(info.xHotspot), c.hotX) << c.id;
        EXPECT_EQ(static_cast<int>(info.yHotspot), c.hotY) << c.id;
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32) << c.id;
        EXPECT_EQ(mask.bmHeight, info.hbmColor ? 32 : 64) << c.id;  // colour and mask planes stacked
        if (c.id <= 124) panShapes.insert(BitmapBits(info.hbmMask, mask.bmWidth, mask.bmHeight));
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyCursor(cursor);
    }
    EXPECT_EQ(panShapes.size(), 15u);  // every panning cursor shows its own set of arrows

    struct Strip {
        int id, width;
    } strips[] = {{150, 25 * 16}, {151, 16 * 16}};
    for (const Strip& s : strips) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(exe, MAKEINTRESOURCEW(s.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << s.id;
        BITMAP bm{};
        GetObjectW(bitmap, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, s.width) << s.id;
        EXPECT_EQ(bm.bmHeight, 16) << s.id;
        EXPECT_EQ(bm.bmBitsPixel, 24) << s.id;
        // The top-left pixel of the first image is the mask colour.
        const std::vector<uint8_t> bits = BitmapBits(bitmap, bm.bmWidth, bm.bmHeight);
        EXPECT_EQ(bits[0], 255) << s.id;  // blue
        EXPECT_EQ(bits[1], 0) << s.id;    // green
        EXPECT_EQ(bits[2], 255) << s.id;  // red
        DeleteObject(bitmap);
    }
    FreeLibrary(exe);
}

}  // namespace
}  // namespace pelio
