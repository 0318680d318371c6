// The settings file: where it lives, and the profile store over the private-profile functions. Win32.
#pragma once
#include <windows.h>

#include <string>

#include "core/settings/profile.h"

namespace pelio {

inline constexpr wchar_t kIniFileName[] = L"Pelio.ini";

// "Pelio.ini" beside the executable when it exists there; otherwise <AppData>\Pelio\Pelio.ini
// (the folder created); the executable's folder again when the AppData folder is unknown.
std::wstring ResolveIniPath(const std::wstring& exeFolder);

class IniStore final : public ProfileStore {
public:
    explicit IniStore(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    int ReadInt(const wchar_t* section, const wchar_t* key, int def) override;
    std::wstring ReadString(const wchar_t* section, const wchar_t* key,
                            const wchar_t* def) override;
    bool ReadStruct(const wchar_t* section, const wchar_t* key, void* data,
                    size_t size) override;
    void WriteString(const wchar_t* section, const wchar_t* key,
                     const std::wstring& value) override;
    void WriteStruct(const wchar_t* section, const wchar_t* key, const void* data,
                     size_t size) override;
    void DeleteSection(const wchar_t* section) override;

private:
    std::wstring path_;
};

}  // namespace pelio
