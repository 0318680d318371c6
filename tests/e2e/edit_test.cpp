// The Edit window driven from outside: switching, the save panel, the save dialog, the
// saved-result preview and the save-changes question.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <set>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/image/byte_io.h"
#include "core/image/codec.h"
#include "core/image/format.h"
#include "core/ops/filters.h"
#include "core/ops/hls.h"
#include "core/ops/pixel_job.h"
#include "core/ops/tone_tables.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/edit_fixture.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using namespace edit_e2e;

TEST_F(EditWindow, SavesEachFormatThroughTheDialog) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const Decoded source = Decode(ReadBytes(picture_));
    ASSERT_TRUE(source.ok);
    const std::set<std::wstring> temps = TempFiles();

    struct Case { int format; const wchar_t* name; };
    for (const Case& c : {Case{1, L"out.png"}, Case{0, L"out.bmp"}, Case{2, L"out.jpg"}}) {
        ASSERT_NO_FATAL_FAILURE(ChooseFormat(c.format));
        const std::wstring path = dir_ / c.name;
        ASSERT_NO_FATAL_FAILURE(SaveAs(path));
        const std::vector<uint8_t> bytes = ReadBytes(path);
        const Decoded saved = Decode(bytes);
        ASSERT_TRUE(saved.ok) << Narrow(c.name);
        EXPECT_EQ(saved.width, 120);
        EXPECT_EQ(saved.height, 80);
        if (c.format == 2) {
            // The file is exactly what the encoder writes with the default JPEG settings.
            Decoded reference = source;
            Image image;
            image.header.width = 120;
            image.header.height = 80;
            image.header.bitCount = 24;
            image.header.xPelsPerMeter = image.header.yPelsPerMeter = 2835;  // as the source file
            image.bits = reference.rows.data();
            SaveOptions options;
            options.settings.format = 2;
            VectorSink expected;
            int error = 0;
            ASSERT_TRUE(FindEncoder(SaveFormat::Jpeg)(image, options, expected, error));
            EXPECT_EQ(bytes, expected.bytes);
        } else {
            EXPECT_EQ(saved.rows, source.rows) << Narrow(c.name);
        }
    }
    EXPECT_EQ(TempFiles(), temps);  // plain saves delete their temporary files
    Close();
}

TEST_F(EditWindow, PreviewFileIsReusedUntilASettingChanges) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(1));
    const std::set<std::wstring> before = TempFiles();
    PostMessageW(edit_, WM_COMMAND, cmd::kSavePreview, 0);
    ASSERT_TRUE(Eventually([&] { return e2e::WindowText(edit_).find(L" .... ") != std::wstring::npos; }));
    std::vector<std::wstring> added;
    for (const std::wstring& f : TempFiles())
        if (!before.count(f)) added.push_back(f);
    ASSERT_EQ(added.size(), 1u);
    const std::wstring temp = added[0];
    const std::vector<uint8_t> previewBytes = ReadBytes(temp);
    const int64_t size = static_cast<int64_t>(previewBytes.size());
    const std::wstring kb = std::to_wstring(size / 1024) + L"." + std::to_wstring((size % 1024) * 10 / 1024) + L"KB";
    EXPECT_EQ(e2e::WindowText(edit_), L"first.bmp  ( 120x80  24bit  28.1KB )   .... " + kb);

    // Twice with unchanged settings: both copies are the preview's own file, which stays.
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"a.png"));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"b.png"));
    EXPECT_EQ(ReadBytes(dir_ / L"a.png"), previewBytes);
    EXPECT_EQ(ReadBytes(dir_ / L"b.png"), previewBytes);
    EXPECT_TRUE(test::PathExists(temp));

    // Interlace on: the save encodes again and the old preview goes with its file.
    PostMessageW(edit_, WM_COMMAND, cmd::kInterlace, 0);
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"c.png"));
    EXPECT_NE(ReadBytes(dir_ / L"c.png"), previewBytes);
    EXPECT_FALSE(test::PathExists(temp));
    EXPECT_EQ(TempFiles(), before);
    EXPECT_EQ(e2e::WindowText(edit_).find(L" .... "), std::wstring::npos);

    // Overwriting: the previous file goes to the recycle bin.
    const std::wstring unique = L"recycled-" + std::to_wstring(GetTickCount()) + L".png";
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / unique));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / unique, true));
    EXPECT_TRUE(Eventually([&] { return test::RecycleBinHolds(unique); }));
    Close();
}

