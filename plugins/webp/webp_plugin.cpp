// The WebP plug-in's exports: the host's five calls over the portable decoder. Win32.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "plugins/plugin_abi.h"
#include "plugins/webp/webp_decode.h"

namespace pelio::plugin {
namespace {

// Information numbers 0 to 3; every other number has no text.
constexpr const char* kInfoTexts[] = {"00IN", "Pelio WebP plug-in 1.0", "*.webp", "WebP"};

// A file's bytes from `offset` to its end.
struct FileBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
    std::span<const uint8_t> Span() const { return {data.get(), size}; }
};

struct FileHandle {
    explicit FileHandle(HANDLE handle) : h(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    HANDLE h;
};

int ReadFileBytes(LPCSTR name, Offset offset, FileBytes& out) {
    if (!name || offset < 0) return kReadError;
    FileHandle file{CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    LARGE_INTEGER size;
    if (file.h == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.h, &size)) return kReadError;
    if (size.QuadPart <= offset) return kUnknownFormat;
    // A WebP file's RIFF size is 32 bits: nothing past 4 GiB belongs to the picture.
    const uint64_t length = static_cast<uint64_t>(size.QuadPart - offset);
    if (length > 0xFFFFFFFFu) return kNoMemory;
    LARGE_INTEGER start;
    start.QuadPart = offset;
    if (!SetFilePointerEx(file.h, start, nullptr, FILE_BEGIN)) return kReadError;
    out.data.reset(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (!out.data) return kNoMemory;
    out.size = 0;
    while (out.size < length) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(length - out.size, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.h, out.data.get() + out.size, want, &got, nullptr)) return kReadError;
        if (got == 0) break;
        out.size += got;
    }
    return kOk;
}

int ResultOf(WebpError error) {
    switch (error) {
    case WebpError::None: return kOk;
    case WebpError::NotWebp: return kUnknownFormat;
    case WebpError::Broken: return kBroken;
    case WebpError::NoMemory:
    case WebpError::TooLarge: return kNoMemory;
    case WebpError::SmallBuffer: break;
    }
    return kInternalError;
}

struct LocalBlock {
    explicit LocalBlock(HLOCAL block) : h(block) {}
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    ~LocalBlock() {
        if (h) LocalFree(h);
    }
    HLOCAL Release() { return std::exchange(h, nullptr); }
    HLOCAL h;
};

}  // namespace
}  // namespace pelio::plugin

using namespace pelio;
using namespace pelio::plugin;

extern "C" {

int WINAPI GetPluginInfo(int number, LPSTR text, int length) {
    if (number < 0 || number >= static_cast<int>(std::size(kInfoTexts)) || !text || length <= 0) return 0;
    const int n = static_cast<int>(std::min<size_t>(std::strlen(kInfoTexts[number]), length - 1));
    std::memcpy(text, kInfoTexts[number], n);
    text[n] = '\0';
    return n;
}

int WINAPI IsSupported(LPCSTR, FirstBytes first) {
    // Values without high bits are file handles, which this plug-in does not read.
    if ((first & ~static_cast<FirstBytes>(0xFFFF)) == 0) return 0;
    return IsWebpSignature({reinterpret_cast<const uint8_t*>(first), 12}) ? 1 : 0;
}

int WINAPI GetPictureInfo(LPCSTR name, Offset offset, unsigned flag, PictureInfo* info) {
    if ((flag & 7) != 0) return kNotImplemented;
    if (!info) return kInternalError;
    FileBytes file;
    if (const int r = ReadFileBytes(name, offset, file); r != kOk) return r;
    WebpInfo webp;
    if (const WebpError e = ReadWebpInfo(file.Span(), webp); e != WebpError::None) return ResultOf(e);
    *info = {};
    info->width = webp.width;
    info->height = webp.height;
    info->colourDepth = 24;  // alpha is composited: the host always gets 24 bits
    return kOk;
}

int WINAPI GetPicture(LPCSTR name, Offset offset, unsigned flag, HLOCAL* infoOut, HLOCAL* bitsOut,
                      ProgressFn progress, LONG_PTR data) {
    if ((flag & 7) != 0) return kNotImplemented;
    if (!infoOut || !bitsOut) return kInternalError;
    *infoOut = *bitsOut = nullptr;
    if (progress && progress(0, 1, data)) return kCancelled;
    FileBytes file;
    if (const int r = ReadFileBytes(name, offset, file); r != kOk) return r;
    WebpInfo webp;
    if (const WebpError e = ReadWebpInfo(file.Span(), webp); e != WebpError::None) return ResultOf(e);
    // The block holds the decoder's work (4 bytes a pixel with alpha) and keeps the 24-bit rows.
    const size_t bitsSize = WebpRowBytes(webp.width) * webp.height, work = WebpDecodeBytes(webp);

    LocalBlock header{LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER))};
    LocalBlock bits{LocalAlloc(LMEM_MOVEABLE, work)};
    if (!header.h || !bits.h) return kNoMemory;
    auto* bih = static_cast<BITMAPINFOHEADER*>(LocalLock(header.h));
    auto* pixels = static_cast<uint8_t*>(LocalLock(bits.h));
    if (!bih || !pixels) {
        if (bih) LocalUnlock(header.h);
        if (pixels) LocalUnlock(bits.h);
        return kMemoryError;
    }
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = webp.width;
    bih->biHeight = webp.height;
    bih->biPlanes = 1;
    bih->biBitCount = 24;
    bih->biCompression = BI_RGB;
    bih->biSizeImage = static_cast<DWORD>(bitsSize);
    const WebpError e = DecodeWebp(file.Span(), {pixels, work});
    LocalUnlock(header.h);
    LocalUnlock(bits.h);
    if (e != WebpError::None) return ResultOf(e);
    if (work > bitsSize) {
        // Give back the working space; the block stays valid if it cannot shrink.
        if (HLOCAL shrunk = LocalReAlloc(bits.h, bitsSize, LMEM_MOVEABLE)) bits.h = shrunk;
    }
    if (progress && progress(1, 1, data)) return kCancelled;
    *infoOut = header.Release();
    *bitsOut = bits.Release();
    return kOk;
}

int WINAPI ConfigurationDlg(HWND, int) {
    return kNotImplemented;  // nothing to set
}

}  // extern "C"

// The exports have exactly the host's types.
static_assert(std::is_same_v<decltype(&GetPluginInfo), GetPluginInfoFn>);
static_assert(std::is_same_v<decltype(&IsSupported), IsSupportedFn>);
static_assert(std::is_same_v<decltype(&GetPictureInfo), GetPictureInfoFn>);
static_assert(std::is_same_v<decltype(&GetPicture), GetPictureFn>);
static_assert(std::is_same_v<decltype(&ConfigurationDlg), ConfigurationDlgFn>);
