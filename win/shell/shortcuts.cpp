// Shortcuts through the shell-link object. Win32.
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

bool MakeLink(ComPtr<IShellLinkW>& link) {
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link.p)));
}

}  // namespace

bool IsShortcut(const std::wstring& path) {
    SHFILEINFOW info{};
    return SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ATTRIBUTES) &&
           (info.dwAttributes & SFGAO_LINK);
}

std::wstring ResolveShortcut(const std::wstring& path) {
    if (!IsShortcut(path)) return path;
    ComPtr<IShellLinkW> link;
    if (!MakeLink(link)) return path;
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path.c_str(), STGM_READ)))
        return path;
    wchar_t target[MAX_PATH];
    if (FAILED(link.p->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY)) || !target[0]) return path;
    return target;
}

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (!MakeLink(link) || FAILED(link.p->SetPath(target.c_str()))) return false;
    const size_t slash = target.find_last_of(L"\\/");
    if (slash != std::wstring::npos) link.p->SetWorkingDirectory(target.substr(0, slash).c_str());
    return SUCCEEDED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) &&
           SUCCEEDED(file.p->Save(linkPath.c_str(), TRUE));
}

}  // namespace pelio
