// The picture an image plug-in hands over, and the texts it describes itself with. Portable.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/image/image.h"

namespace pelio {

// The plug-in's bitmap information block (header and palette) and its pixel block. Refused:
// compression, a side outside 1 … 25000 (a top-down picture's negative height too), a depth
// other than 1, 4, 8 or 24. At most 1064 bytes of header and palette are taken and at most the
// picture's padded rows of pixels, the rest zero. 1 and 4 bits become 8 bits with palette, as
// a BMP file's. `bitCount` receives the depth the plug-in gave. False with no image allocated.
bool DecodePluginBitmap(std::span<const uint8_t> info, std::span<const uint8_t> bits, PixelAllocator& allocator,
                        Image& image, int& bitCount);

// At most this many plug-ins or patterns are listed.
inline constexpr size_t kPluginListLimit = 100;

// Adds a plug-in's pattern text (patterns joined by ";", already converted from ANSI) to
// `list`: each piece in lower case, unless it names a built-in format's extension or the list
// already holds it (case-insensitive), while the list has room.
void AddPluginPatterns(const std::wstring& text, std::vector<std::wstring>& list);

// A plug-in described by its patterns and descriptions (information numbers 2, 3, 4, 5, …):
// the first pair, then for every further pair "; pattern" and "/ description" appended while
// both joined texts stay below 260 characters. Empty when the first pair is incomplete.
struct PluginDescription {
    std::wstring patterns, descriptions;
};
PluginDescription DescribePlugin(const std::vector<std::wstring>& texts);

}  // namespace pelio
