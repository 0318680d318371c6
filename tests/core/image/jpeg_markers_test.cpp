// Comment and Exif segments on generated files, and the camera files where present.
#include "core/image/jpeg_markers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/image/codec_error.h"

namespace pelio {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Segment(uint8_t marker, const std::string& data) {
    const size_t length = data.size() + 2;
    Bytes out(length + 2);
    out[0] = 0xFF;
    out[1] = marker;
    out[2] = static_cast<uint8_t>(length >> 8);
    out[3] = static_cast<uint8_t>(length);
    std::copy(data.begin(), data.end(), out.begin() + 4);
    return out;
}

// SOI, the segments, then a scan header and some entropy bytes.
Bytes File(const std::vector<Bytes>& segments) {
    Bytes out{0xFF, 0xD8};
    for (const Bytes& s : segments) out.insert(out.end(), s.begin(), s.end());
    const Bytes scan{0xFF, 0xDA, 0x00, 0x08, 1, 2, 3, 4, 5, 6, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9};
    out.insert(out.end(), scan.begin(), scan.end());
    return out;
}

std::vector<std::pair<uint8_t, std::string>> Segments(const Bytes& file) {
    std::vector<std::pair<uint8_t, std::string>> out;
    WalkJpegMarkers(std::span<const uint8_t>(file), [&](const JpegSegment& s) {
        out.emplace_back(s.marker, std::string(file.begin() + s.dataAt, file.begin() + s.End()));
        return true;
    });
    return out;
}

constexpr uint8_t kApp0 = 0xE0, kApp1 = 0xE1, kDqt = 0xDB, kCom = 0xFE;

TEST(JpegComment, ReadsTheFirstCommentAsTheEditorShowsIt) {
    struct Case {
        const char* name;
        Bytes file;
        std::string text;
    } cases[] = {
        {"none", File({Segment(kApp0, "JFIF")}), ""},
        {"line feeds", File({Segment(kCom, "a\nb\r\nc\x1b" "d")}), "a\r\nb\r\ncd"},
        {"first of two", File({Segment(kCom, "one"), Segment(kCom, "two")}), "one"},
        {"long", File({Segment(kCom, std::string(12000, 'z'))}), std::string(9999, 'z')},
        {"fill bytes", Bytes{0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFE, 0, 4, 'h', 'i', 0xFF, 0xD9}, "hi"},
        {"after the scan", Bytes{0xFF, 0xD8, 0xFF, 0xDA, 0xFF, 0xFE, 0, 4, 'h', 'i'}, ""},
    };
    for (const Case& c : cases) {
        std::string text = "old";
        EXPECT_EQ(ReadJpegComment(c.file, text), kCodecOk) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(JpegComment, BrokenWalksAreReadErrors) {
    const Bytes cases[] = {
        {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01},           // length below 2
        {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x20, 1, 2, 3},  // length past the end
        {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 1, 2},     // no scan before the end
        {0xFF, 0xD8, 0xFF, 0xE0},                       // no length
        {},
    };
    for (const Bytes& file : cases) {
        std::string text;
        EXPECT_EQ(ReadJpegComment(file, text), kCodecReadFailed);
        ExifData exif;
        bool found = true;
        EXPECT_EQ(ReadJpegExif(file, exif, found), kCodecReadFailed);
        EXPECT_FALSE(found);
    }
}

TEST(JpegComment, ReplacementPlacesTheNewSegment) {
    const Bytes app0 = Segment(kApp0, "JFIF"), app1 = Segment(kApp1, "Exif"),
                dqt = Segment(kDqt, "q"), com = Segment(kCom, "old");
    using List = std::vector<std::pair<uint8_t, std::string>>;
    struct Case {
        const char* name;
        Bytes file;
        std::string text;
        int error;
        bool changed, present;
        List after;
    } cases[] = {
        {"replaces", File({app0, com, dqt}), "x\r\ny", kCodecOk, true, true,
         {{kApp0, "JFIF"}, {kCom, "x\ny"}, {kDqt, "q"}}},
        {"after the last APP0/APP1", File({app0, dqt, app1, dqt}), "new", kCodecOk, true, true,
         {{kApp0, "JFIF"}, {kDqt, "q"}, {kApp1, "Exif"}, {kCom, "new"}, {kDqt, "q"}}},
        {"removes", File({app0, com, dqt}), "", kCodecOk, true, false,
         {{kApp0, "JFIF"}, {kDqt, "q"}}},
        {"only carriage returns removes", File({com}), "\r\r", kCodecOk, true, false, {}},
        {"nothing to do", File({app0, dqt}), "", kCodecOk, false, false, {}},
        {"no place", File({dqt}), "new", kCodecCreateFailed, false, false, {}},
        {"capped", File({app1}), std::string(12000, 'w'), kCodecOk, true, true,
         {{kApp1, "Exif"}, {kCom, std::string(10000, 'w')}}},
    };
    for (const Case& c : cases) {
        Bytes out;
        bool changed = false, present = false;
        EXPECT_EQ(ReplaceJpegComment(c.file, c.text, out, changed, present), c.error) << c.name;
        EXPECT_EQ(changed, c.changed) << c.name;
        EXPECT_EQ(present, c.present) << c.name;
        if (!c.changed) continue;
        EXPECT_EQ(Segments(out), c.after) << c.name;
        // The scan follows untouched.
        const Bytes tail(c.file.end() - 16, c.file.end());
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), out.end() - 16)) << c.name;
    }
}