TEST_F(EditWindow, NavigatingAwayFromAModifiedImageAsksFirst) {
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(edit_, WM_COMMAND, cmd::kTurn90, 0);  // a quarter turn: 80 × 120, modified
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*  ( 80x120"); }))
        << Narrow(e2e::WindowText(edit_));

    PostMessageW(edit_, WM_COMMAND, cmd::kNextFile, 0);
    e2e::DialogInfo question;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Pelio", kWaitMs, question));
    EXPECT_EQ(question.text, L"first.bmp への変更を保存しますか?");
    e2e::PressButton(question.hwnd, IDCANCEL);
    Sleep(300);
    EXPECT_TRUE(StartsWith(edit_, L"first.bmp*"));

    PostMessageW(edit_, WM_COMMAND, cmd::kNextFile, 0);
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Pelio", kWaitMs, question));
    e2e::PressButton(question.hwnd, IDNO);
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"second.bmp  ( 40x30"); }))
        << Narrow(e2e::WindowText(edit_));

    // Tab again: back to the Viewer window with the same image.
    PostMessageW(edit_, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(viewer_) && !IsWindowVisible(edit_); }));
    EXPECT_TRUE(Eventually([&] { return StartsWith(viewer_, L"second.bmp  ( 40x30"); }))
        << Narrow(e2e::WindowText(viewer_));
    Close();
}

// Open in the Edit window shows the chosen file there.
TEST_F(EditWindow, OpenShowsTheChosenFile) {
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(edit_, WM_COMMAND, cmd::kOpen, 0);
    ASSERT_NO_FATAL_FAILURE(AnswerSaveDialog(dir_ / L"second.bmp", false));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"second.bmp  ( 40x30"); }))
        << Narrow(e2e::WindowText(edit_));
    EXPECT_TRUE(IsWindowVisible(edit_));
    Close();
}

// Closing with unsaved changes asks first, whichever way the close comes: cancel keeps the
// program and the edit, yes saves through the dialog before the program ends.
TEST_F(EditWindow, ClosingAModifiedImageAsksFirst) {
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(edit_, WM_COMMAND, cmd::kTurn90, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); }));
    struct Way { const char* name; HWND target; UINT msg; WPARAM wp; LPARAM lp; };
    const Way ways[] = {
        {"Esc", edit_, WM_KEYDOWN, VK_ESCAPE, 1},
        {"close button", edit_, WM_SYSCOMMAND, SC_CLOSE, 0},
        {"exit from the Edit window", edit_, WM_COMMAND, cmd::kExit, 0},
        {"exit from the Viewer window", viewer_, WM_COMMAND, cmd::kExit, 0},
        {"WM_CLOSE", viewer_, WM_CLOSE, 0, 0},
    };
    for (const Way& way : ways) {
        PostMessageW(way.target, way.msg, way.wp, way.lp);
        e2e::DialogInfo question;
        ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Pelio", kWaitMs, question)) << way.name;
        EXPECT_EQ(question.text, L"first.bmp への変更を保存しますか?") << way.name;
        e2e::PressButton(question.hwnd, IDCANCEL);
        Sleep(300);
        EXPECT_TRUE(pelio_.Running()) << way.name;
        EXPECT_TRUE(StartsWith(edit_, L"first.bmp*")) << way.name;
    }

    PostMessageW(viewer_, WM_CLOSE, 0, 0);
    e2e::DialogInfo question;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Pelio", kWaitMs, question));
    e2e::PressButton(question.hwnd, IDYES);
    const std::wstring saved = dir_ / L"saved.bmp";
    ASSERT_NO_FATAL_FAILURE(AnswerSaveDialog(saved, false));
    EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    const Decoded turned = Decode(ReadBytes(saved));
    EXPECT_TRUE(turned.ok && turned.width == 80 && turned.height == 120);
}

