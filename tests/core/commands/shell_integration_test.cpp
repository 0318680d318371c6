// File types of the associations, the open command and the quoting of paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands/shell_integration.h"

namespace pelio {
namespace {

using Strings = std::vector<std::wstring>;
Strings Of(std::span<const wchar_t* const> list) { return Strings(list.begin(), list.end()); }

TEST(ShellIntegration, ExtensionsPerType) {
    const Strings expected[kFileTypeCount] = {{L".bmp"}, {L".png"}, {L".jpg", L".jpe", L".jpeg"}, {L".gif"},
                                              {L".tif", L".tiff"}};
    for (int t = 0; t < kFileTypeCount; ++t) EXPECT_EQ(Of(FileTypeExtensions(t)), expected[t]) << t;
    EXPECT_TRUE(FileTypeExtensions(-1).empty() && FileTypeExtensions(kFileTypeCount).empty());
    EXPECT_EQ(Of(AssociationExtensions()),
              (Strings{L".bmp", L".png", L".jpg", L".jpe", L".jpeg", L".gif", L".tif", L".tiff"}));
}

TEST(ShellIntegration, QuotingAndOpenCommand) {
    EXPECT_EQ(QuoteIfBlank(L"C:\\Pelio\\Pelio.exe"), L"C:\\Pelio\\Pelio.exe");
    EXPECT_EQ(QuoteIfBlank(L"C:\\My Pictures\\a b.png"), L"\"C:\\My Pictures\\a b.png\"");
    EXPECT_EQ(QuoteIfBlank(L"C:\\写真　全角.png"), L"C:\\写真　全角.png");  // not a blank to the shell
    EXPECT_EQ(OpenCommand(L"C:\\Pelio\\Pelio.exe"), L"C:\\Pelio\\Pelio.exe \"%1\"");
    EXPECT_EQ(OpenCommand(L"C:\\Program Files\\Pelio.exe"), L"\"C:\\Program Files\\Pelio.exe\" \"%1\"");
}

TEST(ShellIntegration, CommandsThatNameThisProgram) {
    const std::wstring program = L"C:\\Program Files\\Pelio\\Pelio.exe";
    struct Case {
        const wchar_t* command;
        const wchar_t* program;
        bool names;
    } cases[] = {
        {L"\"C:\\Program Files\\Pelio\\Pelio.exe\" \"%1\"", L"C:\\Program Files\\Pelio\\Pelio.exe", true},
        {L"\"C:\\Program Files\\Pelio\\Pelio.exe\"", L"C:\\Program Files\\Pelio\\Pelio.exe", true},
        {L"C:\\Program Files\\Pelio\\Pelio.exe \"%1\"", L"C:\\Program", false},  // unquoted blanks end it
        {L"C:\\Pelio\\Pelio.exe %1 /v", L"C:\\Pelio\\Pelio.exe", false},
        {L"\"C:\\Program Files\\Pelio\\Pelio.exe", L"\"C:\\Program Files\\Pelio\\Pelio.exe", false},
        {L"\"\"", L"", false},
        {L"", L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandProgram(c.command), c.program) << c.command;
        EXPECT_EQ(CommandNamesProgram(c.command, program), c.names) << c.command;
    }
    EXPECT_FALSE(CommandNamesProgram(L"", L""));

    EXPECT_TRUE(ApplicationNamesProgram(L"Pelio.exe", program));
    EXPECT_TRUE(ApplicationNamesProgram(program, program));
    EXPECT_FALSE(ApplicationNamesProgram(L"other.exe", program));
    EXPECT_FALSE(ApplicationNamesProgram(L"", L""));
}

}  // namespace
}  // namespace pelio