// A TIFF structure written in either byte order: IFD0, the Exif IFD, then the value area.
class Tiff {
public:
    explicit Tiff(bool little) : little_(little) {}

    struct Entry {
        uint16_t tag, type;
        uint32_t count;
        Bytes value;              // more than 4 bytes go to the value area
        int64_t offset = -1;      // forces the stored offset (or inline value) when set
    };
    Bytes U16(uint32_t v) const { return Put(v, 2); }
    Bytes U32(uint32_t v) const { return Put(v, 4); }
    Bytes Rational(uint32_t n, uint32_t d) const {
        Bytes b = U32(n), e = U32(d);
        b.insert(b.end(), e.begin(), e.end());
        return b;
    }
    Entry Ascii(uint16_t tag, const std::string& s) const {
        Bytes v(s.begin(), s.end());
        v.push_back(0);
        return {tag, 2, static_cast<uint32_t>(v.size()), v};
    }
    Entry Short(uint16_t tag, uint16_t v) const {
        Bytes b = U16(v);
        b.resize(4, 0);
        return {tag, 3, 1, b};
    }
    Entry Rat(uint16_t tag, uint32_t n, uint32_t d, bool isSigned = false) const {
        return {tag, static_cast<uint16_t>(isSigned ? 10 : 5), 1, Rational(n, d)};
    }

    // `exifAt`: a forced Exif IFD offset; -2 leaves out the Exif IFD tag.
    Bytes Build(std::vector<Entry> ifd0, const std::vector<Entry>& exif, int64_t exifAt = -1,
                uint32_t ifd0Count = 0) const {
        if (exifAt != -2) ifd0.push_back({34665, 4, 1, {}, exifAt});
        const uint32_t ifd0At = 8;
        const uint32_t exifIfdAt = ifd0At + 2 + 12 * static_cast<uint32_t>(ifd0.size()) + 4;
        uint32_t dataAt = exifIfdAt + 2 + 12 * static_cast<uint32_t>(exif.size()) + 4;
        if (exifAt == -1) ifd0.back().value = U32(exifIfdAt);
        Bytes head = little_ ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42};
        Bytes at = U32(ifd0At);
        head.insert(head.end(), at.begin(), at.end());
        Bytes data;
        Bytes out = head;
        auto writeIfd = [&](const std::vector<Entry>& entries, uint32_t count) {
            Bytes n = U16(count ? count : static_cast<uint32_t>(entries.size()));
            out.insert(out.end(), n.begin(), n.end());
            for (const Entry& e : entries) {
                Bytes fields = U16(e.tag), t = U16(e.type), c = U32(e.count);
                fields.insert(fields.end(), t.begin(), t.end());
                fields.insert(fields.end(), c.begin(), c.end());
                Bytes value;
                if (e.offset >= 0) value = U32(static_cast<uint32_t>(e.offset));
                else if (e.value.size() <= 4) { value = e.value; value.resize(4, 0); }
                else {
                    value = U32(dataAt + static_cast<uint32_t>(data.size()));
                    data.insert(data.end(), e.value.begin(), e.value.end());
                }
                fields.insert(fields.end(), value.begin(), value.end());
                out.insert(out.end(), fields.begin(), fields.end());
            }
            Bytes next = U32(0);
            out.insert(out.end(), next.begin(), next.end());
        };
        writeIfd(ifd0, ifd0Count);
        writeIfd(exif, 0);
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }

