// The geometric operations of the Edit window driven from outside: each confirmed result,
// saved as BMP, equals the kernel's result for the same parameters.
#include "tests/e2e/edit_fixture.h"

#include "core/ops/resize.h"
#include "core/ops/rotate.h"
#include "core/ops/trim.h"
#include "core/view/zoom.h"

namespace pelio {
namespace {

using namespace edit_e2e;

// The sample picture of the fixture (120 × 80, 24 bits) as an image over its decoded rows.
struct Source {
    Decoded decoded;
    Image image;
    explicit Source(const std::wstring& path) : decoded(Decode(ReadBytes(path))) {
        image.header.width = decoded.width;
        image.header.height = decoded.height;
        image.header.bitCount = 24;
        image.bits = decoded.rows.data();
    }
};

// A 24-bit picture of its own.
struct Picture {
    std::vector<uint8_t> rows;
    Image image;
    Picture(int w, int h) : rows(RowStride(w, 24) * size_t(h)) {
        image.header.width = w;
        image.header.height = h;
        image.header.bitCount = 24;
        image.bits = rows.data();
    }
};

// A left-button drag on a pane, posted as the mouse would send it.

// A width-only preset keeps the aspect; the result is the resampler's.
TEST_F(EditWindow, ResizeByPreset) {
    test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n[ImgS]\r\nRszP4W=150\r\nRszP4H=0\r\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND bar = OperationBar(cmd::kResize, 1260);
    ASSERT_NE(bar, nullptr);
    HWND list = GetDlgItem(bar, 1260);
    EXPECT_EQ(ControlText(GetDlgItem(bar, 1230)), L"120");
    wchar_t item[32] = L"";
    SendMessageW(list, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"W:150 ");
    SendMessageW(list, CB_SETCURSEL, 4, 0);
    SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1260, CBN_CLOSEUP), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ControlText(GetDlgItem(bar, 1230)), L"150");
    EXPECT_EQ(ControlText(GetDlgItem(bar, 1231)), L"100");
    EXPECT_EQ(SendMessageW(GetDlgItem(bar, 1210), TBM_GETPOS, 0, 0), 125);
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*  ( 150x100  24bit"); }))
        << Narrow(e2e::WindowText(edit_));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"resized.bmp"));

    Source source(picture_);
    Picture resized(150, 100);
    ASSERT_TRUE(ResizePixels(source.image, resized.image));
    EXPECT_EQ(Decode(ReadBytes(dir_ / L"resized.bmp")).rows, resized.rows);
    Close();
}

// "登録" opens the size registration beside the list; OK keeps what was typed, up to 9999.
TEST_F(EditWindow, ResizePresetsRegistered) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND bar = OperationBar(cmd::kResize, 1260);
    ASSERT_NE(bar, nullptr);
    HWND list = GetDlgItem(bar, 1260);
    SendMessageW(list, CB_SETCURSEL, 9, 0);
    PostMessageW(bar, WM_COMMAND, MAKEWPARAM(1260, CBN_CLOSEUP), reinterpret_cast<LPARAM>(list));
    e2e::DialogInfo dialog;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"サイズ登録", kWaitMs, dialog));
    EXPECT_EQ(ControlText(GetDlgItem(dialog.hwnd, 4620)), L"1024");
    EXPECT_EQ(ControlText(GetDlgItem(dialog.hwnd, 4631)), L"");
    RECT box{}, at{};
    GetWindowRect(list, &box);
    GetWindowRect(dialog.hwnd, &at);
    EXPECT_EQ(at.left, box.left);
    EXPECT_EQ(at.top, box.bottom);
    SendMessageW(GetDlgItem(dialog.hwnd, 4627), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12345"));
    SendMessageW(GetDlgItem(dialog.hwnd, 4620), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(GetDlgItem(dialog.hwnd, 4630), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    e2e::PressButton(dialog.hwnd, IDOK);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog.hwnd); }));
    wchar_t item[32] = L"";
    SendMessageW(list, CB_GETLBTEXT, 8, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"W:9999 ");
    SendMessageW(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"-");
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
    PostMessageW(edit_, WM_COMMAND, cmd::kAbortOperation, 0);
    ASSERT_TRUE(Eventually([&] { return !GetDlgItem(GetDlgItem(edit_, 1020), 1025); }));
    Close();
    const std::wstring ini = dir_ / L"Pelio.ini";
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"RszP8W", -1, ini.c_str()), 9999);
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"RszP1W", -1, ini.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"RszP2W", -1, ini.c_str()), 240);
}

