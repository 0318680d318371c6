// Registry keys and string values. Win32.
#include "win/shell/registry_key.h"

#include <shlwapi.h>

#include <vector>

namespace pelio {

RegistryKey::~RegistryKey() {
    if (key_) RegCloseKey(key_);
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        if (key_) RegCloseKey(key_);
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

RegistryKey RegistryKey::Open(HKEY parent, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegOpenKeyExW(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return RegistryKey(key);
}

RegistryKey RegistryKey::Create(HKEY parent, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (!parent || RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                   &key, nullptr) != ERROR_SUCCESS)
        return {};
    return RegistryKey(key);
}

std::optional<std::wstring> RegistryKey::ReadString(const wchar_t* name) const {
    if (!key_) return std::nullopt;
    // The value may change between the size query and the read: try again a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = size;
        const LONG status = RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        // Stored strings need not end with a terminator: stop at the first one or at the end.
        const size_t count = read / sizeof(wchar_t);
        size_t length = 0;
        while (length < count && text[length]) ++length;
        return std::wstring(text.data(), length);
    }
    return std::nullopt;
}

bool RegistryKey::WriteString(const wchar_t* name, const std::wstring& value) const {
    if (!key_) return false;
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const wchar_t* name) const {
    return key_ && RegDeleteValueW(key_, name) == ERROR_SUCCESS;
}

bool RegistryKey::HasSubkey(const wchar_t* name) const {
    return static_cast<bool>(Open(key_, name, KEY_READ));
}

bool RegistryKey::DeleteSubtree(const wchar_t* name) const {
    return key_ && SHDeleteKeyW(key_, name) == ERROR_SUCCESS;
}

}  // namespace pelio