private:
    Bytes Put(uint32_t v, int n) const {
        Bytes b(n);
        for (int i = 0; i < n; ++i) b[little_ ? i : n - 1 - i] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    }
    bool little_;
};

Bytes ExifFile(const Bytes& tiff, std::vector<Bytes> before = {}) {
    std::string data("Exif\0\0", 6);
    data.append(tiff.begin(), tiff.end());
    before.push_back(Segment(kApp1, data));
    return File(before);
}

ExifData Read(const Bytes& file, bool& found) {
    ExifData exif;
    EXPECT_EQ(ReadJpegExif(file, exif, found), kCodecOk);
    return exif;
}

TEST(JpegExif, ReadsEveryFieldInBothByteOrders) {
    for (bool little : {true, false}) {
        const Tiff t(little);
        const Bytes tiff = t.Build(
            {t.Ascii(271, "Maker Optics Co."), t.Ascii(272, "M1"), t.Short(274, 1)},
            {t.Rat(33434, 1, 250), t.Rat(33437, 28, 10), t.Short(34850, 3), t.Short(34855, 400),
             t.Ascii(36867, "2021:04:05 06:07:08"), t.Rat(37377, 797, 100, true),
             t.Rat(37380, static_cast<uint32_t>(-2), 3, true), t.Rat(37381, 30, 10),
             t.Short(37383, 5), t.Short(37385, 16), t.Rat(37386, 350, 10)});
        bool found = false;
        const ExifData x = Read(ExifFile(tiff), found);
        ASSERT_TRUE(found) << little;
        EXPECT_EQ(x.make, "Maker Optics Co.");
        EXPECT_EQ(x.model, "M1");
        EXPECT_EQ(x.exposureTime, (ExifRational{1, 250}));
        EXPECT_EQ(x.fNumber, (ExifRational{28, 10}));
        EXPECT_EQ(x.exposureProgram, 3);
        EXPECT_EQ(x.isoSpeed, 400);
        EXPECT_EQ(x.dateTime, "2021:04:05 06:07:08");
        EXPECT_EQ(x.exposureBias, (ExifRational{-2, 3}));
        EXPECT_EQ(x.maxAperture, (ExifRational{30, 10}));
        EXPECT_EQ(x.meteringMode, 5);
        EXPECT_EQ(x.flash, 16);
        EXPECT_EQ(x.focalLength, (ExifRational{350, 10}));
    }
}

TEST(JpegExif, OffsetsOutsideTheFileLeaveTheirFieldsEmpty) {
    for (bool little : {true, false}) {
        const Tiff t(little);
        Tiff::Entry make = t.Ascii(271, "Far Away Maker");
        make.offset = 0x7FFFFFF0;
        Tiff::Entry exposure = t.Rat(33434, 1, 60);
        exposure.offset = 0xFFFFFFFC;
        Tiff::Entry date = t.Ascii(36867, "2021:04:05 06:07:08");
        date.offset = 0xFFFFFFFF;
        const Bytes tiff =
            t.Build({make, t.Ascii(272, "Near")}, {exposure, date, t.Short(34855, 200)});
        bool found = false;
        const ExifData x = Read(ExifFile(tiff), found);
        ASSERT_TRUE(found);
        EXPECT_EQ(x.make, "");
        EXPECT_EQ(x.model, "Near");
        EXPECT_EQ(x.exposureTime, ExifRational{});
        EXPECT_EQ(x.dateTime, "");
        EXPECT_EQ(x.isoSpeed, 200);
    }
}

