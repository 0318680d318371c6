// Comments of PNG and JPEG files as the comment editor handles them: the cut of ANSI text to
// the byte limit, the rewrite of a file with a new comment, and the caption facts after it.
// Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/image/byte_io.h"
#include "core/image/image.h"

namespace pelio {

inline constexpr size_t kCommentByteLimit = 10000;

// Whether a byte opens a double-byte character in the text's code page.
using LeadBytePredicate = bool (*)(uint8_t byte);

// The longest prefix of `text` of at most `limit` bytes that ends on a character boundary:
// a double-byte character that would be split is left out whole, as is a lead byte without
// its second byte at the end of the text.
size_t AnsiCutLength(std::string_view text, size_t limit, LeadBytePredicate isLeadByte);

struct CommentRewrite {
    bool written = false;  // false: the file needed no change and nothing was written
    bool before = false;   // the file had a comment
    bool after = false;    // the rewritten file has one
};

// Writes `file` (a PNG or JPEG file) to `out` with its comment replaced by `text` (ANSI;
// an empty text removes it). A PNG file must first decode without error; its other chunks are
// copied byte for byte. Returns a codec error code, 0 on success.
int RewriteComment(ImageFormat format, std::span<const uint8_t> file, const std::string& text,
                   ByteSink& out, CommentRewrite& result);

// The caption facts after a rewrite that added or removed a comment: for PNG the text and the
// comment counts, for JPEG the comment count.
void AdjustCommentInfo(ImageFormat format, const CommentRewrite& rewrite, SourceInfo& info);

}  // namespace pelio