// A focused drop-down list or slider gets its own keys: the arrows and pages move it, Enter
// closes the open list, and neither the file nor the view changes.
TEST_F(EditWindow, ListsAndSlidersKeepTheirKeys) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const DWORD thread = GetWindowThreadProcessId(edit_, nullptr);
    auto focus = [&](HWND control) {
        AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
        SetFocus(control);
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return Eventually([&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == control; });
    };
    HWND rebar = GetDlgItem(edit_, 1020);
    HWND zoom = GetDlgItem(GetDlgItem(rebar, 1022), 1041);
    const std::wstring zoomText = ControlText(zoom);
    auto unchanged = [&] {
        return IsWindowVisible(edit_) && !IsWindowVisible(viewer_) && StartsWith(edit_, L"first.bmp  ") &&
               ControlText(zoom) == zoomText;
    };

    HWND list = PanelControl(1030);
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_TRUE(focus(list));
    SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_TRUE(Eventually([&] { return SendMessageW(list, CB_GETCURSEL, 0, 0) == 1; }));
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(Eventually([&] { return !SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0); }));
    Sleep(300);
    EXPECT_TRUE(unchanged()) << Narrow(e2e::WindowText(edit_));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);

    PostMessageW(edit_, WM_COMMAND, cmd::kGamma, 0);
    HWND bar = nullptr;
    ASSERT_TRUE(Eventually([&] { return (bar = GetDlgItem(rebar, 1025)) && GetDlgItem(bar, 1550); }));
    HWND slider = GetDlgItem(bar, 1510), red = GetDlgItem(bar, 1532);
    ASSERT_TRUE(focus(slider));
    for (const UINT key : {VK_RIGHT, VK_PRIOR}) {
        const LRESULT before = SendMessageW(slider, TBM_GETPOS, 0, 0);
        PostMessageW(slider, WM_KEYDOWN, key, 1);
        EXPECT_TRUE(Eventually([&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) != before; })) << key;
        // The step previews as a drag does: the channel field follows the slider.
        EXPECT_TRUE(Eventually([&] {
            return ControlText(red) == std::to_wstring(SendMessageW(slider, TBM_GETPOS, 0, 0));
        })) << Narrow(ControlText(red));
    }
    Sleep(300);
    EXPECT_TRUE(unchanged()) << Narrow(e2e::WindowText(edit_));
    PostMessageW(edit_, WM_COMMAND, cmd::kAbortOperation, 0);
    ASSERT_TRUE(Eventually([&] { return GetDlgItem(rebar, 1025) == nullptr; }));
    Close();
}

// Japanese labels and numbers are never clipped: each control is as wide as its text in the
// UI font needs.
TEST_F(EditWindow, ControlsFitTheirTexts) {
    ASSERT_NO_FATAL_FAILURE(Start());
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(lf.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    auto textWidth = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    auto width = [](HWND control) {
        RECT r{};
        GetClientRect(control, &r);
        return static_cast<int>(r.right);
    };

    ASSERT_NO_FATAL_FAILURE(ChooseFormat(1));
    HWND gamma = PanelControl(1051);
    ASSERT_NE(gamma, nullptr);
    const LRESULT margins = SendMessageW(gamma, EM_GETMARGINS, 0, 0);
    EXPECT_GE(width(gamma) - LOWORD(margins) - HIWORD(margins), textWidth(L"2.200"));

    PostMessageW(edit_, WM_COMMAND, cmd::kBlur, 0);
    HWND rebar = GetDlgItem(edit_, 1020), bar = nullptr;
    ASSERT_TRUE(Eventually([&] { return (bar = GetDlgItem(rebar, 1025)) && GetDlgItem(bar, 1930); }));
    for (const wchar_t* name : {L"3x3", L"5x5", L"ガウスぼかし"}) {
        HWND radio = FindWindowExW(bar, nullptr, L"Button", name);
        ASSERT_NE(radio, nullptr) << Narrow(name);
        EXPECT_GE(width(radio), textWidth(name) + GetSystemMetrics(SM_CXMENUCHECK)) << Narrow(name);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    PostMessageW(edit_, WM_COMMAND, cmd::kAbortOperation, 0);
    ASSERT_TRUE(Eventually([&] { return GetDlgItem(rebar, 1025) == nullptr; }));
    Close();
}

// Work on a large picture shows "wait..." while the user waits: the start of an operation
// with costly tables, and a preview that takes long; the title comes back after each. An
// abort during a long preview ends it at once.
TEST_F(EditWindow, LongWorkShowsWait) {
    // 40 megapixels: large enough that a Gaussian preview outlasts the feedback's delay.
    WriteBytes(picture_, test::SampleBmpFile(8000, 5000, 24));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020), bar = nullptr;
    auto waiting = [&] { return e2e::WindowText(edit_).compare(L"wait...") == 0; };
    auto startAndWatch = [&](int command, int lastControl) {
        bool waited = false;
        PostMessageW(edit_, WM_COMMAND, command, 0);
        const bool ready = Eventually([&] {
            waited = waited || waiting();
            return (bar = GetDlgItem(rebar, 1025)) && GetDlgItem(bar, lastControl);
        }, 60000);
        return ready && waited;
    };
    auto end = [&] {
        PostMessageW(edit_, WM_COMMAND, cmd::kAbortOperation, 0);
        return Eventually([&] { return GetDlgItem(rebar, 1025) == nullptr; });
    };

    EXPECT_TRUE(startAndWatch(cmd::kUnsharpMask, 1831));  // unsharp mask: its difference picture first
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp"); }));
    ASSERT_TRUE(end());

    // The Gaussian of radius 20 over the whole picture, in the worker.
    PostMessageW(edit_, WM_COMMAND, cmd::kBlur, 0);
    ASSERT_TRUE(Eventually([&] { return (bar = GetDlgItem(rebar, 1025)) && GetDlgItem(bar, 1930); }));
    SendMessageW(GetDlgItem(bar, 1912), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(bar, 1930), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"20"));
    EXPECT_TRUE(Eventually(waiting));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp"); }, 60000));

    // Abort in the middle of such a preview: the kernel stops between rows, at once.
    SendMessageW(GetDlgItem(bar, 1930), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"19"));
    ASSERT_TRUE(Eventually(waiting));
    const DWORD asked = GetTickCount();
    ASSERT_TRUE(end());
    EXPECT_LT(GetTickCount() - asked, 300u);
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp  "); }));
    Close();
}

