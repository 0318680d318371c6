// The comment editor's text cut, file rewrite and caption facts. Portable.
#include "core/image/comment_text.h"

#include <algorithm>
#include <vector>

#include "core/image/codec.h"
#include "core/image/codec_error.h"
#include "core/image/jpeg_markers.h"
#include "core/image/png_reader.h"
#include "core/image/png_text.h"

namespace pelio {

namespace {

constexpr uint8_t kJpegCom = 0xFE;

bool JpegHasComment(std::span<const uint8_t> file) {
    bool found = false;
    WalkJpegMarkers(file, [&](const JpegSegment& s) {
        found = s.marker == kJpegCom;
        return !found;
    });
    return found;
}

int RewritePng(std::span<const uint8_t> file, const std::string& text, ByteSink& out, CommentRewrite& r) {
    {
        // Only a file the reader accepts is rewritten.
        MemoryAllocator allocator;
        DecodeResult decoded;
        if (!DecodePng(file, LoadOptions{}, allocator, decoded)) return decoded.error ? decoded.error : kCodecBadFile;
        allocator.Release(decoded.image);
    }
    std::string old;
    int error = kCodecOk;
    if (!ReadPngComment(file, old, r.before, error)) return error;
    if (!ReplacePngComment(file, text, out, r.written, r.after, error)) return error;
    if (!r.written) r.after = r.before;
    return kCodecOk;
}

int RewriteJpeg(std::span<const uint8_t> file, const std::string& text, ByteSink& out, CommentRewrite& r) {
    std::vector<uint8_t> bytes;
    const int error = ReplaceJpegComment(file, text, bytes, r.written, r.after);
    if (error != kCodecOk) return error;
    r.before = JpegHasComment(file);
    if (!r.written) {
        r.after = r.before;
        return kCodecOk;
    }
    return out.Write(bytes.data(), bytes.size()) ? kCodecOk : kCodecCreateFailed;
}

int Step(int value, bool before, bool after) {
    if (before == after) return value;
    return after ? value + 1 : std::max(value - 1, 0);
}

}  // namespace

size_t AnsiCutLength(std::string_view text, size_t limit, LeadBytePredicate isLeadByte) {
    const size_t end = std::min(text.size(), limit);
    size_t at = 0;
    while (at < end) {
        const size_t width = isLeadByte(static_cast<uint8_t>(text[at])) ? 2 : 1;
        if (width > end - at) break;
        at += width;
    }
    return at;
}

int RewriteComment(ImageFormat format, std::span<const uint8_t> file, const std::string& text,
                   ByteSink& out, CommentRewrite& result) {
    result = CommentRewrite{};
    switch (format) {
    case ImageFormat::Png: return RewritePng(file, text, out, result);
    case ImageFormat::Jpeg: return RewriteJpeg(file, text, out, result);
    default: return kCodecCommentEdit;
    }
}

void AdjustCommentInfo(ImageFormat format, const CommentRewrite& rewrite, SourceInfo& info) {
    if (!rewrite.written) return;
    if (format == ImageFormat::Png) info.text = Step(info.text, rewrite.before, rewrite.after);
    if (format == ImageFormat::Png || format == ImageFormat::Jpeg)
        info.comment = Step(info.comment, rewrite.before, rewrite.after);
}

}  // namespace pelio
