// JPEG segments read without the library: the comment and the Exif camera data. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelio {

// One marker segment: the 0xFF at `at`, its data after the length field.
struct JpegSegment {
    uint8_t marker = 0;
    size_t at = 0;
    size_t dataAt = 0;
    size_t dataSize = 0;
    size_t End() const { return dataAt + dataSize; }
};

enum class MarkerWalk { Ended, Stopped, Broken };

// Visits the segments before SOS or EOI; `visit` returns false to stop. Broken: a length
// below 2, past the end of the file, or a walk that runs off the end.
template <typename Visit>
MarkerWalk WalkJpegMarkers(std::span<const uint8_t> file, Visit&& visit);

// The first comment as the editor shows it: ESC dropped, bare line feeds as CR LF, at most
// 9999 source bytes. Empty when there is none; a broken walk is error 4.
int ReadJpegComment(std::span<const uint8_t> file, std::string& text);

// The file with its first comment replaced by `text` (carriage returns removed, at most
// 10000 bytes; empty removes it), inserted after the last APP0/APP1 when there was none.
// `changed` is false when the file stays as it is; `present` tells whether a comment now is.
// Error 5 for a file with no APP0, APP1 or COM before the scan, 4 for a broken walk.
int ReplaceJpegComment(std::span<const uint8_t> file, std::string_view text,
                       std::vector<uint8_t>& out, bool& changed, bool& present);

struct ExifRational {
    int64_t numerator = 0;
    int64_t denominator = 0;
    friend bool operator==(const ExifRational&, const ExifRational&) = default;
};

struct ExifData {
    std::string make, model;  // at most 64 bytes each
    ExifRational exposureTime, fNumber;
    uint16_t exposureProgram = 0, isoSpeed = 0;
    std::string dateTime;  // 20 bytes as stored
    ExifRational exposureBias, maxAperture;
    uint16_t meteringMode = 0, flash = 0;
    ExifRational focalLength;
};

// Reads the camera data of the first usable Exif segment. `found` is false when there is
// none; a broken marker walk is error 4.
int ReadJpegExif(std::span<const uint8_t> file, ExifData& exif, bool& found);

// ---------------------------------------------------------------------------------------

template <typename Visit>
MarkerWalk WalkJpegMarkers(std::span<const uint8_t> file, Visit&& visit) {
    constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;
    size_t p = 0;
    const size_t n = file.size();
    for (;;) {
        while (p < n && file[p] != 0xFF) ++p;
        const size_t at = p;
        while (p < n && file[p] == 0xFF) ++p;
        if (p >= n) return MarkerWalk::Broken;
        const uint8_t marker = file[p++];
        if (marker == kSoi) continue;
        if (marker == kSos || marker == kEoi) return MarkerWalk::Ended;
        if (n - p < 2) return MarkerWalk::Broken;
        const size_t length = size_t{file[p]} << 8 | file[p + 1];
        if (length < 2 || length > n - p) return MarkerWalk::Broken;
        JpegSegment s{marker, at, p + 2, length - 2};
        p += length;
        if (!visit(static_cast<const JpegSegment&>(s))) return MarkerWalk::Stopped;
    }
}

}  // namespace pelio
