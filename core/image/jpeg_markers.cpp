// Comment and Exif segments of JPEG files. Portable.
#include "core/image/jpeg_markers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/image/byte_io.h"
#include "core/image/codec_error.h"

namespace pelio {

namespace {

constexpr uint8_t kApp0 = 0xE0, kApp1 = 0xE1, kCom = 0xFE;
constexpr size_t kCommentReadLimit = 9999;
constexpr size_t kCommentWriteLimit = 10000;
constexpr size_t kExifTextLimit = 64;
constexpr size_t kExifDateBytes = 20;

struct IfdEntry {
    uint16_t tag;
    uint32_t count;
    uint64_t valueAt;  // the 4-byte value field
};

// Calls `visit` for each 12-byte entry of the IFD at `offset` that fits; false when the
// count itself does not fit. `visit` returns false to end the walk.
template <typename Visit>
bool WalkIfd(ByteReader& r, uint32_t offset, Visit&& visit) {
    if (!r.Fits(offset, 2)) return false;
    const uint16_t count = r.U16At(offset);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = uint64_t{offset} + 2 + 12 * uint64_t{i};
        if (!r.Fits(at, 12)) break;
        if (!visit(IfdEntry{r.U16At(at), r.U32At(at + 4), at + 8})) break;
    }
    return true;
}

// Text up to the first NUL.
std::string TextOf(std::span<const uint8_t> bytes) {
    return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), uint8_t{0}));
}

// An ASCII value, inline when 4 bytes or fewer, up to `limit` bytes and the first NUL.
std::string AsciiValue(ByteReader& r, const IfdEntry& e, size_t limit) {
    const size_t size = std::min<size_t>(e.count, limit);
    const uint64_t at = e.count <= 4 ? e.valueAt : r.U32At(e.valueAt);
    return TextOf(r.BytesAt(at, size));
}

bool RationalValue(ByteReader& r, const IfdEntry& e, bool isSigned, ExifRational& out) {
    const uint32_t at = r.U32At(e.valueAt);
    if (!r.Fits(at, 8)) return false;
    const uint32_t n = r.U32At(at), d = r.U32At(at + 4);
    out = isSigned ? ExifRational{static_cast<int32_t>(n), static_cast<int32_t>(d)}
                   : ExifRational{n, d};
    return true;
}

// Exposure time from the APEX shutter speed v: 1 / trunc(2^v); long exposures (2^v below 1)
// as trunc(2^-v) / 1 rather than a zero denominator.
ExifRational ShutterToExposure(const ExifRational& v) {
    const double apex = static_cast<double>(v.numerator) / static_cast<double>(v.denominator);
    const double clamped = std::clamp(apex, -31.0, 31.0);
    const auto power = static_cast<int64_t>(std::pow(2.0, clamped));
    if (power >= 1) return {1, power};
    return {static_cast<int64_t>(std::pow(2.0, -clamped)), 1};
}

// F-number from the APEX aperture value v: 2^(v/2), in tenths.
ExifRational ApertureToFNumber(const ExifRational& v) {
    const double apex = static_cast<double>(v.numerator) / static_cast<double>(v.denominator);
    const double f = std::pow(2.0, std::clamp(apex, 0.0, 64.0) / 2.0);
    return {static_cast<int64_t>(std::lround(std::min(f, 1e9) * 10.0)), 10};
}

bool ReadExifIfd(ByteReader& r, uint32_t offset, ExifData& x) {
    bool haveExposure = false, haveFNumber = false, any = false;
    WalkIfd(r, offset, [&](const IfdEntry& e) {
        any = true;
        ExifRational v;
        switch (e.tag) {
        case 33434:
            if (!haveExposure && RationalValue(r, e, false, x.exposureTime)) haveExposure = true;
            break;
        case 33437:
            if (!haveFNumber && RationalValue(r, e, false, x.fNumber)) haveFNumber = true;
            break;
        case 34850: x.exposureProgram = r.U16At(e.valueAt); break;
        case 34855: x.isoSpeed = r.U16At(e.valueAt); break;
        case 37383: x.meteringMode = r.U16At(e.valueAt); break;
        case 37385: x.flash = r.U16At(e.valueAt); break;
        case 36867: {
            const auto date = r.BytesAt(r.U32At(e.valueAt), kExifDateBytes);
            if (!date.empty()) x.dateTime = TextOf(date);
            break;
        }
        case 37377:
            if (!haveExposure && RationalValue(r, e, true, v) && v.denominator != 0) {
                x.exposureTime = ShutterToExposure(v);
                haveExposure = true;
            }
            break;
        case 37378:
            if (!haveFNumber && RationalValue(r, e, false, v) && v.denominator != 0) {
                x.fNumber = ApertureToFNumber(v);
                haveFNumber = true;
            }
            break;
        case 37380: RationalValue(r, e, true, x.exposureBias); break;
        case 37381: RationalValue(r, e, false, x.maxAperture); break;
        case 37386: RationalValue(r, e, false, x.focalLength); break;
        default: break;
        }
        return true;
    });
    return any;
}

