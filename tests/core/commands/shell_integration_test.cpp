// File types of the associations, the open command and the quoting of paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/commands/shell_integration.h"

namespace pelio {
namespace {

std::vector<std::wstring> Strings(std::span<const wchar_t* const> list) {
    return std::vector<std::wstring>(list.begin(), list.end());
}

TEST(ShellIntegration, ExtensionsPerType) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(Strings(FileTypeExtensions(kFileTypeBmp)), V{L".bmp"});
    EXPECT_EQ(Strings(FileTypeExtensions(kFileTypePng)), V{L".png"});
    EXPECT_EQ(Strings(FileTypeExtensions(kFileTypeJpeg)), (V{L".jpg", L".jpe", L".jpeg"}));
    EXPECT_EQ(Strings(FileTypeExtensions(kFileTypeGif)), V{L".gif"});
    EXPECT_EQ(Strings(FileTypeExtensions(kFileTypeTiff)), (V{L".tif", L".tiff"}));
    EXPECT_TRUE(FileTypeExtensions(-1).empty());
    EXPECT_TRUE(FileTypeExtensions(kFileTypeCount).empty());
    // Every type's extensions together are the whole list, each once.
    V all;
    for (int t = 0; t < kFileTypeCount; ++t)
        for (const wchar_t* e : FileTypeExtensions(t)) all.push_back(e);
    std::sort(all.begin(), all.end());
    V list = Strings(AssociationExtensions());
    std::sort(list.begin(), list.end());
    EXPECT_EQ(all, list);
    EXPECT_EQ(list.size(), 8u);
}

TEST(ShellIntegration, QuotingAndOpenCommand) {
    struct Case {
        const wchar_t* path;
        const wchar_t* quoted;
        const wchar_t* command;
    } cases[] = {
        {L"C:\\Pelio\\Pelio.exe", L"C:\\Pelio\\Pelio.exe", L"C:\\Pelio\\Pelio.exe \"%1\""},
        {L"C:\\Program Files\\Pelio.exe", L"\"C:\\Program Files\\Pelio.exe\"",
         L"\"C:\\Program Files\\Pelio.exe\" \"%1\""},
        {L"C:\\a\tb.png", L"\"C:\\a\tb.png\"", L"\"C:\\a\tb.png\" \"%1\""},
        {L"C:\\写真　全角.png", L"C:\\写真　全角.png", L"C:\\写真　全角.png \"%1\""},  // not a blank
        {L"", L"", L" \"%1\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteIfBlank(c.path), c.quoted) << c.path;
        EXPECT_EQ(OpenCommand(c.path), c.command) << c.path;
    }
}

TEST(ShellIntegration, ProgramOfACommand) {
    struct Case {
        const wchar_t* command;
        const wchar_t* program;
    } cases[] = {
        {L"\"C:\\Program Files\\Pelio\\Pelio.exe\" \"%1\"", L"C:\\Program Files\\Pelio\\Pelio.exe"},
        {L"C:\\Pelio\\Pelio.exe \"%1\"", L"C:\\Pelio\\Pelio.exe"},
        {L"C:\\Pelio\\Pelio.exe %1 /v", L"C:\\Pelio\\Pelio.exe"},
        {L"C:\\Pelio\\Pelio.exe", L"C:\\Pelio\\Pelio.exe"},
        {L"\"C:\\Pelio\\Pelio.exe\"", L"C:\\Pelio\\Pelio.exe"},
        {L"C:\\Program Files\\Pelio.exe \"%1\"", L"C:\\Program"},  // unquoted blanks end the program
        {L"\"C:\\Program Files\\Pelio.exe", L"\"C:\\Program Files\\Pelio.exe"},  // an unclosed quote
        {L"\"", L"\""},
        {L"\"\"", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandProgram(c.command), c.program) << c.command;
}

TEST(ShellIntegration, WhatNamesThisProgram) {
    const std::wstring program = L"C:\\Program Files\\Pelio\\Pelio.exe";
    EXPECT_TRUE(CommandNamesProgram(OpenCommand(program), program));
    EXPECT_TRUE(CommandNamesProgram(L"\"C:\\Program Files\\Pelio\\Pelio.exe\"", program));
    EXPECT_FALSE(CommandNamesProgram(L"\"C:\\Program Files\\Other\\Pelio.exe\" \"%1\"", program));
    EXPECT_FALSE(CommandNamesProgram(L"C:\\Program Files\\Pelio\\Pelio.exe \"%1\"", program));
    EXPECT_FALSE(CommandNamesProgram(L"", L""));
    EXPECT_FALSE(CommandNamesProgram(L" \"%1\"", L""));

    EXPECT_TRUE(ApplicationNamesProgram(L"Pelio.exe", program));
    EXPECT_TRUE(ApplicationNamesProgram(program, program));
    EXPECT_FALSE(ApplicationNamesProgram(L"other.exe", program));
    EXPECT_FALSE(ApplicationNamesProgram(L"", L""));
    EXPECT_FALSE(ApplicationNamesProgram(L"\"" + program + L"\"", program));
}

}  // namespace
}  // namespace pelio