// A rubber band drawn on the preview pane selects the pixels under its corners; Confirm cuts
// exactly them.
TEST_F(EditWindow, TrimByMouseDrag) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND bar = OperationBar(cmd::kTrim, 1114);
    ASSERT_NE(bar, nullptr);
    HWND pane = GetDlgItem(edit_, 1001);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(pane); }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bar, 1110)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(GetDlgItem(edit_, 1020), 1022)));  // the view toolbar

    // Where the picture lies on the pane: its zoom from the zoom field, centred.
    RECT client{};
    GetClientRect(pane, &client);
    const int zoom = std::stoi(ControlText(GetDlgItem(GetDlgItem(GetDlgItem(edit_, 1020), 1022), 1041))) * 100;
    const AxisLayout ax = LayoutAxis(120, client.right, zoom, 60), ay = LayoutAxis(80, client.bottom, zoom, 40);
    const POINT from{ImageToClient(10, ax) + 1, ImageToClient(20, ay) + 1}, to{ImageToClient(70, ax) + 1, ImageToClient(59, ay) + 1};
    e2e::PostDrag(pane, from, to);
    const TrimRect expected{ClientToImage(from.x, ax, 120), ClientToImage(from.y, ay, 80), ClientToImage(to.x, ax, 120),
                            ClientToImage(to.y, ay, 80)};
    const int ids[] = {1110, 1111, 1112, 1113};
    const int values[] = {expected.x1, expected.y1, expected.x2, expected.y2};
    // The fields follow every move: wait for the end of the drag.
    Eventually([&] { return ControlText(GetDlgItem(bar, 1112)) == std::to_wstring(expected.x2) &&
                            ControlText(GetDlgItem(bar, 1113)) == std::to_wstring(expected.y2); });
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(bar, 1110)));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ControlText(GetDlgItem(bar, ids[i])), std::to_wstring(values[i])) << i;
    EXPECT_EQ(ControlText(GetDlgItem(bar, 1135)), std::to_wstring(expected.x2 - expected.x1 + 1));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(GetDlgItem(edit_, 1020), 1022)));

    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    const int w = expected.x2 - expected.x1 + 1, h = expected.y2 - expected.y1 + 1;
    const std::wstring title = L"first.bmp*  ( " + std::to_wstring(w) + L"x" + std::to_wstring(h) + L"  24bit";
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, title); })) << Narrow(e2e::WindowText(edit_));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"trimmed.bmp"));
    Source source(picture_);
    Picture cut(w, h);
    ASSERT_TRUE(TrimPixels(source.image, expected, cut.image));
    EXPECT_EQ(Decode(ReadBytes(dir_ / L"trimmed.bmp")).rows, cut.rows);
    Close();
}

// A line drawn on the preview pane that rises 10 pixels over 100 becomes horizontal: 5.7°;
// Confirm gives the enlarged bilinear rotation.
TEST_F(EditWindow, RotateByLineTool) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND bar = OperationBar(cmd::kRotate, 1330);
    ASSERT_NE(bar, nullptr);
    HWND pane = GetDlgItem(edit_, 1001);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(pane); }));
    e2e::PostDrag(pane, {20, 40}, {120, 30});
    ASSERT_TRUE(Eventually([&] { return ControlText(GetDlgItem(bar, 1330)) == L"5.7"; })) << Narrow(ControlText(GetDlgItem(bar, 1330)));
    EXPECT_EQ(SendMessageW(GetDlgItem(bar, 1320), TBM_GETPOS, 0, 0), 57);
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    const RotatedExtent size = RotatedSize(120, 80, 57);
    const std::wstring title = L"first.bmp*  ( " + std::to_wstring(size.width) + L"x" + std::to_wstring(size.height) + L"  24bit";
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, title); })) << Narrow(e2e::WindowText(edit_));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"rotated.bmp"));
    Source source(picture_);
    Picture rotated(size.width, size.height);
    PixelJob job = MakePixelJob(source.image, rotated.image);
    ASSERT_TRUE(RotateFull(job, 57, 0xFFFFFF, size.width, size.height));
    EXPECT_EQ(Decode(ReadBytes(dir_ / L"rotated.bmp")).rows, rotated.rows);
    Close();
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"TurGrid", -1, (dir_ / L"Pelio.ini").c_str()), 1);
}

}  // namespace
}  // namespace pelio
