// Setting the current image as the desktop wallpaper. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

// The wallpaper file: "save_wp.bmp" beside the settings file (in the Windows folder on the
// oldest systems).
std::wstring WallpaperFilePath();

// The registry's desktop values of a dialog choice (0 centre, 1 stretch, 2 tile), and the
// choice they stand for.
struct WallpaperValues {
    const wchar_t* tile;
    const wchar_t* style;
};
WallpaperValues WallpaperValuesOf(int choice);
int WallpaperChoiceOf(const std::wstring& tile, const std::wstring& style, bool tileRead);

// cmd::kWallpaper.
void SetWallpaper();
// The Options dialog's delete button: false (with the message) when the file stays.
bool DeleteWallpaperFile(HWND owner);

}  // namespace pelio
