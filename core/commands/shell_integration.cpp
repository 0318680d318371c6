// File types, open command and path quoting for the shell links. Portable.
#include "core/commands/shell_integration.h"

namespace pelio {

namespace {

constexpr const wchar_t* kExtensions[] = {L".bmp", L".png", L".jpg", L".jpe", L".jpeg", L".gif", L".tif", L".tiff"};

struct TypeRange {
    int first, count;
};
constexpr TypeRange kTypes[kFileTypeCount] = {{0, 1}, {1, 1}, {2, 3}, {5, 1}, {6, 2}};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::span<const wchar_t* const> FileTypeExtensions(int type) {
    if (type < 0 || type >= kFileTypeCount) return {};
    return std::span<const wchar_t* const>(kExtensions).subspan(kTypes[type].first, kTypes[type].count);
}

std::span<const wchar_t* const> AssociationExtensions() { return kExtensions; }

std::wstring QuoteIfBlank(const std::wstring& path) {
    for (wchar_t c : path)
        if (IsBlank(c)) return L"\"" + path + L"\"";
    return path;
}

std::wstring OpenCommand(const std::wstring& programPath) {
    return QuoteIfBlank(programPath) + L" \"%1\"";
}

std::wstring CommandProgram(const std::wstring& command) {
    bool quoted = false;
    size_t end = 0;
    for (; end < command.size(); ++end) {
        if (command[end] == L'"') quoted = !quoted;
        else if (command[end] == L' ' && !quoted) break;
    }
    std::wstring program = command.substr(0, end);
    if (program.size() >= 2 && program.front() == L'"' && program.back() == L'"')
        program = program.substr(1, program.size() - 2);
    return program;
}

bool CommandNamesProgram(const std::wstring& command, const std::wstring& programPath) {
    return !programPath.empty() && CommandProgram(command) == programPath;
}

bool ApplicationNamesProgram(const std::wstring& value, const std::wstring& programPath) {
    return value == kExecutableFileName || (!programPath.empty() && value == programPath);
}

}  // namespace pelio
