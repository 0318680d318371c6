// pelio-e2e: a console tool that drives a running Pelio from scripts. Win32.
//   pelio-e2e wait CLASS [TIMEOUT_MS]         wait for a window, print its title
//   pelio-e2e title CLASS                     print a window's title
//   pelio-e2e command CLASS ID                post WM_COMMAND ID
//   pelio-e2e copydata CLASS DATA [FILE]      send the hand-over message (DATA: number or letter)
//   pelio-e2e close CLASS                     post WM_CLOSE
//   pelio-e2e dialog [CAPTION] [TIMEOUT_MS]   wait for a dialog, print "caption<TAB>text"
//   pelio-e2e press ID [CAPTION]              click a button of a dialog
// Prints UTF-8; exits 1 when the window or dialog is not found.
#include <windows.h>
#include <shellapi.h>

#include <cwctype>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace pelio::e2e;

void Print(const std::wstring& text) {
    std::wstring line = text + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), n,
                        nullptr, nullptr);
    DWORD put = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), n, &put, nullptr);
}

int Usage() {
    Print(L"usage: pelio-e2e wait|title|command|copydata|close|dialog|press ...");
    return 2;
}

int Run(const std::vector<std::wstring>& a) {
    if (a.size() < 2) return Usage();
    const std::wstring& verb = a[1];
    auto number = [&](size_t i, int def) { return i < a.size() ? _wtoi(a[i].c_str()) : def; };

    if (verb == L"dialog" || verb == L"press") {
        const wchar_t* caption = nullptr;
        size_t captionAt = verb == L"dialog" ? 2 : 3;
        if (a.size() > captionAt && !a[captionAt].empty()) caption = a[captionAt].c_str();
        DialogInfo d;
        if (!WaitForDialog(0, caption, verb == L"dialog" ? number(3, 5000) : 2000, d)) return 1;
        if (verb == L"press") {
            if (a.size() < 3) return Usage();
            PressButton(d.hwnd, number(2, IDOK));
        } else {
            Print(d.caption + L"\t" + d.text);
        }
        return 0;
    }

    if (a.size() < 3) return Usage();
    HWND hwnd = verb == L"wait" ? WaitForWindow(a[2].c_str(), 0, number(3, 10000))
                                : FindTopWindow(a[2].c_str(), 0);
    if (!hwnd) return 1;
    if (verb == L"wait" || verb == L"title") {
        Print(WindowText(hwnd));
    } else if (verb == L"command") {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(number(3, 0), 0), 0);
    } else if (verb == L"close") {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else if (verb == L"copydata") {
        std::wstring file = a.size() > 4 ? a[4] : std::wstring();
        // DATA is a number or a switch letter.
        ULONG_PTR data = a.size() > 3 && a[3].size() == 1 && !iswdigit(a[3][0])
                             ? static_cast<ULONG_PTR>(a[3][0])
                             : static_cast<ULONG_PTR>(number(3, 0));
        Print(std::to_wstring(SendCopyData(hwnd, data,
                                           a.size() > 4 ? &file : nullptr)));
    } else {
        return Usage();
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv, argv + argc);
    return Run(args);
}
