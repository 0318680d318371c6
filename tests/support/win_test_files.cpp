// Files and folders for the Windows tests. Win32.
#include "tests/support/win_test_files.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "tests/support/sample_image.h"

namespace pelio::test {

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"pelio-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void WriteBinaryFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
}

void WriteSampleBmp(const std::wstring& path, int w, int h, int depth) {
    WriteBinaryFile(path, SampleBmpFile(w, h, depth));
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileW(child.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

std::wstring ReadTextFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::vector<char> bytes(GetFileSize(h, nullptr));
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    if (got >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (got - 2) / 2);
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(got), nullptr, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(got), text.data(), n);
    return text;
}

void WriteTextFile(const std::wstring& path, const std::wstring& text) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    const wchar_t bom = 0xFEFF;
    WriteFile(h, &bom, 2, &put, nullptr);
    WriteFile(h, text.data(), static_cast<DWORD>(text.size() * 2), &put, nullptr);
    CloseHandle(h);
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring AppDataFolder() {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

bool RecycleBinHolds(const std::wstring& name) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct ComScope {
        bool owned;
        ~ComScope() {
            if (owned) CoUninitialize();
        }
    } scope{SUCCEEDED(com)};
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return false;
    PIDLIST_ABSOLUTE binId = nullptr;
    IShellFolder* bin = nullptr;
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binId)) &&
        SUCCEEDED(desktop->BindToObject(binId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bin)))) {
        IEnumIDList* items = nullptr;
        if (bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK) {
            PITEMID_CHILD item = nullptr;
            while (!found && items->Next(1, &item, nullptr) == S_OK) {
                STRRET ret;
                wchar_t display[MAX_PATH];
                if (SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &ret)) &&
                    SUCCEEDED(StrRetToBufW(&ret, item, display, MAX_PATH))) {
                    std::wstring shown = display;
                    found = shown.size() >= name.size() &&
                            shown.compare(shown.size() - name.size(), name.size(), name) == 0;
                    if (!found && SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_INFOLDER, &ret)) &&
                        SUCCEEDED(StrRetToBufW(&ret, item, display, MAX_PATH)))
                        found = name == display;
                }
                CoTaskMemFree(item);
            }
            items->Release();
        }
        bin->Release();
    }
    if (binId) CoTaskMemFree(binId);
    desktop->Release();
    return found;
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
}

}  // namespace pelio::test
