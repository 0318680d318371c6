// The Viewer's toolbar strip, the toolbar tip texts and the navigation window, on windows
// of this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/base/toolbar_support.h"
#include "win/frame/frame_link_setup.h"
#include "win/frame/window_classes.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/viewer/navigation_window.h"
#include "win/viewer/toolbar_strip.h"

namespace pelio {
namespace {

// A plain parent window standing in for the Viewer and Edit windows.
class Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        App().instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        RegisterWindowClasses(App().instance);
        ConnectFrame();  // the strip asks the frame's command rules
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = App().instance;
        wc.lpszClassName = L"PelioTestParent";
        RegisterClassW(&wc);
    }
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"PelioTestParent", L"", WS_POPUP, 100, 120, 640, 480, nullptr, nullptr,
                                  App().instance, nullptr);
        ASSERT_NE(parent_, nullptr);
        ShowWindow(parent_, SW_SHOWNOACTIVATE);
    }
    void TearDown() override {
        ReleaseCurrentImage();
        DestroyWindow(parent_);
    }
    HWND parent_ = nullptr;
};

RECT ButtonRect(HWND toolbar, int id) {
    RECT r{};
    SendMessageW(toolbar, TB_GETITEMRECT, SendMessageW(toolbar, TB_COMMANDTOINDEX, id, 0), reinterpret_cast<LPARAM>(&r));
    return r;
}

bool Hidden(HWND toolbar, int id) { return SendMessageW(toolbar, TB_ISBUTTONHIDDEN, id, 0) != 0; }
bool Enabled(HWND toolbar, int id) { return SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0) != 0; }

TEST_F(Windows, StripHoldsTheButtonsInOrderWithTheFullScreenOnesHidden) {
    HWND strip = CreateToolbarStrip(parent_);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(GetDlgCtrlID(strip), kStripId);
    EXPECT_FALSE(IsWindowVisible(strip));
    HWND toolbar = GetDlgItem(strip, kStripToolbarId);
    ASSERT_NE(toolbar, nullptr);

    const int order[] = {cmd::kOpen, 9901, cmd::kFileList, 9901, cmd::kTurn270, cmd::kTurn90, 9901,
                         cmd::kFit, cmd::kZoom100, cmd::kZoomIn, cmd::kZoomOut, 9901,
                         cmd::kFirstFile, cmd::kPreviousFile, cmd::kNextFile, cmd::kLastFile, 9901,
                         cmd::kSlideshow, 9901, cmd::kEditWindow, 9912, 9911,
                         cmd::kMinimise, cmd::kFullScreen, cmd::kExit};
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(order)));
    for (int i = 0; i < static_cast<int>(std::size(order)); ++i) {
        TBBUTTON b{};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.idCommand, order[i]) << i;
        const bool fullScreenOnly = i >= 20;
        if (order[i] != 9901) {
            EXPECT_EQ(Hidden(toolbar, order[i]), fullScreenOnly) << order[i];
        }
    }

    // Without an image only the buttons that need none are enabled.
    struct State {
        int id;
        bool enabled;
    } states[] = {{cmd::kOpen, true},       {cmd::kFileList, false},  {cmd::kTurn270, false},
                  {cmd::kTurn90, false},    {cmd::kFit, false},       {cmd::kZoom100, false},
                  {cmd::kZoomIn, false},    {cmd::kZoomOut, false},   {cmd::kFirstFile, false},
                  {cmd::kNextFile, false},  {cmd::kSlideshow, false}, {cmd::kEditWindow, true},
                  {cmd::kMinimise, true},   {cmd::kFullScreen, true}, {cmd::kExit, true}};
    for (const State& s : states) EXPECT_EQ(Enabled(toolbar, s.id), s.enabled) << s.id;

    SetToolbarStrip(true);
    EXPECT_TRUE(IsWindowVisible(strip));
    EXPECT_TRUE(ToolbarStripShown());
    ResizeToolbarStrip(500);
    RECT r;
    GetWindowRect(strip, &r);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, -2);
    EXPECT_EQ(r.top, -2);
    EXPECT_EQ(r.right - r.left, 504);
    EXPECT_EQ(r.bottom - r.top, kStripHeight);
    SetToolbarStrip(false);
    EXPECT_FALSE(IsWindowVisible(strip));
}

TEST_F(Windows, FullScreenItemsFillTheMonitorWidth) {
    HWND strip = CreateToolbarStrip(parent_);
    HWND toolbar = GetDlgItem(strip, kStripToolbarId);
    HWND caption = GetDlgItem(toolbar, kStripCaptionId);
    ASSERT_NE(caption, nullptr);
    auto shown = [&] { return (GetWindowLongW(caption, GWL_STYLE) & WS_VISIBLE) != 0; };  // the strip stays up
    EXPECT_FALSE(shown());

    for (int width : {1280, 1920}) {
        SetToolbarStripFullScreen(true, width);
        for (int id : {9912, 9911, cmd::kMinimise, cmd::kFullScreen, cmd::kExit})
            EXPECT_FALSE(Hidden(toolbar, id)) << id;
        const RECT edit = ButtonRect(toolbar, cmd::kEditWindow);
        const RECT wide = ButtonRect(toolbar, 9912), gap = ButtonRect(toolbar, 9911);
        const RECT exit = ButtonRect(toolbar, cmd::kExit);
        // The last three buttons are as wide as the Edit-window one, so exit ends three pixels before the edge.
        EXPECT_EQ(exit.right, width - 3) << width;
        EXPECT_EQ(wide.left, edit.right);
        RECT c;
        GetWindowRect(caption, &c);
        MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&c), 2);
        EXPECT_TRUE(shown());
        EXPECT_EQ(c.left, wide.left);
        EXPECT_EQ(c.top, 4);
        EXPECT_EQ(c.bottom - c.top, 15);
        EXPECT_EQ(c.right - c.left, (wide.right - wide.left) - 1 - (gap.right - gap.left));
    }
    SetToolbarStripCaption(L"a.png  ( 10x10  24bit  0.3KB )");
    wchar_t text[64];
    GetWindowTextW(caption, text, 64);
    EXPECT_STREQ(text, L"a.png  ( 10x10  24bit  0.3KB )");

    SetToolbarStripFullScreen(false, 1280);
    for (int id : {9912, 9911, cmd::kMinimise, cmd::kFullScreen, cmd::kExit}) EXPECT_TRUE(Hidden(toolbar, id)) << id;
    EXPECT_FALSE(shown());
}