// A save that cannot complete leaves the file it would replace byte for byte as it was, and
// no partial file beside it: a full volume, and a read-only file.
TEST_F(EditWindow, AFailedReplacementLeavesTheDestinationAlone) {
    const std::wstring volume = e2e::WindowsPathOf(PELIO_SMALL_VOLUME_UNIX_PATH);
    if (!test::PathExists(volume + L"\\.small-volume")) GTEST_SKIP() << "no small volume mounted";
    WriteBytes(picture_, test::SampleBmpFile(1500, 1500, 24));  // 6.75 MB on a 1 MiB volume
    const std::vector<uint8_t> old = test::SampleBmpFile(40, 30, 24);
    const std::wstring full = volume + L"\\dest.bmp", locked = dir_ / L"locked.bmp";
    WriteBytes(full, old);
    WriteBytes(locked, old);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    for (const std::wstring& dest : {full, locked}) {
        ASSERT_NO_FATAL_FAILURE(SaveAs(dest, true, L"ファイル作成に失敗しました。"));
        EXPECT_EQ(ReadBytes(dest), old) << Narrow(dest);
        const std::wstring folder = dest.substr(0, dest.find_last_of(L'\\') + 1);
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"~pe*.tmp").c_str(), &data);
        EXPECT_EQ(find, INVALID_HANDLE_VALUE) << Narrow(folder);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(full.c_str());
    Close();
}

