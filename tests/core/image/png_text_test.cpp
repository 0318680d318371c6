// The comment and text list of PNG files, and the comment rewrite.
#include <gtest/gtest.h>

#include "core/image/codec_error.h"
#include "core/image/png_reader.h"
#include "core/image/png_text.h"
#include "tests/core/image/png_test_util.h"

namespace pelio {
namespace {

using test::Chunk;
using test::Text;

std::vector<uint8_t> File(const std::vector<Chunk>& before, const std::vector<Chunk>& after = {}) {
    return test::BuildPng(2, 1, 8, 0, {0, 1, 2}, before, after);
}

TEST(PngText, ReadComment) {
    const std::string esc = "\x1B";
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        bool found;
        std::string comment;
    } cases[] = {
        {"none", File({{"tEXt", Text("Title", "t")}}), false, ""},
        {"plain", File({{"tEXt", Text("Comment", "hello")}}), true, "hello"},
        {"first of two", File({{"tEXt", Text("Comment", "a")}}, {{"tEXt", Text("Comment", "b")}}), true, "a"},
        {"line feeds", File({{"tEXt", Text("Comment", "a\nb\r\nc\n")}}), true, "a\r\nb\r\nc\r\n"},
        {"ESC dropped", File({{"tEXt", Text("Comment", "a" + esc + "[1mb")}}), true, "a[1mb"},
        {"capped", File({{"tEXt", Text("Comment", std::string(12000, 'x'))}}), true, std::string(9999, 'x')},
        {"after IEND", [] { auto f = File({}); auto t = File({{"tEXt", Text("Comment", "late")}}); f.insert(f.end(), t.begin() + 33, t.end()); return f; }(), false, ""},
        {"78-byte keyword ends the window", File({{"tEXt", Text(std::string(78, 'k'), "x")}, {"tEXt", Text("Comment", "y")}}), true, "y"},
    };
    for (const Case& c : cases) {
        std::string comment;
        bool found = true;
        int error = -1;
        EXPECT_TRUE(ReadPngComment(c.file, comment, found, error)) << c.what;
        EXPECT_EQ(error, 0) << c.what;
        EXPECT_EQ(found, c.found) << c.what;
        EXPECT_EQ(comment, c.comment) << c.what;
    }
}

TEST(PngText, BrokenChunksAreErrorFour) {
    std::vector<uint8_t> good = File({{"tEXt", Text("Comment", "x")}});
    std::vector<uint8_t> noIend(good.begin(), good.end() - 12);
    std::vector<uint8_t> cut(good.begin(), good.end() - 3);
    std::vector<uint8_t> huge = good;
    huge[33] = 0xFF;
    for (const auto& f : {noIend, cut, huge, std::vector<uint8_t>(good.begin(), good.begin() + 20)}) {
        std::string comment;
        bool found;
        int error = 0;
        EXPECT_FALSE(ReadPngComment(f, comment, found, error));
        EXPECT_EQ(error, kCodecReadFailed);
        std::vector<PngText> texts;
        EXPECT_FALSE(ListPngTexts(f, texts, error));
        EXPECT_EQ(error, kCodecReadFailed);
        VectorSink sink;
        bool written, has;
        EXPECT_FALSE(ReplacePngComment(f, "new", sink, written, has, error));
        EXPECT_EQ(error, kCodecReadFailed);
        EXPECT_TRUE(sink.bytes.empty());
    }
}

TEST(PngText, ListTexts) {
    std::vector<Chunk> many;
    for (int i = 0; i < 20; ++i) many.push_back({"tEXt", Text("k" + std::to_string(i), "v")});
    std::vector<uint8_t> badCrc = test::Signature();
    test::AppendChunk(badCrc, "IHDR", test::IhdrData(1, 1, 8, 0));
    test::AppendChunk(badCrc, "tEXt", Text("Bad", "crc"), 1);
    test::AppendChunk(badCrc, "tEXt", Text("Good", "one\x1B"));
    test::AppendChunk(badCrc, "IEND", {});
    std::vector<PngText> texts;
    int error = 0;
    ASSERT_TRUE(ListPngTexts(File(many), texts, error));
    ASSERT_EQ(texts.size(), 16u);
    EXPECT_EQ(texts[15].keyword, "k15");
    ASSERT_TRUE(ListPngTexts(File({{"tEXt", Text(std::string(78, 'K'), std::string(3000, 't'))}}), texts, error));
    EXPECT_EQ(texts[0].keyword.size(), 78u);
    EXPECT_EQ(texts[0].text.size(), 1024u);
    ASSERT_TRUE(ListPngTexts(badCrc, texts, error));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].keyword, "Good");
    EXPECT_EQ(texts[0].text, "one");
    // Keyword of 79 bytes, empty keyword, length 1: none usable.
    EXPECT_FALSE(ListPngTexts(File({{"tEXt", Text(std::string(79, 'K'), "x")}, {"tEXt", Text("", "x")}, {"tEXt", {'a'}}}), texts, error));
    EXPECT_EQ(error, 0);
}

