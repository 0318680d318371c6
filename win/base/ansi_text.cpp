// ANSI code page conversions. Win32.
#include "win/base/ansi_text.h"

#include <windows.h>

#include "core/image/comment_text.h"

namespace pelio {

namespace {

bool AnsiLeadByte(uint8_t byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

std::wstring FromAnsi(std::string_view text) {
    text = text.substr(0, AnsiCutLength(text, text.size(), AnsiLeadByte));
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::wstring FromAnsiText(const std::string& text) { return FromAnsi(text); }

std::string CommentToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), n, nullptr, nullptr);
    ansi.resize(AnsiCutLength(ansi, kCommentByteLimit, AnsiLeadByte));
    return ansi;
}

}  // namespace pelio