TEST_F(EditWindow, ZoomFieldSliderAndTransparentColourPick) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND viewBar = GetDlgItem(GetDlgItem(edit_, 1020), 1022);
    HWND slider = GetDlgItem(viewBar, 1040), field = GetDlgItem(viewBar, 1041);
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(field, nullptr);

    // Typing 5 gives 10 %: the slider goes to its start.
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"5"));
    EXPECT_TRUE(Eventually([&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) == 0; }));
    // The slider's middle is 258 %.
    SendMessageW(slider, TBM_SETPOS, TRUE, 80);
    SendMessageW(viewBar, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 80), reinterpret_cast<LPARAM>(slider));
    EXPECT_TRUE(Eventually([&] { return ControlText(field) == L"258"; })) << Narrow(ControlText(field));

    // The pick reads the pixel under the pointer into the title; a click takes it.
    PostMessageW(edit_, WM_COMMAND, cmd::kZoom100, 0);
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(1));
    PostMessageW(edit_, WM_COMMAND, cmd::kTransparency, 0);
    HWND pane = GetDlgItem(edit_, 1000);
    RECT client;
    GetClientRect(pane, &client);
    ASSERT_GT(client.right, 120);
    ASSERT_GT(client.bottom, 80);
    const int x = client.right / 2, y = client.bottom / 2;
    const int ix = x - (client.right - 120) / 2, iy = y - (client.bottom - 80) / 2;
    const Decoded source = Decode(ReadBytes(picture_));
    const uint8_t* pixel = source.rows.data() + RowStride(120, 24) * (79 - iy) + ix * 3;
    const std::wstring expected = L"r:" + std::to_wstring(pixel[2]) + L"  g:" + std::to_wstring(pixel[1]) +
                                  L"  b:" + std::to_wstring(pixel[0]);
    Sleep(300);
    // The real pointer may move the read-out too: post until the title shows the point.
    auto readoutAt = [&](int px, int py, const std::wstring& text) {
        return Eventually([&] {
            PostMessageW(pane, WM_MOUSEMOVE, 0, MAKELPARAM(px, py));
            Sleep(50);
            return e2e::WindowText(edit_) == text;
        });
    };
    EXPECT_TRUE(readoutAt(1, 1, L"r:-  g:-  b:-")) << Narrow(e2e::WindowText(edit_));
    EXPECT_TRUE(readoutAt(x, y, expected)) << Narrow(e2e::WindowText(edit_));
    PostMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp"); }));
    Close();
    const std::wstring ini = dir_ / L"Pelio.ini";
    EXPECT_EQ(GetPrivateProfileIntW(L"SImg", L"AlphaR", -1, ini.c_str()), pixel[2]);
    EXPECT_EQ(GetPrivateProfileIntW(L"SImg", L"AlphaG", -1, ini.c_str()), pixel[1]);
    EXPECT_EQ(GetPrivateProfileIntW(L"SImg", L"AlphaB", -1, ini.c_str()), pixel[0]);
    EXPECT_EQ(GetPrivateProfileIntW(L"SImg", L"Format", -1, ini.c_str()), 1);
}

// A tone correction in the adjustment frame: abort and a neutral confirm leave the image as it
// was; gamma 50 confirmed gives the gamma table's values, saved to disk.
TEST_F(EditWindow, ToneCorrectionsAbortConfirmAndSave) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020);
    auto operationBar = [&] { return GetDlgItem(rebar, 1025); };
    // The bar with its controls built (the sync box comes last).
    auto operationReady = [&] { return operationBar() && GetDlgItem(operationBar(), 1550); };

    PostMessageW(edit_, WM_COMMAND, cmd::kContrast, 0);
    ASSERT_TRUE(Eventually(operationReady));
    SendMessageW(GetDlgItem(operationBar(), 1532), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));
    PostMessageW(edit_, WM_COMMAND, cmd::kAbortOperation, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() == nullptr; }));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp  "); })) << Narrow(e2e::WindowText(edit_));

    PostMessageW(edit_, WM_COMMAND, cmd::kBrightness, 0);  // brightness, confirmed at 0: nothing changes
    ASSERT_TRUE(Eventually(operationReady));
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() == nullptr; }));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp  "); }));

    PostMessageW(edit_, WM_COMMAND, cmd::kGamma, 0);  // gamma 50 on all three channels
    ASSERT_TRUE(Eventually(operationReady));
    HWND red = GetDlgItem(operationBar(), 1532);
    ASSERT_NE(red, nullptr);
    SendMessageW(red, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"50"));
    EXPECT_EQ(SendMessageW(GetDlgItem(operationBar(), 1510), TBM_GETPOS, 0, 0), 50);  // the slider follows
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); })) << Narrow(e2e::WindowText(edit_));

    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"gamma.bmp"));
    const Decoded source = Decode(ReadBytes(picture_));
    const Decoded saved = Decode(ReadBytes(dir_ / L"gamma.bmp"));
    ASSERT_TRUE(saved.ok);
    ASSERT_EQ(saved.rows.size(), source.rows.size());
    const auto& g = GammaTables()[150];
    int mismatches = 0;
    for (int r = 0; r < 80; ++r)
        for (int i = 0; i < 120 * 3; ++i) {
            const size_t at = RowStride(120, 24) * r + i;
            mismatches += saved.rows[at] != g[source.rows[at]];
        }
    EXPECT_EQ(mismatches, 0);
    Close();
}

