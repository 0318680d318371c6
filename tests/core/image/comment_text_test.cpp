// The comment editor's cut of ANSI text, its file rewrite and the caption facts after it.
#include "core/image/comment_text.h"

#include <gtest/gtest.h>

#include "core/image/codec_error.h"
#include "tests/core/image/png_test_util.h"

namespace pelio {
namespace {

using Bytes = std::vector<uint8_t>;

// Lead bytes of code page 932.
bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(CommentText, CutNeverSplitsADoubleByteCharacter) {
    const std::string kanji = "\x93\xfa";  // one character, two bytes
    struct Case {
        const char* what;
        std::string text;
        size_t cut;
    } cases[] = {
        {"short text kept", "ab" + kanji, 4},
        {"single bytes cut at the limit", std::string(12000, 'x'), 10000},
        {"character ending at the limit kept", std::string(9998, 'x') + kanji + "y", 10000},
        {"character across the limit left out", std::string(9999, 'x') + kanji, 9999},
        {"only double bytes", [&] { std::string s; for (int i = 0; i < 6000; ++i) s += kanji; return s; }(), 10000},
        {"trail byte that looks like a lead byte", std::string(9997, 'x') + "\x81\x81" + kanji, 9999},
        {"lone lead byte at the end dropped", "ab\x93", 2},
    };
    for (const Case& c : cases) EXPECT_EQ(AnsiCutLength(c.text, kCommentByteLimit, ShiftJisLead), c.cut) << c.what;
}

Bytes Png(const std::vector<test::Chunk>& before, const std::vector<test::Chunk>& after = {}) {
    return test::BuildPng(2, 1, 8, 0, {0, 1, 2}, before, after);
}

Bytes Jpeg(const std::vector<Bytes>& segments) {
    Bytes out{0xFF, 0xD8};
    for (const Bytes& s : segments) out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), {0xFF, 0xDA, 0x00, 0x04, 1, 2, 0x34, 0xFF, 0xD9});
    return out;
}

Bytes Segment(uint8_t marker, const std::string& data) {
    Bytes out{0xFF, marker, uint8_t((data.size() + 2) >> 8), uint8_t(data.size() + 2)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TEST(CommentText, RewriteChangesOnlyTheCommentAndTheCaptionCounts) {
    const auto title = test::Chunk{"tEXt", test::Text("Title", "t")};
    const auto comment = [](const char* s) { return test::Chunk{"tEXt", test::Text("Comment", s)}; };
    const Bytes app0 = Segment(0xE0, "JFIF"), dqt = Segment(0xDB, "q");
    struct Case {
        const char* what;
        ImageFormat format;
        Bytes file;
        std::string text;
        Bytes expected;  // empty: nothing written
        SourceInfo info, adjusted;
    } cases[] = {
        {"PNG added", ImageFormat::Png, Png({title}), "new", Png({title}, {comment("new")}), {0, 0, 1, 0}, {0, 0, 2, 1}},
        {"PNG replaced in place", ImageFormat::Png, Png({comment("old"), title}), "a\r\nb", Png({comment("a\nb"), title}), {1, 0, 2, 1}, {1, 0, 2, 1}},
        {"PNG removed", ImageFormat::Png, Png({title, comment("old")}), "", Png({title}), {0, 1, 2, 1}, {0, 1, 1, 0}},
        {"PNG nothing to do", ImageFormat::Png, Png({title}), "", {}, {0, 0, 1, 0}, {0, 0, 1, 0}},
        {"JPEG added", ImageFormat::Jpeg, Jpeg({app0, dqt}), "c", Jpeg({app0, Segment(0xFE, "c"), dqt}), {1, 0, 1, 0}, {1, 0, 1, 1}},
        {"JPEG first of two removed", ImageFormat::Jpeg, Jpeg({app0, Segment(0xFE, "x"), Segment(0xFE, "y")}), "", Jpeg({app0, Segment(0xFE, "y")}), {0, 0, 0, 2}, {0, 0, 0, 1}},
        {"JPEG nothing to do", ImageFormat::Jpeg, Jpeg({app0}), "", {}, {0, 0, 1, 0}, {0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        VectorSink out;
        CommentRewrite rewrite;
        ASSERT_EQ(RewriteComment(c.format, c.file, c.text, out, rewrite), kCodecOk) << c.what;
        EXPECT_EQ(rewrite.written, !c.expected.empty()) << c.what;
        EXPECT_TRUE(out.bytes == c.expected) << c.what;
        SourceInfo info = c.info;
        AdjustCommentInfo(c.format, rewrite, info);
        EXPECT_EQ(info, c.adjusted) << c.what;
    }
}

TEST(CommentText, RewriteRefusesFilesTheReaderRejects) {
    Bytes badIhdrCrc = Png({});
    badIhdrCrc[29] ^= 1;
    const Bytes noApp = Jpeg({Segment(0xDB, "q")});
    struct Case {
        const char* what;
        ImageFormat format;
        Bytes file;
        int error;
    } cases[] = {
        {"PNG with a broken CRC outside the text chunks", ImageFormat::Png, badIhdrCrc, 9},
        {"JPEG without a place for a comment", ImageFormat::Jpeg, noApp, kCodecCreateFailed},
        {"JPEG cut inside a segment", ImageFormat::Jpeg, Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x40, 1}, kCodecReadFailed},
        {"other formats", ImageFormat::Bmp, Bytes{'B', 'M'}, kCodecCommentEdit},
    };
    for (const Case& c : cases) {
        VectorSink out;
        CommentRewrite rewrite;
        EXPECT_EQ(RewriteComment(c.format, c.file, "text", out, rewrite), c.error) << c.what;
        EXPECT_TRUE(out.bytes.empty()) << c.what;
    }
}

}  // namespace
}  // namespace pelio
