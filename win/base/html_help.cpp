// HTML Help calls through hhctrl.ocx. Win32.
#include "win/base/html_help.h"

namespace pelio {

namespace {

constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhInitialize = 0x001C;
constexpr UINT kHhUninitialize = 0x001D;

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFn HelpFunction() {
    static HtmlHelpFn fn = [] {
        HMODULE lib = LoadLibraryW(L"hhctrl.ocx");
        return lib ? reinterpret_cast<HtmlHelpFn>(
                         reinterpret_cast<void*>(GetProcAddress(lib, "HtmlHelpW")))
                   : nullptr;
    }();
    return fn;
}

}  // namespace

void InitHtmlHelp(DWORD_PTR& cookie) {
    if (HtmlHelpFn fn = HelpFunction()) fn(nullptr, nullptr, kHhInitialize, reinterpret_cast<DWORD_PTR>(&cookie));
}

void UninitHtmlHelp(DWORD_PTR cookie) {
    if (HtmlHelpFn fn = HelpFunction()) fn(nullptr, nullptr, kHhUninitialize, cookie);
}

void ShowHelpFile() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::wstring help(path, n);
    size_t dot = help.find_last_of(L'.');
    size_t slash = help.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) help.resize(dot);
    help += L".chm";
    if (HtmlHelpFn fn = HelpFunction()) fn(nullptr, help.c_str(), kHhDisplayTopic, 0);
}

}  // namespace pelio
