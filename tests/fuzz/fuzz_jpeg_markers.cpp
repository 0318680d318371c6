// Arbitrary bytes through the comment reader, the comment replacement and the Exif reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "core/image/jpeg_markers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> file(data, size);
    std::string comment;
    const int readError = ReadJpegComment(file, comment);
    if (readError && !comment.empty()) std::abort();

    std::vector<uint8_t> out;
    bool changed = false, present = false;
    const std::string text = size % 3 == 0 ? std::string() : std::string(size % 50, 'x') + "\r\n";
    if (ReplaceJpegComment(file, text, out, changed, present) == 0 && present) {
        // The rewritten file reads back with the new comment.
        std::string back;
        if (ReadJpegComment(out, back) != 0 || back.empty()) std::abort();
    }

    ExifData exif;
    bool found = false;
    if (ReadJpegExif(file, exif, found) == 0 && found) {
        if (exif.make.size() > 64 || exif.model.size() > 64 || exif.dateTime.size() > 20)
            std::abort();
    }
    return 0;
}
