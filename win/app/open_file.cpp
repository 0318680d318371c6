// Opening a file from outside. Win32.
#include "win/app/open_file.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shellapi.h>

#include "core/settings/messages.h"
#include "win/app/app_state.h"
#include "win/app/message_box.h"
#include "win/app/paths.h"

namespace pelio {

namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
};

// Decoding arrives with the image core; until then no file can be shown.
bool LoadAndShow(const std::wstring&) { return false; }

}  // namespace

std::wstring ResolveShellLink(const std::wstring& path) {
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ATTRIBUTES) ||
        !(info.dwAttributes & SFGAO_LINK))
        return path;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))))
        return path;
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path.c_str(), STGM_READ)))
        return path;
    wchar_t target[MAX_PATH];
    if (FAILED(link.p->GetPath(target, MAX_PATH, nullptr, 0)) || !target[0]) return path;
    return target;
}

bool OpenFileFromShell(const std::wstring& path) {
    AppState& app = App();
    if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
    std::wstring target = ResolveShellLink(LongPath(path));
    if (LoadAndShow(target)) return true;
    ShowGeneralError(kErrShowImage);
    return false;
}

}  // namespace pelio