TEST_F(Windows, ToolTipsNameTheCommandAndItsKey) {
    App().accelTable = DefaultAccelerators();
    const wchar_t* (*editCaptions)(int) = [](int id) -> const wchar_t* {
        return id == cmd::kEditWindow ? L"メインウィンドウ" : id == cmd::kPaneImage ? L"元の画像(ウィンドウ1)" : nullptr;
    };
    struct Case {
        int id;
        bool edit;
        const wchar_t* want;
    } cases[] = {
        {cmd::kOpen, false, L"開く (Ctrl+O)"},
        {cmd::kTurn90, false, L"90度回転 (Ctrl+→)"},
        {cmd::kZoomIn, false, L"拡大表示 (PageUp)"},
        {cmd::kNextFile, false, L"進む (↓)"},
        {cmd::kSlideshow, false, L"スライドショー"},  // no key
        {cmd::kFullScreen, false, L"通常表示 (Enter)"},
        {cmd::kExit, false, L"終了 (Esc)"},
        {cmd::kEditWindow, false, L"編集ウィンドウ (Tab)"},
        {cmd::kEditWindow, true, L"メインウィンドウ (Tab)"},
        {cmd::kPaneImage, true, L"元の画像(ウィンドウ1) (D)"},
        {cmd::kFit, true, L"画面に合わせて表示"},  // no own caption: the short caption
    };
    for (const Case& c : cases) {
        NMTTDISPINFOW info{};
        info.hdr.code = TTN_GETDISPINFOW;
        info.hdr.idFrom = c.id;
        ASSERT_TRUE(FillToolbarTip(reinterpret_cast<LPARAM>(&info), c.edit ? editCaptions : nullptr));
        EXPECT_STREQ(info.lpszText, c.want) << c.id;
    }
    // A changed key shows at once.
    for (Accel& a : App().accelTable)
        if (a.command == cmd::kOpen) a = Accel{FVIRTKEY | FSHIFT, VK_F5, cmd::kOpen};
    EXPECT_EQ(ToolbarTipText(cmd::kOpen, L"開く"), L"開く (Shift+F5)");
    App().accelTable = DefaultAccelerators();

    NMHDR other{};
    other.code = NM_CLICK;
    EXPECT_FALSE(FillToolbarTip(reinterpret_cast<LPARAM>(&other)));
}

TEST_F(Windows, NavigationWindowShowsTheThumbnailAtTheWindowsCorner) {
    test::TempFolder dir;
    const std::wstring file = dir / L"wide.bmp";
    test::WriteSampleBmp(file, 600, 400, 24);

    HWND nav = CreateNavigationWindow(parent_);
    ASSERT_NE(nav, nullptr);
    ShowNavigation(parent_);
    EXPECT_FALSE(NavigationShown());  // no image yet
    ASSERT_TRUE(LoadImageFile(file));

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        int x, y;
        RECT want;
    } cases[] = {
        {100, 120, {100, 120, 258, 228}},                                     // 150 × 100 + 4 around
        {work.right - 60, 200, {work.right - 158, 200, work.right, 308}},    // kept inside the work area
    };
    for (const Case& c : cases) {
        SetWindowPos(parent_, nullptr, c.x, c.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowNavigation(parent_);
        EXPECT_TRUE(NavigationShown());
        RECT r;
        GetWindowRect(nav, &r);
        EXPECT_EQ(r.left, c.want.left) << c.x;
        EXPECT_EQ(r.top, c.want.top) << c.x;
        EXPECT_EQ(r.right, c.want.right) << c.x;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.x;
        MoveNavigationRect(0, 0, 300, 200);
        MoveNavigationRect(300, 200, 300, 200);
        HideNavigation();
        EXPECT_FALSE(NavigationShown());
    }

    // The thumbnail shows the picture: its top-left pixel matches the image's.
    ShowNavigation(parent_);
    UpdateWindow(nav);
    HDC dc = GetDC(nav);
    RECT client;
    GetClientRect(nav, &client);
    const COLORREF thumbCorner = GetPixel(dc, (client.right - 150) / 2, (client.bottom - 100) / 2);
    ReleaseDC(nav, dc);
    const COLORREF imageCorner = GetPixel(Current().memoryDc, 0, 0);
    EXPECT_NEAR(GetRValue(thumbCorner), GetRValue(imageCorner), 24);
    EXPECT_NEAR(GetGValue(thumbCorner), GetGValue(imageCorner), 24);
    EXPECT_NEAR(GetBValue(thumbCorner), GetBValue(imageCorner), 24);
    // A right click on it takes it away.
    SendMessageW(nav, WM_RBUTTONUP, 0, 0);
    EXPECT_FALSE(NavigationShown());
    DestroyWindow(nav);
}

}  // namespace
}  // namespace pelio