TEST(JpegExif, WhenThereIsNoExifData) {
    const Tiff t(true);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"no APP1", File({Segment(kApp0, "JFIF")})},
        {"not Exif", File({Segment(kApp1, "http://ns.example/xap/1.0/\0")})},
        {"no Exif IFD tag", ExifFile(t.Build({t.Ascii(271, "Maker")}, {}, -2))},
        {"Exif IFD outside", ExifFile(t.Build({t.Ascii(271, "Maker")}, {t.Short(34855, 1)}, 0x10000))},
        {"empty Exif IFD", ExifFile(t.Build({}, {}))},
        {"IFD0 outside", ExifFile(Bytes{'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0xFF})},
        {"short TIFF header", ExifFile(Bytes{'I', 'I', 42})},
    };
    for (const Case& c : cases) {
        bool found = true;
        Read(c.file, found);
        EXPECT_FALSE(found) << c.name;
    }
}

TEST(JpegExif, EntriesThatDoNotFitAreNotRead) {
    const Tiff t(false);
    // IFD0 claims 40 entries: the walk reads the real ones and then stops at the end.
    const Bytes tiff = t.Build({t.Ascii(271, "Counted")}, {t.Short(34855, 64)}, -1, 40);
    bool found = false;
    const ExifData x = Read(ExifFile(tiff), found);
    EXPECT_EQ(x.make, "Counted");
    (void)found;
}

TEST(JpegExif, LaterSegmentIsReadWhenTheFirstIsNotExif) {
    const Tiff t(true);
    const Bytes file = ExifFile(t.Build({t.Ascii(271, "Second")}, {t.Short(37385, 1)}),
                                {Segment(kApp1, "XMP data"), Segment(kCom, "c")});
    bool found = false;
    const ExifData x = Read(file, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(x.make, "Second");
    EXPECT_EQ(x.flash, 1);
}

TEST(JpegExif, ApexValuesFillInMissingFields) {
    const Tiff t(true);
    struct Case {
        const char* name;
        std::vector<Tiff::Entry> exif;
        ExifRational exposure, fNumber;
    } cases[] = {
        {"shutter 8 is 1/256", {t.Rat(37377, 8, 1, true)}, {1, 256}, {}},
        {"shutter 6.64 is 1/99", {t.Rat(37377, 664, 100, true)}, {1, 99}, {}},
        {"shutter -2 is 4 s", {t.Rat(37377, static_cast<uint32_t>(-2), 1, true)}, {4, 1}, {}},
        {"exposure time wins", {t.Rat(33434, 1, 100), t.Rat(37377, 8, 1, true)}, {1, 100}, {}},
        {"zero denominator ignored", {t.Rat(37377, 8, 0, true)}, {}, {}},
        {"aperture 5 is f/5.7", {t.Rat(37378, 5, 1)}, {}, {57, 10}},
        {"f-number wins", {t.Rat(33437, 56, 10), t.Rat(37378, 5, 1)}, {}, {56, 10}},
    };
    for (const Case& c : cases) {
        bool found = false;
        const ExifData x = Read(ExifFile(t.Build({}, c.exif)), found);
        EXPECT_TRUE(found) << c.name;
        EXPECT_EQ(x.exposureTime, c.exposure) << c.name;
        EXPECT_EQ(x.fNumber, c.fNumber) << c.name;
    }
}

TEST(JpegExif, CameraFiles) {
    const std::filesystem::path dir = PELIO_TESTDATA_DIR "/exif";
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(dir))
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
            if (e.path().extension() == ".jpg" || e.path().extension() == ".JPG")
                files.push_back(e.path());
    if (files.empty()) GTEST_SKIP() << "no camera files in " << dir;
    int withExif = 0;
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), {});
        ExifData x;
        bool found = false;
        ReadJpegExif(file, x, found);
        if (!found) continue;
        ++withExif;
        EXPECT_LE(x.make.size(), 64u) << path;
        EXPECT_LE(x.model.size(), 64u) << path;
        if (path.filename() == "Canon_40D.jpg") {
            EXPECT_EQ(x.make, "Canon");
            EXPECT_EQ(x.model, "Canon EOS 40D");
        }
    }
    EXPECT_GT(withExif, 0);
}

}  // namespace
}  // namespace pelio
