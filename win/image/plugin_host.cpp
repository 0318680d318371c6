// Image plug-in host. Win32.
#include "win/image/plugin_host.h"

#include <algorithm>
#include <string>

#include "core/image/plugin_bitmap.h"
#include "plugins/plugin_abi.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

using namespace plugin;

// The file's first bytes IsSupported sees, at offset 0 and at 128.
constexpr DWORD kHeadBytes = kFirstBytes + 128;

// A plug-in library, freed when this goes; the system shows no error box while it loads.
class Library {
public:
    explicit Library(const std::wstring& path) {
        DWORD old = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old);
        module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        SetThreadErrorMode(old, nullptr);
    }
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    template <class Fn>
    Fn Find(const char* name) const {
        return module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

std::wstring FromAnsi(const char* text, int length) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring wide(size_t(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), n);
    return wide;
}

// A path in the ANSI code page; false when a character has no ANSI form.
bool ToAnsi(const std::wstring& path, std::string& out) {
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) return false;
    out.assign(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, out.data(), n, nullptr, &lost);
    out.resize(size_t(n - 1));
    return !lost;
}

// The name a plug-in is given for a file: the path in ANSI, or its short form where the path
// has characters outside the code page.
bool PluginFileName(const std::wstring& path, std::string& out) {
    if (ToAnsi(path, out)) return true;
    wchar_t shortPath[MAX_PATH];
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return n > 0 && n < MAX_PATH && ToAnsi(shortPath, out);
}

// Information number `number` of a plug-in, converted from ANSI; empty when it gives none.
std::wstring Information(GetPluginInfoFn info, int number) {
    char text[1024] = "";
    const int n = info(number, text, static_cast<int>(sizeof text));
    if (n <= 0) return {};
    return FromAnsi(text, static_cast<int>(std::min<size_t>(size_t(n), strnlen(text, sizeof text))));
}

bool IsInputPlugin(const Library& library) {
    const auto info = library.Find<GetPluginInfoFn>("GetPluginInfo");
    return info && Information(info, 0).rfind(L"00IN", 0) == 0;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && folder.back() != L'\\' && folder.back() != L'/' ? folder + L"\\" + name : folder + name;
}

// Every input plug-in of the folder, until `visit` returns false or 100 were seen.
template <class Visit>
void ForEachPlugin(const std::wstring& folder, Visit visit) {
    if (folder.empty()) return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Join(folder, kPluginFiles).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    size_t seen = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        Library library(Join(folder, found.cFileName));
        if (!IsInputPlugin(library)) continue;
        ++seen;
        if (!visit(library, std::wstring(found.cFileName))) break;
    } while (seen < kPluginListLimit && FindNextFileW(find, &found));
    FindClose(find);
}

int WINAPI KeepGoing(int, int, LONG_PTR) { return 0; }