// The histogram correction's automatic setting on all three channels, confirmed and saved:
// every byte goes through the levels stretch the setting chose.
TEST_F(EditWindow, HistogramCorrectionAutomaticSetting) {
    // A picture whose values keep to 60..159, so that the setting has something to stretch.
    {
        MemoryAllocator allocator;
        Image narrow;
        narrow.header.width = 120;
        narrow.header.height = 80;
        narrow.header.bitCount = 24;
        ASSERT_TRUE(allocator.Allocate(narrow));
        for (size_t i = 0; i < narrow.PixelBytes(); ++i) narrow.bits[i] = static_cast<uint8_t>(60 + (i * 7) % 100);
        SaveOptions options;
        VectorSink file;
        int error = 0;
        ASSERT_TRUE(FindEncoder(SaveFormat::Bmp)(narrow, options, file, error));
        allocator.Release(narrow);
        WriteBytes(picture_, file.bytes);
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020);
    auto operationBar = [&] { return GetDlgItem(rebar, 1025); };
    PostMessageW(edit_, WM_COMMAND, cmd::kHistogramCorrection, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() && GetDlgItem(operationBar(), 1460); }));
    HWND bar = operationBar();
    e2e::DialogInfo none;
    HWND window = e2e::FindTopWindow(L"Pelio_hgmp_class", pelio_.Id());
    ASSERT_NE(window, nullptr);  // the histogram window comes with the operation
    EXPECT_EQ(e2e::WindowText(window), L"ヒストグラム補正");

    HWND autoButton = GetDlgItem(bar, 1450);
    // The Edit window activated, as a click on its toolbar does: the histogram window, owned
    // by it, stays above it.
    const DWORD thread = GetWindowThreadProcessId(edit_, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetActiveWindow(edit_);
    SetFocus(autoButton);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1450, BN_CLICKED), reinterpret_cast<LPARAM>(autoButton));
    EXPECT_EQ(GetWindow(window, GW_OWNER), edit_);
    EXPECT_TRUE(Eventually([&] {
        for (HWND below = GetWindow(window, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
            if (below == edit_) return IsWindowVisible(window) != FALSE;
        return false;
    }));

    // The expected bounds from the source's summed histogram.
    const Decoded source = Decode(ReadBytes(picture_));
    Image image;
    image.header.width = 120;
    image.header.height = 80;
    image.header.bitCount = 24;
    image.bits = const_cast<uint8_t*>(source.rows.data());
    Image unused = image;
    const Histograms h = ComputeHistograms(MakePixelJob(image, unused));
    int low = 0, high = 0;
    AutoLevels(h.sum, 120, 80, low, high);
    low = ClampLevelsLow(low, 255);
    high = ClampLevelsHigh(high, low);
    ASSERT_GT(low, 0);
    ASSERT_LT(high, 255);
    EXPECT_TRUE(Eventually([&] { return ControlText(GetDlgItem(bar, 1430)) == std::to_wstring(low); }))
        << Narrow(ControlText(GetDlgItem(bar, 1430))) << " vs " << low;
    EXPECT_EQ(ControlText(GetDlgItem(bar, 1431)), std::to_wstring(high));

    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); })) << Narrow(e2e::WindowText(edit_));
    EXPECT_TRUE(Eventually([&] { return e2e::FindTopWindow(L"Pelio_hgmp_class", pelio_.Id()) == nullptr; }));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"levels.bmp"));
    const Decoded saved = Decode(ReadBytes(dir_ / L"levels.bmp"));
    ASSERT_TRUE(saved.ok);
    const LevelsTables tables;
    int mismatches = 0;
    for (int r = 0; r < 80; ++r)
        for (int i = 0; i < 120 * 3; ++i) {
            const size_t at = RowStride(120, 24) * r + i;
            mismatches += saved.rows[at] != tables.Map(low, high, source.rows[at]);
        }
    EXPECT_EQ(mismatches, 0);
    Close();
}

