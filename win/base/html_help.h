// HTML Help, loaded on demand from the system's help control. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

void InitHtmlHelp(DWORD_PTR& cookie);
void UninitHtmlHelp(DWORD_PTR cookie);
// Opens the help file: the executable's path with the extension ".chm".
void ShowHelpFile();

}  // namespace pelio
