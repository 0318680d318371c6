// In-memory profile store. Portable.
#include "core/settings/memory_profile.h"

#include <algorithm>
#include <cstdint>

namespace pelio {

namespace {

wchar_t FoldCase(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

std::wstring_view Trim(std::wstring_view s) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

void MemoryProfile::Parse(std::wstring_view text) {
    sections_.clear();
    size_t current = SIZE_MAX;
    while (!text.empty()) {
        size_t end = text.find(L'\n');
        std::wstring_view line = Trim(text.substr(0, end));
        text = end == std::wstring_view::npos ? std::wstring_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == L';') continue;
        if (line.front() == L'[') {
            size_t close = line.find(L']');
            current = SectionIndex(Trim(line.substr(1, close == std::wstring_view::npos
                                                           ? std::wstring_view::npos
                                                           : close - 1)));
            continue;
        }
        size_t eq = line.find(L'=');
        if (current == SIZE_MAX || eq == std::wstring_view::npos) continue;
        std::wstring_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        Put(sections_[current], key, std::wstring(Trim(line.substr(eq + 1))));
    }
}

std::wstring MemoryProfile::Text() const {
    std::wstring out;
    for (const Section& s : sections_) {
        out += L"[" + s.name + L"]\r\n";
        for (const auto& [key, value] : s.keys) out += key + L"=" + value + L"\r\n";
    }
    return out;
}

const std::wstring* MemoryProfile::Find(std::wstring_view section, std::wstring_view key) const {
    for (const Section& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (const auto& [k, v] : s.keys)
            if (SameName(k, key)) return &v;
    }
    return nullptr;
}

size_t MemoryProfile::SectionIndex(std::wstring_view name) {
    for (size_t i = 0; i < sections_.size(); ++i)
        if (SameName(sections_[i].name, name)) return i;
    sections_.push_back(Section{std::wstring(name), {}});
    return sections_.size() - 1;
}

void MemoryProfile::Put(Section& s, std::wstring_view key, std::wstring value) {
    for (auto& [k, v] : s.keys) {
        if (SameName(k, key)) {
            v = std::move(value);
            return;
        }
    }
    s.keys.emplace_back(std::wstring(key), std::move(value));
}

int MemoryProfile::ReadInt(const wchar_t* section, const wchar_t* key, int def) {
    const std::wstring* v = Find(section, key);
    if (!v || v->empty()) return def;
    return ParseProfileInt(*v);
}

std::wstring MemoryProfile::ReadString(const wchar_t* section, const wchar_t* key,
                                       const wchar_t* def) {
    const std::wstring* v = Find(section, key);
    std::wstring out = v ? *v : std::wstring(def ? def : L"");
    if (out.size() > kMaxProfileString) out.resize(kMaxProfileString);
    return out;
}

bool MemoryProfile::ReadStruct(const wchar_t* section, const wchar_t* key, void* data,
                               size_t size) {
    const std::wstring* v = Find(section, key);
    return v && DecodeProfileStruct(*v, data, size);
}

void MemoryProfile::WriteString(const wchar_t* section, const wchar_t* key,
                                const std::wstring& value) {
    Put(sections_[SectionIndex(section)], key, value);
}

void MemoryProfile::WriteStruct(const wchar_t* section, const wchar_t* key, const void* data,
                                size_t size) {
    WriteString(section, key, EncodeProfileStruct(data, size));
}

void MemoryProfile::DeleteSection(const wchar_t* section) {
    std::erase_if(sections_, [&](const Section& s) { return SameName(s.name, section); });
}

}  // namespace pelio
