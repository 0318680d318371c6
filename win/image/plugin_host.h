// Image plug-ins in the plug-in folder: listing them and their patterns, describing one,
// loading a file through them, their settings dialog. Win32.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/image/image.h"
#include "core/image/plugin_bitmap.h"

namespace pelio {

// The input plug-ins of `folder` (file names), in the order the system lists them, at most 100.
std::vector<std::wstring> PluginNames(const std::wstring& folder);
// Their file patterns for the open dialog, in lower case, without the built-in formats' and
// without repeats, at most 100.
std::vector<std::wstring> PluginPatterns(const std::wstring& folder);
// One plug-in's patterns and descriptions joined (empty when it gives none).
PluginDescription DescribePluginFile(const std::wstring& folder, const std::wstring& name);
// Its settings dialog, where it has one.
void ShowPluginSettings(const std::wstring& folder, const std::wstring& name, HWND owner);

// Offers a file to the plug-ins of the plug-in folder setting, when that is a folder; the first
// that recognises it decodes it. False (no message, no error code) when none can.
bool DecodeWithPlugins(const std::wstring& path, PixelAllocator& allocator, DecodeResult& result);

}  // namespace pelio