// The Exif data of one APP1 segment's TIFF structure: `tiff` runs from its header to the end
// of the file, and its offsets count from that header.
bool ReadTiff(std::span<const uint8_t> tiff, ExifData& x) {
    if (tiff.size() < 8) return false;
    ByteReader r(tiff, tiff[0] == 'I' && tiff[1] == 'I' ? ByteOrder::Little : ByteOrder::Big);
    uint32_t exifIfd = 0;
    bool haveExif = false;
    WalkIfd(r, r.U32At(4), [&](const IfdEntry& e) {
        switch (e.tag) {
        case 271: x.make = AsciiValue(r, e, kExifTextLimit); break;
        case 272: x.model = AsciiValue(r, e, kExifTextLimit); break;
        case 34665:
            exifIfd = r.U32At(e.valueAt);
            haveExif = true;
            return false;
        default: break;
        }
        return true;
    });
    return haveExif && ReadExifIfd(r, exifIfd, x);
}

}  // namespace

int ReadJpegComment(std::span<const uint8_t> file, std::string& text) {
    text.clear();
    std::span<const uint8_t> comment;
    bool found = false;
    const MarkerWalk walk = WalkJpegMarkers(file, [&](const JpegSegment& s) {
        if (s.marker != kCom) return true;
        comment = file.subspan(s.dataAt, std::min(s.dataSize, kCommentReadLimit));
        found = true;
        return false;
    });
    if (walk == MarkerWalk::Broken) return kCodecReadFailed;
    if (!found) return kCodecOk;
    for (size_t i = 0; i < comment.size(); ++i) {
        const char c = static_cast<char>(comment[i]);
        if (c == '\x1b') continue;
        if (c == '\n' && (i == 0 || comment[i - 1] != '\r')) text += '\r';
        text += c;
    }
    return kCodecOk;
}

int ReplaceJpegComment(std::span<const uint8_t> file, std::string_view text,
                       std::vector<uint8_t>& out, bool& changed, bool& present) {
    changed = false;
    present = false;
    constexpr size_t kNone = SIZE_MAX;
    size_t insertAt = kNone, resumeAt = kNone;
    bool hadComment = false;
    const MarkerWalk walk = WalkJpegMarkers(file, [&](const JpegSegment& s) {
        if (s.marker == kApp0 || s.marker == kApp1) {
            insertAt = resumeAt = s.End();
        } else if (s.marker == kCom) {
            insertAt = s.at;
            resumeAt = s.End();
            hadComment = true;
            return false;
        }
        return true;
    });
    if (walk == MarkerWalk::Broken) return kCodecReadFailed;
    if (insertAt == kNone) return kCodecCreateFailed;

    std::string body;
    for (char c : text)
        if (c != '\r' && body.size() < kCommentWriteLimit) body += c;
    if (body.empty() && !hadComment) return kCodecOk;

    out.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(insertAt));
    if (!body.empty()) {
        const size_t length = body.size() + 2;
        out.insert(out.end(), {0xFF, kCom, static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(length)});
        out.insert(out.end(), body.begin(), body.end());
    }
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(resumeAt), file.end());
    changed = true;
    present = !body.empty();
    return kCodecOk;
}

int ReadJpegExif(std::span<const uint8_t> file, ExifData& exif, bool& found) {
    static constexpr uint8_t kExifHead[6] = {'E', 'x', 'i', 'f', 0, 0};
    found = false;
    const MarkerWalk walk = WalkJpegMarkers(file, [&](const JpegSegment& s) {
        if (s.marker != kApp1 || s.dataSize < sizeof kExifHead ||
            std::memcmp(&file[s.dataAt], kExifHead, sizeof kExifHead) != 0)
            return true;
        ExifData x;
        if (!ReadTiff(file.subspan(s.dataAt + sizeof kExifHead), x)) return true;
        exif = std::move(x);
        found = true;
        return false;
    });
    return walk == MarkerWalk::Broken ? kCodecReadFailed : kCodecOk;
}

}  // namespace pelio
