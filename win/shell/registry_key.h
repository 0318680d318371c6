// A registry key held open for the shell-integration modules; missing keys and values of
// another type read as absent. Win32.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace pelio {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    // An existing key; an empty object when it cannot be opened.
    static RegistryKey Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ);
    // The key, created with its missing parents; an empty object when that fails.
    static RegistryKey Create(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);

    explicit operator bool() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }

    // A string value (`name` null: the default value); nothing when it is missing or not a
    // string.
    std::optional<std::wstring> ReadString(const wchar_t* name) const;
    bool WriteString(const wchar_t* name, const std::wstring& value) const;
    bool DeleteValue(const wchar_t* name) const;
    bool HasSubkey(const wchar_t* name) const;
    // Deletes a subkey with everything below it.
    bool DeleteSubtree(const wchar_t* name) const;

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    HKEY key_ = nullptr;
};

}  // namespace pelio
