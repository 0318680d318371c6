// The tEXt chunks of a PNG file: the comment and the text list, and rewriting the comment.
// Portable.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/image/byte_io.h"

namespace pelio {

struct PngText {
    std::string keyword;  // at most 79 characters
    std::string text;     // at most 1024 characters
};

inline constexpr size_t kPngMaxTexts = 16;

// The first "Comment" text, ESC dropped and line feeds made CR LF, at most 9999 characters.
// False with error 4 when a chunk runs past the end or IEND is missing; otherwise true, with
// `found` false when IEND comes first.
bool ReadPngComment(std::span<const uint8_t> file, std::string& comment, bool& found, int& error);

// Up to 16 texts. True when at least one was found; error 4 as for the comment.
bool ListPngTexts(std::span<const uint8_t> file, std::vector<PngText>& texts, int& error);

// Writes the file with its first "Comment" chunk replaced by `text` (carriage returns
// removed, at most 10000 bytes; an empty text removes the chunk), or added before IEND.
// Nothing is written when there is neither a new text nor an old comment (`written` false).
// `hasComment` tells whether the result has a comment. Errors: 4 broken chunks, 5 writing.
bool ReplacePngComment(std::span<const uint8_t> file, const std::string& text, ByteSink& out,
                       bool& written, bool& hasComment, int& error);

}  // namespace pelio
