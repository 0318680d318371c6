// INI file location and private-profile access. Win32.
#include "win/base/ini_store.h"

#include <shlobj.h>

#include "win/base/paths.h"

namespace pelio {

std::wstring ResolveIniPath(const std::wstring& exeFolder) {
    std::wstring beside = exeFolder + L"\\" + kIniFileName;
    if (FileExists(beside)) return beside;
    wchar_t appData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return beside;
    std::wstring folder = std::wstring(appData) + L"\\Pelio";
    if (!IsDirectory(folder)) CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + kIniFileName;
    return path.size() < MAX_PATH ? path : beside;
}

int IniStore::ReadInt(const wchar_t* section, const wchar_t* key, int def) {
    return static_cast<int>(GetPrivateProfileIntW(section, key, def, path_.c_str()));
}

std::wstring IniStore::ReadString(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* def) {
    wchar_t buf[MAX_PATH];
    DWORD n = GetPrivateProfileStringW(section, key, def ? def : L"", buf, MAX_PATH, path_.c_str());
    return std::wstring(buf, n);
}

bool IniStore::ReadStruct(const wchar_t* section, const wchar_t* key, void* data, size_t size) {
    return GetPrivateProfileStructW(section, key, data, static_cast<UINT>(size), path_.c_str());
}

void IniStore::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str());
}

void IniStore::WriteStruct(const wchar_t* section, const wchar_t* key, const void* data,
                           size_t size) {
    WritePrivateProfileStructW(section, key, const_cast<void*>(data), static_cast<UINT>(size),
                               path_.c_str());
}

void IniStore::DeleteSection(const wchar_t* section) {
    WritePrivateProfileStringW(section, nullptr, nullptr, path_.c_str());
}

}  // namespace pelio