// Margins on Confirm: the picture inside white margins, the margins stored for next time.
TEST_F(EditWindow, MarginsAddedOnConfirm) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020);
    auto operationBar = [&] { return GetDlgItem(rebar, 1025); };
    PostMessageW(edit_, WM_COMMAND, cmd::kMargins, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() && GetDlgItem(operationBar(), 2741); }));
    HWND bar = operationBar();
    const wchar_t* values[] = {L"3", L"2", L"4", L"1"};  // top, bottom, left, right
    const int fields[] = {2701, 2711, 2721, 2731};
    for (int i = 0; i < 4; ++i) SendMessageW(GetDlgItem(bar, fields[i]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(values[i]));
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*  ( 125x85  24bit"); })) << Narrow(e2e::WindowText(edit_));

    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"margins.bmp"));
    const Decoded source = Decode(ReadBytes(picture_));
    const Decoded saved = Decode(ReadBytes(dir_ / L"margins.bmp"));
    ASSERT_TRUE(saved.ok);
    ASSERT_EQ(saved.width, 125);
    ASSERT_EQ(saved.height, 85);
    const size_t stride = RowStride(125, 24);
    int wrong = 0;
    for (int row = 0; row < 85; ++row)
        for (int x = 0; x < 125; ++x) {
            const uint8_t* p = saved.rows.data() + row * stride + x * 3;
            const bool inside = row >= 2 && row < 82 && x >= 4 && x < 124;  // bottom-up rows
            if (inside) {
                const uint8_t* q = source.rows.data() + (row - 2) * RowStride(120, 24) + (x - 4) * 3;
                wrong += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
            } else {
                wrong += p[0] != 255 || p[1] != 255 || p[2] != 255;
            }
        }
    EXPECT_EQ(wrong, 0);
    Close();
    const std::wstring ini = dir_ / L"Pelio.ini";
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"MgnT", -1, ini.c_str()), 3);
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"MgnR", -1, ini.c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgS", L"MgnBgCol", -1, ini.c_str()), 16777215);
}

// The blur at 3 × 3, level 10, confirmed: the saved file equals the filter run here.
TEST_F(EditWindow, BlurConfirmedAndSaved) {
    test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n[ImgF]\r\nSftMode=0\r\nSftLevel=0\r\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020);
    auto operationBar = [&] { return GetDlgItem(rebar, 1025); };
    PostMessageW(edit_, WM_COMMAND, cmd::kBlur, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() && GetDlgItem(operationBar(), 1930); }));
    SendMessageW(GetDlgItem(operationBar(), 1930), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10"));
    EXPECT_EQ(SendMessageW(GetDlgItem(operationBar(), 1920), TBM_GETPOS, 0, 0), 10);
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); })) << Narrow(e2e::WindowText(edit_));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"blur.bmp"));

    Decoded source = Decode(ReadBytes(picture_));
    Image in;
    in.header.width = 120;
    in.header.height = 80;
    in.header.bitCount = 24;
    in.bits = source.rows.data();
    std::vector<uint8_t> expected(source.rows.size(), 0);
    Image out = in;
    out.bits = expected.data();
    Box3x3(MakePixelJob(in, out), 250);
    const Decoded saved = Decode(ReadBytes(dir_ / L"blur.bmp"));
    ASSERT_TRUE(saved.ok);
    int mismatches = 0;
    for (int r = 0; r < 80; ++r)
        for (int i = 0; i < 360; ++i) mismatches += saved.rows[RowStride(120, 24) * r + i] != expected[RowStride(120, 24) * r + i];
    EXPECT_EQ(mismatches, 0);
    Close();
    EXPECT_EQ(GetPrivateProfileIntW(L"ImgF", L"SftLevel", -1, (dir_ / L"Pelio.ini").c_str()), 10);
}

// Filters refuse pictures narrower or lower than 5 pixels.
TEST_F(EditWindow, FiltersRefuseTinyPictures) {
    WriteBytes(picture_, test::SampleBmpFile(4, 100, 24));
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(edit_, WM_COMMAND, cmd::kUnsharpMask, 0);
    e2e::DialogInfo error;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, error));
    EXPECT_EQ(error.text, L"コマンドを実行できません。");
    e2e::PressButton(error.hwnd, IDOK);
    Sleep(300);
    EXPECT_EQ(GetDlgItem(GetDlgItem(edit_, 1020), 1025), nullptr);
    Close();
}

