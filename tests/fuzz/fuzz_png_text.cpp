// Arbitrary bytes through the PNG text-chunk walkers and the comment rewrite.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/png_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> bytes(data, size);
    std::string comment;
    bool found = false;
    int error = 0;
    if (ReadPngComment(bytes, comment, found, error) && comment.size() > 9999) std::abort();
    std::vector<PngText> texts;
    if (ListPngTexts(bytes, texts, error) && texts.size() > kPngMaxTexts) std::abort();
    bool written = false, has = false;
    VectorSink sink;
    const std::string text = size % 3 ? std::string(size % 50, 'a') + "\r\n" : std::string();
    if (ReplacePngComment(bytes, text, sink, written, has, error) && written) {
        // The rewritten file reads back with the new comment.
        std::string back;
        if (!ReadPngComment(sink.bytes, back, found, error) || (has && !found)) std::abort();
    }
    return 0;
}
