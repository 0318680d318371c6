// pelio-e2e: a console tool that drives a running Pelio from scripts. Win32.
//   pelio-e2e wait CLASS [TIMEOUT_MS]         wait for a window, print its title
//   pelio-e2e title CLASS                     print a window's title
//   pelio-e2e command CLASS ID                post WM_COMMAND ID
//   pelio-e2e copydata CLASS DATA [FILE]      send the hand-over message (DATA: number or letter)
//   pelio-e2e close CLASS                     post WM_CLOSE
//   pelio-e2e dialog [CAPTION] [TIMEOUT_MS]   wait for a dialog, print "caption<TAB>text"
//   pelio-e2e press ID [CAPTION]              click a button of a dialog
//   pelio-e2e timeshow CLASS FILE [PAINTS]    time the hand-over of FILE until the window has
//                                             painted it, then PAINTS full repaints (ms)
//   pelio-e2e timesteps CLASS ID COUNT PAUSE  COUNT times: send WM_COMMAND ID, time it until
//                                             the window has painted, wait PAUSE ms
// Prints UTF-8; exits 1 when the window or dialog is not found.
#include <windows.h>
#include <psapi.h>
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
    Print(L"usage: pelio-e2e wait|title|command|copydata|close|dialog|press|timeshow|timesteps ...");
    return 2;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// The hand-over is answered once the image is loaded and laid out; UpdateWindow then has the
// window paint before it returns, unless the window's own loop painted first (then the first
// paint shows next to nothing and the repaints give the paint time).
int TimeShow(HWND hwnd, const std::wstring& file, int paints) {
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    SendCopyData(hwnd, 0, &file);
    QueryPerformanceCounter(&t1);
    UpdateWindow(hwnd);
    QueryPerformanceCounter(&t2);
    RECT client;
    GetClientRect(hwnd, &client);
    Print(WindowText(hwnd));
    Print(L"client " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    Print(L"handover " + std::to_wstring(Milliseconds(t0, t1)) + L" ms, first paint " +
          std::to_wstring(Milliseconds(t1, t2)) + L" ms, total " + std::to_wstring(Milliseconds(t0, t2)) + L" ms");
    if (paints <= 0) return 0;
    double best = 1e9, sum = 0;
    for (int i = 0; i < paints; ++i) {
        QueryPerformanceCounter(&t0);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        QueryPerformanceCounter(&t1);
        const double ms = Milliseconds(t0, t1);
        best = ms < best ? ms : best;
        sum += ms;
    }
    Print(L"paint best " + std::to_wstring(best) + L" ms, mean " + std::to_wstring(sum / paints) + L" ms over " +
          std::to_wstring(paints));
    return 0;
}

// Steps by a command (the next file, say): each sent and timed until the window has painted.
int TimeSteps(HWND hwnd, int id, int count, int pauseMs) {
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 60000, &result);
        UpdateWindow(hwnd);
        QueryPerformanceCounter(&t1);
        Print(WindowText(hwnd) + L"  " + std::to_wstring(Milliseconds(t0, t1)) + L" ms");
        Sleep(static_cast<DWORD>(pauseMs));
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS memory{};
    if (process && GetProcessMemoryInfo(process, &memory, sizeof memory))
        Print(L"peak private bytes " + std::to_wstring(memory.PeakPagefileUsage >> 20) + L" MB");
    if (process) CloseHandle(process);
    return 0;
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
    } else if (verb == L"timeshow") {
        if (a.size() < 4) return Usage();
        return TimeShow(hwnd, a[3], number(4, 10));
    } else if (verb == L"timesteps") {
        if (a.size() < 6) return Usage();
        return TimeSteps(hwnd, number(3, 0), number(4, 1), number(5, 0));
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
