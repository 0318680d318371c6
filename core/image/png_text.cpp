// tEXt chunk walking and the comment rewrite. Portable.
#include "core/image/png_text.h"

#include <cstring>

#include "core/image/codec_error.h"
#include "core/image/png_chunk.h"

namespace pelio {

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr size_t kMaxComment = 9999;
constexpr size_t kMaxText = 1024;
constexpr size_t kMaxWrittenText = 10000;

// A usable text chunk: where it lies and its keyword and text.
struct TextChunk {
    size_t at, end;  // from its length field to past its CRC
    std::string_view keyword;
    std::span<const uint8_t> text;
};

// Calls `visit` for each usable tEXt chunk until it returns false; the walk goes on to IEND
// (`iendAt`) all the same, so a broken file is never half used. Error 4 when a chunk leaves
// the file or IEND never comes.
template <class Visit>
int WalkTexts(std::span<const uint8_t> file, Visit visit, size_t* iendAt = nullptr) {
    const size_t size = file.size();
    if (size < kPngHeaderEnd) return kCodecReadFailed;
    bool visiting = true;
    for (size_t pos = kPngHeaderEnd;;) {
        if (size - pos < 12) return kCodecReadFailed;
        const uint8_t* c = file.data() + pos;
        const uint32_t length = GetU32BE(c);
        if (size - pos - 12 < length) return kCodecReadFailed;
        const uint32_t type = GetU32BE(c + 4);
        const size_t end = pos + 12 + size_t{length};
        if (type == ChunkTag("IEND")) {
            if (iendAt) *iendAt = pos;
            return kCodecOk;
        }
        if (visiting && type == ChunkTag("tEXt") && length > 1 && PngCrcMatches(c, length)) {
            const uint8_t* d = c + 8;
            const void* nul = std::memchr(d, 0, std::min<size_t>(length, 79));
            if (nul && nul != d) {
                const size_t k = size_t(static_cast<const uint8_t*>(nul) - d);
                TextChunk t{pos, end, std::string_view(reinterpret_cast<const char*>(d), k),
                            std::span<const uint8_t>(d + k + 1, length - k - 1)};
                visiting = visit(t);
            }
        }
        pos = end;
    }
}

}  // namespace

bool ReadPngComment(std::span<const uint8_t> file, std::string& comment, bool& found, int& error) {
    comment.clear();
    found = false;
    error = WalkTexts(file, [&](const TextChunk& t) {
        if (t.keyword != "Comment") return true;
        found = true;
        uint8_t last = 0;
        for (uint8_t ch : t.text) {
            if (ch == 0 || comment.size() >= kMaxComment) break;
            if (ch == kEsc) continue;
            if (ch == '\n' && last != '\r') {
                if (comment.size() + 2 > kMaxComment) break;
                comment.push_back('\r');
            }
            comment.push_back(char(ch));
            last = ch;
        }
        return false;
    });
    return error == kCodecOk;
}

bool ListPngTexts(std::span<const uint8_t> file, std::vector<PngText>& texts, int& error) {
    texts.clear();
    error = WalkTexts(file, [&](const TextChunk& t) {
        PngText entry{std::string(t.keyword), {}};
        for (uint8_t ch : t.text) {
            if (entry.text.size() >= kMaxText) break;
            if (ch != kEsc) entry.text.push_back(char(ch));
        }
        texts.push_back(std::move(entry));
        return texts.size() < kPngMaxTexts;
    });
    return error == kCodecOk && !texts.empty();
}

bool ReplacePngComment(std::span<const uint8_t> file, const std::string& text, ByteSink& out,
                       bool& written, bool& hasComment, int& error) {
    written = false;
    hasComment = false;
    size_t placeAt = 0, placeEnd = 0, iendAt = 0;
    bool old = false;
    error = WalkTexts(
        file,
        [&](const TextChunk& t) {
            if (t.keyword != "Comment") return true;
            old = true;
            placeAt = t.at;
            placeEnd = t.end;
            return false;
        },
        &iendAt);
    if (error) return false;
    if (!old) placeAt = placeEnd = iendAt;
    std::vector<uint8_t> chunk;
    for (char ch : text)
        if (ch != '\r' && chunk.size() < kMaxWrittenText) chunk.push_back(uint8_t(ch));
    if (chunk.empty() && !old) return true;
    bool ok = out.Write(file.data(), placeAt);
    if (!chunk.empty()) {
        std::vector<uint8_t> c(16);
        PutU32BE(c.data(), uint32_t(chunk.size() + 8));
        std::memcpy(c.data() + 4, "tEXtComment", 12);
        c.insert(c.end(), chunk.begin(), chunk.end());
        uint8_t crc[4];
        PutU32BE(crc, PngCrc(c.data() + 4, c.size() - 4));
        ok = ok && out.Write(c.data(), c.size()) && out.Write(crc, 4);
    }
    ok = ok && out.Write(file.data() + placeEnd, file.size() - placeEnd);
    if (!ok) {
        error = kCodecCreateFailed;
        return false;
    }
    written = true;
    hasComment = !chunk.empty();
    return true;
}

}  // namespace pelio
