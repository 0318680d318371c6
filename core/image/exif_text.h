// The Exif shooting data as the text-data window shows it: twelve named rows and their
// values, and the text copied to the clipboard. Portable.
#pragma once
#include <array>
#include <string>

#include "core/image/jpeg_markers.h"

namespace pelio {

inline constexpr size_t kExifRowCount = 12;
inline constexpr size_t kExifValueLimit = 64;  // characters of one value

using ExifValues = std::array<std::wstring, kExifRowCount>;

// The item names, in row order.
extern const std::array<const wchar_t*, kExifRowCount> kExifItemNames;

// Converts the file's ANSI texts (make, model, date) for display.
using AnsiToWide = std::wstring (*)(const std::string& text);

// The value of each row; an absent value is empty, except the flash, which is "OFF".
ExifValues FormatExifValues(const ExifData& exif, AnsiToWide fromAnsi);

// Each row as its item name, ':' and the value, ended by a line feed.
std::wstring ExifClipboardText(const ExifValues& values);

}  // namespace pelio
