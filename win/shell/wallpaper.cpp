// Wallpaper. Win32.
#include "win/shell/wallpaper.h"

#include "core/image/codec.h"
#include "core/image/codec_error.h"
#include "core/commands/messages.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/busy.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/image/file_sink.h"
#include "win/image/save_dispatch.h"
#include "win/image/file_replace.h"

namespace pelio {

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

std::wstring ReadDesktopValue(HKEY key, const wchar_t* name, bool& ok) {
    wchar_t text[16] = L"";
    DWORD size = sizeof text - sizeof(wchar_t), type = 0;
    ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
         type == REG_SZ;
    return ok ? std::wstring(text) : std::wstring();
}

int InitialChoice() {
    HKEY key = nullptr;
    bool tileRead = false, styleRead = false;
    std::wstring tile, style;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        tile = ReadDesktopValue(key, L"TileWallpaper", tileRead);
        style = ReadDesktopValue(key, L"WallpaperStyle", styleRead);
        RegCloseKey(key);
    }
    return WallpaperChoiceOf(tile, style, tileRead);
}

void WriteDesktopValues(int choice) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const WallpaperValues v = WallpaperValuesOf(choice);
    RegSetValueExW(key, L"TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.tile), 2 * sizeof(wchar_t));
    RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.style), 2 * sizeof(wchar_t));
    RegCloseKey(key);
}

INT_PTR CALLBACK WallpaperDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        CheckRadioButton(dialog, IDC_WALLPAPER_CENTRE, IDC_WALLPAPER_TILE, IDC_WALLPAPER_CENTRE + static_cast<int>(lp));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            int choice = 0;
            for (int i = 0; i < 3; ++i)
                if (IsDlgButtonChecked(dialog, IDC_WALLPAPER_CENTRE + i) == BST_CHECKED) choice = i;
            EndDialog(dialog, choice);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, -1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The image as a BMP file at its own depth.
bool WriteBmp(const std::wstring& path) {
    const CurrentImage& c = Current();
    SaveOptions options;
    options.settings.format = static_cast<int>(SaveFormat::Bmp);
    options.settings.depth = c.bitCount;
    options.settings.gray = false;
    FileSink sink;
    int error = kCodecOk;
    if (!sink.Create(path)) error = kCodecCreateFailed;
    else if (!FindEncoder(SaveFormat::Bmp)(c.AsImage(), options, sink, error) || !sink.Close())
        if (error == kCodecOk) error = kCodecSaveFailed;
    if (error == kCodecOk) return true;
    ReportCodecError(App().dialogOwner, error);
    return false;
}

}  // namespace

std::wstring WallpaperFilePath() {
    const AppState& app = App();
    std::wstring folder;
    if (app.osGeneration == 0) {
        wchar_t windows[MAX_PATH];
        const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
        folder.assign(windows, n < MAX_PATH ? n : 0);
    } else {
        folder = app.iniPath.substr(0, app.iniPath.find_last_of(L"\\/") + 1);
    }
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder + L"save_wp.bmp";
}

WallpaperValues WallpaperValuesOf(int choice) {
    switch (choice) {
    case 1: return {L"0", L"2"};
    case 2: return {L"1", L"0"};
    default: return {L"0", L"0"};
    }
}

int WallpaperChoiceOf(const std::wstring& tile, const std::wstring& style, bool tileRead) {
    if (!tileRead || tile.empty() || tile[0] != L'0') return 2;
    return !style.empty() && style[0] != L'0' ? 1 : 0;
}

void SetWallpaper() {
    AppState& app = App();
    if (!Current().Loaded()) return;
    const bool listEnabled = app.fileList && IsWindowEnabled(app.fileList);
    if (listEnabled) EnableWindow(app.fileList, FALSE);
    const INT_PTR choice = DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_WALLPAPER), app.dialogOwner,
                                           WallpaperDialogProc, InitialChoice());
    if (listEnabled) EnableWindow(app.fileList, TRUE);
    if (choice < 0) return;
    WriteDesktopValues(static_cast<int>(choice));

    BusyIndicator busy(app.dialogOwner);
    const std::wstring temp = NewTempFile();
    if (temp.empty()) {
        ShowGeneralError(kErrTempCreate);
    } else {
        if (WriteBmp(temp)) {
            const std::wstring wallpaper = WallpaperFilePath();
            if (ReplaceFileFrom(temp, wallpaper, false)) {
                SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(wallpaper.c_str()),
                                      SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
            } else {
                ShowGeneralError(kErrFileCreate);
            }
        }
        if (!DeleteFileW(temp.c_str())) ShowGeneralError(kErrTempDelete);
    }
}

bool DeleteWallpaperFile(HWND owner) {
    const std::wstring path = WallpaperFilePath();
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    if (DeleteFileW(path.c_str())) return true;
    ShowErrorText(GeneralErrorText(kErrFileDelete), owner);
    return false;
}

}  // namespace pelio
