// The Edit window driven from outside: Pelio.exe started on a sample picture and switched to
// the Edit window, with the save dialog answered and saved files decoded. Win32.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/image/codec.h"
#include "core/image/format.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace edit_e2e {

using test::ReadBytes;
using test::WriteBytes;

inline constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
inline constexpr wchar_t kEditClass[] = L"Pelio_swin_class";
inline constexpr int kWaitMs = 15000;

inline std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

inline bool StartsWith(HWND window, const std::wstring& prefix) {
    const std::wstring title = e2e::WindowText(window);
    return title.compare(0, prefix.size(), prefix) == 0;
}

using e2e::ControlText;
using e2e::Eventually;

// The temporary files a save leaves in the user's temporary folder.
inline std::set<std::wstring> TempFiles() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((std::wstring(folder) + L"tmp*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(std::wstring(folder) + data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// Decoded pixels of a file's bytes, through the program's own decoders.
struct Decoded {
    bool ok = false;
    int width = 0, height = 0, bits = 0;
    std::vector<uint8_t> rows;
};

inline Decoded Decode(const std::vector<uint8_t>& bytes) {
    Decoded d;
    DecodeFn decode = FindDecoder(DetectFormat(bytes));
    if (!decode) return d;
    MemoryAllocator allocator;
    DecodeResult result;
    LoadOptions options;
    if (!decode(bytes, options, allocator, result)) return d;
    d.ok = true;
    d.width = result.image.Width();
    d.height = result.image.Height();
    d.bits = result.image.BitCount();
    d.rows.assign(result.image.bits, result.image.bits + result.image.Stride() * result.image.Height());
    allocator.Release(result.image);
    return d;
}

class EditWindow : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n");
        picture_ = dir_ / L"first.bmp";
        WriteBytes(picture_, test::SampleBmpFile(120, 80, 24));
        WriteBytes(dir_ / L"second.bmp", test::SampleBmpFile(40, 30, 24));
    }

    void Start() {
        pelio_ = e2e::Launch(exe_, L"\"" + picture_ + L"\"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
        ASSERT_TRUE(Eventually([&] { return StartsWith(viewer_, L"first.bmp"); }));
        // Tab, through the program's accelerators, switches to the Edit window.
        PostMessageW(viewer_, WM_KEYDOWN, VK_TAB, 1);
        PostMessageW(viewer_, WM_KEYUP, VK_TAB, 0xC0000001);
        ASSERT_TRUE(Eventually([&] {
            edit_ = e2e::FindTopWindow(kEditClass, pelio_.Id());
            return edit_ && IsWindowVisible(edit_) && !IsWindowVisible(viewer_);
        }));
        ASSERT_TRUE(Eventually([&] { return StartsWith(edit_, L"first.bmp"); }));
    }

    HWND PanelControl(int id) {
        HWND rebar = GetDlgItem(edit_, 1020);
        HWND panel = rebar ? GetDlgItem(rebar, 1024) : nullptr;
        return panel ? GetDlgItem(panel, id) : nullptr;
    }

    // Chooses a save format in the panel's format list as a user would.
    void ChooseFormat(int format) {
        HWND list = PanelControl(1030);
        ASSERT_NE(list, nullptr);
        SendMessageW(list, CB_SETCURSEL, format, 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(1030, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    // Fills in the open or save dialog: the name typed, OK, and yes to the overwrite question.
    void AnswerSaveDialog(const std::wstring& path, bool overwrite) {
        HWND dialog = nullptr;
        ASSERT_TRUE(e2e::AnswerFileDialog(pelio_.Id(), path, kWaitMs, dialog));
        if (overwrite) {
            e2e::DialogInfo question;
            ASSERT_TRUE(Eventually([&] {
                return e2e::WaitForDialog(pelio_.Id(), nullptr, 100, question) && question.hwnd != dialog;
            }));
            e2e::PressButton(question.hwnd, IDYES);
        }
    }

    // Save as through the dialog; with `error`, the save must fail with that message.
    void SaveAs(const std::wstring& path, bool overwrite = false, const wchar_t* error = nullptr) {
        PostMessageW(edit_, WM_COMMAND, cmd::kSaveAs, 0);
        ASSERT_NO_FATAL_FAILURE(AnswerSaveDialog(path, overwrite));
        if (error) {
            e2e::DialogInfo message;
            ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, message)) << Narrow(path);
            EXPECT_EQ(message.text, error);
            e2e::PressButton(message.hwnd, IDOK);
            ASSERT_TRUE(Eventually([&] { return e2e::WindowText(edit_) != L"wait..."; }));
            return;
        }
        ASSERT_TRUE(Eventually([&] {
            e2e::DialogInfo any;
            return !e2e::WaitForDialog(pelio_.Id(), nullptr, 0, any) && test::PathExists(path) &&
                   e2e::WindowText(edit_) != L"wait...";
        })) << Narrow(path);
    }

    // Starts an image operation and waits for its toolbar to hold the control `id`.
    HWND OperationBar(int command, int id) {
        HWND rebar = GetDlgItem(edit_, 1020);
        PostMessageW(edit_, WM_COMMAND, command, 0);
        HWND bar = nullptr;
        EXPECT_TRUE(e2e::Eventually([&] {
            bar = GetDlgItem(rebar, 1025);
            return bar && GetDlgItem(bar, id);
        }));
        return bar;
    }

    void Close() {
        PostMessageW(viewer_, WM_CLOSE, 0, 0);
        e2e::DialogInfo question;
        if (e2e::WaitForDialog(pelio_.Id(), L"Pelio", 1500, question)) e2e::PressButton(question.hwnd, IDNO);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    }

    test::TempFolder dir_;
    std::wstring exe_, picture_;
    e2e::Process pelio_;
    HWND viewer_ = nullptr, edit_ = nullptr;
};

}  // namespace edit_e2e
}  // namespace pelio
