// About window. Win32.
#include "win/base/about_window.h"

#include <commctrl.h>

#include <vector>

#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/html_help.h"

namespace pelio {

namespace {

constexpr wchar_t kVersionLabel[] = L"バージョン ";

struct AboutState {
    HFONT nameFont = nullptr;
};

AboutState& About() {
    static AboutState state;
    return state;
}

void SetBigName(HWND dlg) {
    LOGFONTW lf{};
    GetObjectW(App().uiFont, sizeof lf, &lf);
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    About().nameFont = CreateFontIndirectW(&lf);
    if (About().nameFont)
        SendDlgItemMessageW(dlg, IDC_ABOUT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(About().nameFont), FALSE);
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        SetBigName(dlg);
        SetDlgItemTextW(dlg, IDC_ABOUT_VERSION, (kVersionLabel + ProductVersion()).c_str());
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr->idFrom == IDC_ABOUT_LINK && (hdr->code == NM_CLICK || hdr->code == NM_RETURN)) {
            EndDialog(dlg, IDOK);
            ShowHelpFile();
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (About().nameFont) DeleteObject(About().nameFont);
        About().nameFont = nullptr;
        break;
    }
    return FALSE;
}

}  // namespace

std::wstring ProductVersion() {
    wchar_t path[MAX_PATH];
    const DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (!size) return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) return {};
    wchar_t* value = nullptr;
    UINT valueLen = 0;
    if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\041104B0\\ProductVersion", reinterpret_cast<void**>(&value),
                        &valueLen) ||
        !value || valueLen == 0)
        return {};
    return std::wstring(value, wcsnlen(value, valueLen));
}

bool ShowAboutWindow(HWND owner) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    return DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0) != -1;
}

}  // namespace pelio
