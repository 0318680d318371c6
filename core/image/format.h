// Format detection by content and by extension. Portable.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "core/image/image.h"

namespace pelio {

// How many leading bytes DetectFormat looks at.
inline constexpr size_t kFormatProbeBytes = 8;

// The format of a file from its first bytes (all of a shorter file): Empty when the file is
// empty or ends before the rule can decide, Unknown when no built-in format matches.
ImageFormat DetectFormat(std::span<const uint8_t> head);

// By the extension, case-insensitive: jpg/jpe/jpeg, png, gif, bmp, tif/tiff; Unknown otherwise.
ImageFormat FormatFromExtension(std::wstring_view path);

}  // namespace pelio
