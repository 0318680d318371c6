// An image plug-in for the host's tests. It reads "PTST" files: the magic, then the width, the
// height and the depth (8 or 24) as 32-bit numbers; the pixels are made from their position.
// Variants (compile definitions) misbehave on purpose: NOT_INPUT ("00AM" instead of "00IN"),
// TOP_DOWN (a negative height), FAILS (GetPicture reports an error). Win32.
#include <windows.h>

#include <cstring>

#include "plugins/plugin_abi.h"

namespace {

using namespace pelio::plugin;

struct Header {
    char magic[4];
    DWORD width, height, depth;
};

bool Recognised(const void* bytes) { return std::memcmp(bytes, "PTST", 4) == 0; }

bool ReadHeader(LPCSTR name, Offset offset, Header& h) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    const bool ok = SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                    ReadFile(file, &h, sizeof h, &got, nullptr) && got == sizeof h && Recognised(h.magic) &&
                    (h.depth == 8 || h.depth == 24) && h.width > 0 && h.width < 4096 && h.height > 0 && h.height < 4096;
    CloseHandle(file);
    return ok;
}

int Copy(LPSTR text, int length, const char* value) {
    const int n = static_cast<int>(std::strlen(value));
    if (length <= n) return 0;
    std::memcpy(text, value, size_t(n) + 1);
    return n;
}

}  // namespace

extern "C" {

__declspec(dllexport) int WINAPI GetPluginInfo(int number, LPSTR text, int length) {
    switch (number) {
#ifdef NOT_INPUT
    case 0: return Copy(text, length, "00AM");
#else
    case 0: return Copy(text, length, "00IN");
#endif
    case 1: return Copy(text, length, "Test plug-in");
    case 2: return Copy(text, length, "*.PTS;*.jpg");
    case 3: return Copy(text, length, "Test pictures");
    case 4: return Copy(text, length, "*.pt2");
    case 5: return Copy(text, length, "More test pictures");
    }
    return 0;
}

__declspec(dllexport) int WINAPI IsSupported(LPCSTR, FirstBytes first) {
    return first && Recognised(reinterpret_cast<const void*>(first)) ? 1 : 0;
}

__declspec(dllexport) int WINAPI GetPictureInfo(LPCSTR name, Offset offset, unsigned flag, PictureInfo* info) {
    Header h;
    if (flag != 0 || !ReadHeader(name, offset, h)) return kUnknownFormat;
    *info = PictureInfo{};
    info->width = static_cast<LONG>(h.width);
    info->height = static_cast<LONG>(h.height);
    info->colourDepth = 32;  // what the "file" claims; the picture comes as h.depth
    info->textInfo = GlobalAlloc(GMEM_MOVEABLE, 16);
    return kOk;
}

__declspec(dllexport) int WINAPI GetPicture(LPCSTR name, Offset offset, unsigned flag, HLOCAL* infoOut, HLOCAL* bitsOut,
                                            ProgressFn progress, LONG_PTR data) {
    Header h;
    if (flag != 0 || !ReadHeader(name, offset, h)) return kUnknownFormat;
#ifdef FAILS
    return kBroken;
#endif
    if (progress && progress(0, 1, data)) return kCancelled;
    const DWORD entries = h.depth == 8 ? 256 : 0;
    const DWORD stride = (h.width * h.depth / 8 + 3) & ~3u;
    HLOCAL info = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4 * entries);
    HLOCAL bits = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, stride * h.height);
    if (!info || !bits) {
        if (info) LocalFree(info);
        if (bits) LocalFree(bits);
        return kNoMemory;
    }
    auto* bi = static_cast<BITMAPINFO*>(LocalLock(info));
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = static_cast<LONG>(h.width);
#ifdef TOP_DOWN
    bi->bmiHeader.biHeight = -static_cast<LONG>(h.height);
#else
    bi->bmiHeader.biHeight = static_cast<LONG>(h.height);
#endif
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(h.depth);
    for (DWORD i = 0; i < entries; ++i) bi->bmiColors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    LocalUnlock(info);
    auto* p = static_cast<BYTE*>(LocalLock(bits));
    for (DWORD y = 0; y < h.height; ++y)
        for (DWORD x = 0; x < h.width * h.depth / 8; ++x) p[y * stride + x] = static_cast<BYTE>(x * 7 + y * 13);
    LocalUnlock(bits);
    *infoOut = info;
    *bitsOut = bits;
    return kOk;
}

__declspec(dllexport) int WINAPI ConfigurationDlg(HWND, int) { return kNotImplemented; }

}  // extern "C"
