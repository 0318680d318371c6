// A profile store held in memory, with INI text in and out: for tools, tests and fuzzing. Portable.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settings/profile.h"

namespace pelio {

class MemoryProfile final : public ProfileStore {
public:
    struct Section {
        std::wstring name;
        std::vector<std::pair<std::wstring, std::wstring>> keys;
    };

    MemoryProfile() = default;
    explicit MemoryProfile(std::wstring_view iniText) { Parse(iniText); }

    // Replaces the content with INI text: "[section]" lines, "key=value" lines, ';' comments.
    void Parse(std::wstring_view iniText);
    // The content as INI text, sections and keys in the order they were first written.
    std::wstring Text() const;

    const std::vector<Section>& Sections() const { return sections_; }
    bool Has(const wchar_t* section, const wchar_t* key) const { return Find(section, key); }
    // The stored text of a key, uncut; null when missing.
    const std::wstring* Value(const wchar_t* section, const wchar_t* key) const {
        return Find(section, key);
    }

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
    const std::wstring* Find(std::wstring_view section, std::wstring_view key) const;
    size_t SectionIndex(std::wstring_view name);  // appends a new section when missing
    static void Put(Section& s, std::wstring_view key, std::wstring value);

    std::vector<Section> sections_;
};

}  // namespace pelio