// A locked local-memory block as bytes.
class Locked {
public:
    explicit Locked(HLOCAL block) : block_(block), data_(block ? LocalLock(block) : nullptr) {}
    ~Locked() {
        if (data_) LocalUnlock(block_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    std::span<const uint8_t> Bytes() const {
        return data_ ? std::span<const uint8_t>(static_cast<const uint8_t*>(data_), LocalSize(block_))
                     : std::span<const uint8_t>();
    }

private:
    HLOCAL block_;
    void* data_;
};

// The two blocks GetPicture hands over, freed on every path.
struct PictureBlocks {
    HLOCAL info = nullptr, bits = nullptr;
    PictureBlocks() = default;
    PictureBlocks(const PictureBlocks&) = delete;
    PictureBlocks& operator=(const PictureBlocks&) = delete;
    ~PictureBlocks() {
        if (info) LocalFree(info);
        if (bits) LocalFree(bits);
    }
};

// The head of the file (zero-filled after its end), its size and its time; false when
// nothing can be read.
struct FileHead {
    uint8_t bytes[kHeadBytes] = {};
    int32_t size = 0;
    uint64_t time = 0;
};
bool ReadHead(const std::wstring& path, FileHead& head) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    FILETIME written{};
    DWORD got = 0;
    const bool ok = GetFileSizeEx(file, &size) && GetFileTime(file, nullptr, nullptr, &written) &&
                    ReadFile(file, head.bytes, kHeadBytes, &got, nullptr) && got > 0;
    CloseHandle(file);
    head.size = static_cast<int32_t>(std::min<LONGLONG>(size.QuadPart, INT32_MAX));
    head.time = uint64_t{written.dwLowDateTime} | uint64_t{written.dwHighDateTime} << 32;
    return ok;
}

// The chosen plug-in's picture.
bool Decode(const Library& library, const std::string& name, Offset offset, PixelAllocator& allocator, Image& image) {
    const auto getPicture = library.Find<GetPictureFn>("GetPicture");
    if (!getPicture) return false;
    int depth = 0;
    if (const auto getInfo = library.Find<GetPictureInfoFn>("GetPictureInfo")) {
        PictureInfo info{};
        if (getInfo(name.c_str(), offset, 0, &info) == kOk) {
            depth = info.colourDepth;
            if (info.textInfo) GlobalFree(info.textInfo);
        }
    }
    PictureBlocks blocks;
    if (getPicture(name.c_str(), offset, 0, &blocks.info, &blocks.bits, KeepGoing, 0) != kOk) return false;
    const Locked info(blocks.info), bits(blocks.bits);
    int bitCount = 0;
    if (!DecodePluginBitmap(info.Bytes(), bits.Bytes(), allocator, image, bitCount)) return false;
    image.sourceBits = depth ? depth : bitCount;
    return true;
}

}  // namespace

std::vector<std::wstring> PluginNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ForEachPlugin(folder, [&](const Library&, const std::wstring& name) {
        names.push_back(name);
        return true;
    });
    return names;
}

std::vector<std::wstring> PluginPatterns(const std::wstring& folder) {
    std::vector<std::wstring> patterns;
    ForEachPlugin(folder, [&](const Library& library, const std::wstring&) {
        const auto info = library.Find<GetPluginInfoFn>("GetPluginInfo");
        for (int n = 2; patterns.size() < kPluginListLimit; n += 2) {
            const std::wstring text = Information(info, n);
            if (text.empty()) break;
            AddPluginPatterns(text, patterns);
        }
        return patterns.size() < kPluginListLimit;
    });
    return patterns;
}

PluginDescription DescribePluginFile(const std::wstring& folder, const std::wstring& name) {
    Library library(Join(folder, name));
    const auto info = library.Find<GetPluginInfoFn>("GetPluginInfo");
    std::vector<std::wstring> texts;
    for (int n = 2; info; ++n) {
        std::wstring text = Information(info, n);
        if (text.empty()) break;
        texts.push_back(std::move(text));
    }
    return DescribePlugin(texts);
}

void ShowPluginSettings(const std::wstring& folder, const std::wstring& name, HWND owner) {
    Library library(Join(folder, name));
    if (const auto dialog = library.Find<ConfigurationDlgFn>("ConfigurationDlg")) dialog(owner, 1);
}

bool DecodeWithPlugins(const std::wstring& path, PixelAllocator& allocator, DecodeResult& result) {
    const std::wstring& folder = App().settings.path.spi;
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    FileHead head;
    std::string name;
    if (!ReadHead(path, head) || !PluginFileName(path, name)) return false;
    bool decoded = false;
    ForEachPlugin(folder, [&](const Library& library, const std::wstring&) {
        const auto isSupported = library.Find<IsSupportedFn>("IsSupported");
        if (!isSupported) return true;
        Offset offset = 0;
        if (!isSupported(name.c_str(), reinterpret_cast<FirstBytes>(head.bytes))) {
            if (!isSupported(name.c_str(), reinterpret_cast<FirstBytes>(head.bytes + 128))) return true;
            offset = 128;
        }
        decoded = Decode(library, name, offset, allocator, result.image);
        return false;
    });
    if (!decoded) return false;
    result.image.format = ImageFormat::Unknown;
    result.image.fileSize = head.size;
    result.image.fileTime = head.time;
    return true;
}

}  // namespace pelio
