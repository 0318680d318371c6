// Shortcut resolution through the shell-link object. Win32.
#include "win/shell/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shellapi.h>

namespace pelio {

namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
};

}  // namespace

bool IsShortcut(const std::wstring& path) {
    SHFILEINFOW info{};
    return SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ATTRIBUTES) &&
           (info.dwAttributes & SFGAO_LINK);
}

std::wstring ResolveShortcut(const std::wstring& path) {
    if (!IsShortcut(path)) return path;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))))
        return path;
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path.c_str(), STGM_READ)))
        return path;
    wchar_t target[MAX_PATH];
    if (FAILED(link.p->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY)) || !target[0]) return path;
    return target;
}

}  // namespace pelio
