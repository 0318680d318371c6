// Opening a file named from outside: command line, hand-over, dropped file. Win32.
#pragma once
#include <string>

namespace pelio {

// Asks the save-changes question, hides the file list, takes the long path, follows a shell
// link, loads and shows the image. On failure shows "画像の表示に失敗しました。" and keeps
// the previous image.
bool OpenFileFromShell(const std::wstring& path);

}  // namespace pelio