// The file with the byte range [at, end) cut out.
std::vector<uint8_t> Without(const std::vector<uint8_t>& f, size_t at, size_t end) {
    std::vector<uint8_t> out(f.begin(), f.begin() + at);
    out.insert(out.end(), f.begin() + end, f.end());
    return out;
}

TEST(PngText, ReplaceRoundTrip) {
    const std::vector<Chunk> before = {{"tEXt", Text("Title", "t")}, {"gAMA", {0, 0, 0xB1, 0x8F}}};
    const std::vector<uint8_t> plain = File(before, {{"zzZz", {1, 2, 3}}});
    auto replace = [](const std::vector<uint8_t>& f, const std::string& text, bool& written, bool& has) {
        VectorSink sink;
        int error = -1;
        EXPECT_TRUE(ReplacePngComment(f, text, sink, written, has, error));
        EXPECT_EQ(error, 0);
        return sink.bytes;
    };
    bool written, has;
    // Nothing to add and nothing to remove: no file.
    EXPECT_TRUE(replace(plain, "", written, has).empty());
    EXPECT_FALSE(written);
    // Add: a chunk before IEND, carriage returns removed.
    std::vector<uint8_t> added = replace(plain, "one\r\ntwo", written, has);
    EXPECT_TRUE(written && has);
    const size_t iend = plain.size() - 12, chunk = 12 + 8 + 7;
    EXPECT_EQ(Without(added, iend, iend + chunk), plain);
    std::string comment;
    bool found;
    int error;
    ASSERT_TRUE(ReadPngComment(added, comment, found, error));
    EXPECT_EQ(comment, "one\r\ntwo");
    // Change: same place, every other byte as it was.
    std::vector<uint8_t> changed = replace(added, "three", written, has);
    EXPECT_EQ(Without(changed, iend, iend + 12 + 8 + 5), plain);
    ASSERT_TRUE(ReadPngComment(changed, comment, found, error));
    EXPECT_EQ(comment, "three");
    // Remove: the original file again.
    std::vector<uint8_t> removed = replace(changed, "", written, has);
    EXPECT_TRUE(written);
    EXPECT_FALSE(has);
    EXPECT_EQ(removed, plain);
    // The reader counts what the rewrite made.
    MemoryAllocator allocator;
    DecodeResult d;
    ASSERT_TRUE(DecodePng(changed, LoadOptions{}, allocator, d));
    ImageHolder hold(allocator, d.image);
    EXPECT_EQ(d.info.comment, 1);
    EXPECT_EQ(d.info.text, 2);
    // At most 10000 bytes of text.
    std::vector<uint8_t> longOne = replace(plain, std::string(10010, 'x'), written, has);
    EXPECT_EQ(longOne.size(), plain.size() + 12 + 8 + 10000);
    // A sink that fails: error 5.
    struct FailingSink final : ByteSink {
        bool Write(const void*, size_t) override { return false; }
    } failing;
    EXPECT_FALSE(ReplacePngComment(plain, "x", failing, written, has, error));
    EXPECT_EQ(error, kCodecCreateFailed);
}

}  // namespace
}  // namespace pelio
