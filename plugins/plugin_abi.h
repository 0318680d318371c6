// The calls between Pelio and an image plug-in, for both builds. A 32-bit plug-in ("*.spi")
// takes 32-bit arguments with the standard calling convention; a 64-bit one ("*.sph") takes
// its lengths, offsets and memory handles pointer-sized. Strings are in the ANSI code page.
// Win32.
#pragma once
#include <windows.h>

namespace pelio::plugin {

// A file offset or length as the plug-in takes it.
using Offset = LONG_PTR;
// IsSupported's second argument: the address of the file's first 2048 bytes (a file handle
// when the high bits are 0, which this host never passes).
using FirstBytes = ULONG_PTR;

#pragma pack(push, 1)
// What GetPictureInfo fills in.
struct PictureInfo {
    LONG left, top;
    LONG width, height;
    WORD xDensity, yDensity;
    SHORT colourDepth;
    HLOCAL textInfo;  // global memory the caller frees, or null
};
#pragma pack(pop)

// The progress callback: a non-zero result asks the plug-in to stop.
using ProgressFn = int(WINAPI*)(int done, int total, LONG_PTR data);

using GetPluginInfoFn = int(WINAPI*)(int number, LPSTR text, int length);
using IsSupportedFn = int(WINAPI*)(LPCSTR name, FirstBytes first);
// flag 0: `name` is a file and `offset` where its picture starts (0 or 128).
using GetPictureInfoFn = int(WINAPI*)(LPCSTR name, Offset offset, unsigned flag, PictureInfo* info);
// On success the bitmap information (header and palette) and the pixel bits in local memory,
// which the caller frees.
using GetPictureFn = int(WINAPI*)(LPCSTR name, Offset offset, unsigned flag, HLOCAL* info, HLOCAL* bits,
                                  ProgressFn progress, LONG_PTR data);
using ConfigurationDlgFn = int(WINAPI*)(HWND parent, int function);

// Results of GetPictureInfo and GetPicture.
inline constexpr int kOk = 0;
inline constexpr int kNotImplemented = -1;
inline constexpr int kCancelled = 1;
inline constexpr int kUnknownFormat = 2;
inline constexpr int kBroken = 3;
inline constexpr int kNoMemory = 4;
inline constexpr int kMemoryError = 5;
inline constexpr int kReadError = 6;
inline constexpr int kInternalError = 8;

// The plug-ins of this build's width.
inline constexpr const wchar_t* kPluginFiles = sizeof(void*) == 8 ? L"*.sph" : L"*.spi";
// The first bytes IsSupported is shown.
inline constexpr int kFirstBytes = 2048;

}  // namespace pelio::plugin
