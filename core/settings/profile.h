// The key/value store behind the settings: private-profile semantics over any backing. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelio {

// Reads and writes one INI file. The shell backs it with the private-profile functions,
// tests with memory. Section and key names compare case-insensitively.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The integer at `key`, or `def` when the key is missing or empty.
    virtual int ReadInt(const wchar_t* section, const wchar_t* key, int def) = 0;
    // The string at `key` (at most kMaxProfileString characters), or `def` when missing.
    virtual std::wstring ReadString(const wchar_t* section, const wchar_t* key,
                                    const wchar_t* def) = 0;
    // Fills `data` from a struct written by WriteStruct; false (and `data` untouched) when the
    // key is missing or its size or checksum does not match.
    virtual bool ReadStruct(const wchar_t* section, const wchar_t* key, void* data,
                            size_t size) = 0;

    virtual void WriteString(const wchar_t* section, const wchar_t* key,
                             const std::wstring& value) = 0;
    virtual void WriteStruct(const wchar_t* section, const wchar_t* key, const void* data,
                             size_t size) = 0;
    virtual void DeleteSection(const wchar_t* section) = 0;

    void WriteInt(const wchar_t* section, const wchar_t* key, int value) {
        WriteString(section, key, std::to_wstring(value));
    }
};

// Longest string value kept (a 260-unit buffer with its terminator).
inline constexpr size_t kMaxProfileString = 259;
// An integer is read through a 30-unit buffer, so only its first 29 characters count.
inline constexpr size_t kMaxProfileIntText = 29;

// Converts profile text to an integer the way the profile functions do: leading blanks and
// control characters skipped, one optional sign, a "0x", "0o" or "0b" prefix selects the base,
// digits are taken until the first character that is not one, and the sum wraps at 32 bits.
int ParseProfileInt(std::wstring_view text);

// The text form of a profile struct: two upper-case hex digits per byte, then the byte sum
// modulo 256 as two more.
std::wstring EncodeProfileStruct(const void* data, size_t size);
// The reverse; false when the length, a digit or the checksum is wrong.
bool DecodeProfileStruct(std::wstring_view text, void* data, size_t size);

}  // namespace pelio
