// The geometric operations of the Edit window driven from outside: each confirmed result,
// saved as BMP, equals the kernel's result for the same parameters.
#include "tests/e2e/edit_fixture.h"

#include "core/ops/resize.h"

namespace pelio {
namespace {

using namespace edit_e2e;


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

    Decoded source = Decode(ReadBytes(picture_));
    Image in;
    in.header.width = 120;
    in.header.height = 80;
    in.header.bitCount = 24;
    in.bits = source.rows.data();
    std::vector<uint8_t> expected(RowStride(150, 24) * 100);
    Image out;
    out.header.width = 150;
    out.header.height = 100;
    out.header.bitCount = 24;
    out.bits = expected.data();
    ASSERT_TRUE(ResizePixels(in, out));
    const Decoded saved = Decode(ReadBytes(dir_ / L"resized.bmp"));
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.rows, expected);
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

}  // namespace
}  // namespace pelio
