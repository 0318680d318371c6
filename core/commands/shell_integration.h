// The rules behind the program's links with the desktop shell: the file types it can be
// associated with, the open command it registers and how paths are passed on. Portable.
#pragma once
#include <span>
#include <string>

namespace pelio {

// The executable's file name as the shell's association values name it.
inline constexpr wchar_t kExecutableFileName[] = L"Pelio.exe";

// The association check boxes, in their order on the page.
enum FileType : int { kFileTypeBmp, kFileTypePng, kFileTypeJpeg, kFileTypeGif, kFileTypeTiff };
inline constexpr int kFileTypeCount = 5;

// The extensions (with the dot) of a type; the first stands for the type.
std::span<const wchar_t* const> FileTypeExtensions(int type);
// Every extension of every type.
std::span<const wchar_t* const> AssociationExtensions();

// `path` in double quotation marks when it contains a blank; as it is otherwise.
std::wstring QuoteIfBlank(const std::wstring& path);

// The command that opens a file with the program: its path (quoted when it has blanks), a
// blank and "%1" in double quotation marks.
std::wstring OpenCommand(const std::wstring& programPath);

// The program part of a command: cut at the first blank outside quotation marks, then the
// enclosing quotation marks taken away.
std::wstring CommandProgram(const std::wstring& command);

// Whether a command starts `programPath`.
bool CommandNamesProgram(const std::wstring& command, const std::wstring& programPath);

// Whether an "Application" value of an extension names this program: its file name or its
// full path.
bool ApplicationNamesProgram(const std::wstring& value, const std::wstring& programPath);

}  // namespace pelio
