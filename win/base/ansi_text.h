// Text exchanged with files in the system ANSI code page. Win32.
#pragma once
#include <string>
#include <string_view>

namespace pelio {

// The text in UTF-16; a lead byte without its second byte at the end is dropped.
std::wstring FromAnsi(std::string_view text);
std::wstring FromAnsiText(const std::string& text);  // the same, for callbacks

// A comment for a file: the text in the ANSI code page, cut to 10000 bytes before any
// double-byte character that would not fit whole.
std::string CommentToAnsi(const std::wstring& text);

}  // namespace pelio