// Hue / saturation: saturation −255 confirmed gives the model's grey; "Pic" takes the range
// colour from the image, stored at the end.
TEST_F(EditWindow, HueSaturationAndRangeColourPick) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND rebar = GetDlgItem(edit_, 1020);
    auto operationBar = [&] { return GetDlgItem(rebar, 1025); };
    PostMessageW(edit_, WM_COMMAND, cmd::kHueSaturation, 0);
    ASSERT_TRUE(Eventually([&] { return operationBar() && GetDlgItem(operationBar(), 1651); }));
    HWND bar = operationBar();

    // Pick the range colour at the middle of the picture (100 %, image pane).
    SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1680, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(bar, 1680)));
    HWND pane = GetDlgItem(edit_, 1000);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(pane) != FALSE; }));
    RECT client;
    GetClientRect(pane, &client);
    const Decoded source = Decode(ReadBytes(picture_));
    const int x = client.right / 2, y = client.bottom / 2;
    const int ix = x - (client.right - 120) / 2, iy = y - (client.bottom - 80) / 2;
    const uint8_t* pixel = source.rows.data() + RowStride(120, 24) * (79 - iy) + ix * 3;
    const std::wstring readout = L"r:" + std::to_wstring(pixel[2]) + L"  g:" + std::to_wstring(pixel[1]) +
                                 L"  b:" + std::to_wstring(pixel[0]);
    // The real pointer may move the read-out too: post until the title shows this point.
    EXPECT_TRUE(Eventually([&] {
        PostMessageW(pane, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Sleep(50);
        return e2e::WindowText(edit_) == readout;
    })) << Narrow(e2e::WindowText(edit_));
    PostMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp"); }));

    SendMessageW(GetDlgItem(bar, 1640), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-255"));  // saturation
    PostMessageW(edit_, WM_COMMAND, cmd::kConfirmOperation, 0);
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); })) << Narrow(e2e::WindowText(edit_));
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(0));
    ASSERT_NO_FATAL_FAILURE(SaveAs(dir_ / L"grey.bmp"));
    const Decoded saved = Decode(ReadBytes(dir_ / L"grey.bmp"));
    ASSERT_TRUE(saved.ok);
    int wrong = 0;
    for (int r = 0; r < 80; ++r)
        for (int x = 0; x < 120; ++x) {
            const uint8_t* p = source.rows.data() + RowStride(120, 24) * r + x * 3;
            const uint8_t* q = saved.rows.data() + RowStride(120, 24) * r + x * 3;
            const int l = (std::max({p[0], p[1], p[2]}) + std::min({p[0], p[1], p[2]})) >> 1;
            wrong += q[0] != l || q[1] != l || q[2] != l;
        }
    EXPECT_EQ(wrong, 0);
    Close();
    const std::wstring ini = dir_ / L"Pelio.ini";
    const int r = GetPrivateProfileIntW(L"ImgC", L"HlsColR", -1, ini.c_str());
    const int g = GetPrivateProfileIntW(L"ImgC", L"HlsColG", -1, ini.c_str());
    const int b = GetPrivateProfileIntW(L"ImgC", L"HlsColB", -1, ini.c_str());
    EXPECT_EQ(readout, L"r:" + std::to_wstring(r) + L"  g:" + std::to_wstring(g) + L"  b:" + std::to_wstring(b));
}

// Keys typed into a panel field reach the field, not the program's shortcuts: Backspace
// would otherwise reload the file.
TEST_F(EditWindow, KeysTypedIntoAPanelFieldStayThere) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ChooseFormat(1));
    PostMessageW(edit_, WM_COMMAND, cmd::kTurn90, 0);  // modified: a reload would ask first
    ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp*"); }));
    HWND gamma = PanelControl(1051);
    ASSERT_NE(gamma, nullptr);
    ASSERT_EQ(ControlText(gamma), L"2.200");
    const DWORD thread = GetWindowThreadProcessId(edit_, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetFocus(gamma);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(Eventually([&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == gamma; }));

    PostMessageW(gamma, WM_KEYDOWN, VK_END, 1);
    PostMessageW(gamma, WM_KEYDOWN, VK_BACK, 1);
    EXPECT_TRUE(Eventually([&] { return ControlText(gamma) == L"2.20"; })) << Narrow(ControlText(gamma));
    e2e::DialogInfo question;
    EXPECT_FALSE(e2e::WaitForDialog(pelio_.Id(), L"Pelio", 1000, question));
    Close();
}

}  // namespace
}  // namespace pelio
