// The twelve Exif rows as shown and copied.
#include "core/image/exif_text.h"

#include <gtest/gtest.h>

namespace pelio {
namespace {

std::wstring Ascii(const std::string& s) { return std::wstring(s.begin(), s.end()); }

TEST(ExifText, ValuesOfTheTwelveRows) {
    ExifData full;
    full.make = "Canon";
    full.model = "Canon EOS 40D";
    full.exposureTime = {10, 1250};
    full.fNumber = {71, 10};
    full.exposureProgram = 3;
    full.isoSpeed = 100;
    full.exposureBias = {-2, 3};
    full.meteringMode = 5;
    full.flash = 9;
    full.focalLength = {135, 1};
    full.maxAperture = {3, 1};
    full.dateTime = "2008:05:30 15:56:01";
    const ExifValues shown = FormatExifValues(full, Ascii);
    const ExifValues expected = {L"Canon", L"Canon EOS 40D", L"10/1250秒", L"7.1", L"絞り優先AE", L"100",
                                 L"-0.7", L"分割測光", L"ON", L"135.0mm", L"2.8", L"2008:05:30 15:56:01"};
    EXPECT_EQ(shown, expected);

    // Nothing stored: empty cells, and "OFF" for the flash.
    ExifValues none;
    none[8] = L"OFF";
    EXPECT_EQ(FormatExifValues(ExifData{}, Ascii), none);
}

TEST(ExifText, NamedValuesAndEdges) {
    struct Case {
        const char* what;
        void (*set)(ExifData&);
        size_t row;
        std::wstring value;
    } cases[] = {
        {"program 1", [](ExifData& x) { x.exposureProgram = 1; }, 4, L"マニュアル"},
        {"program 8", [](ExifData& x) { x.exposureProgram = 8; }, 4, L"風景モード"},
        {"program 9 unknown", [](ExifData& x) { x.exposureProgram = 9; }, 4, L""},
        {"metering 1", [](ExifData& x) { x.meteringMode = 1; }, 7, L"平均測光"},
        {"metering 6", [](ExifData& x) { x.meteringMode = 6; }, 7, L"部分測光"},
        {"metering 255 other", [](ExifData& x) { x.meteringMode = 255; }, 7, L""},
        {"flash bit 0 clear", [](ExifData& x) { x.flash = 0x10; }, 8, L"OFF"},
        {"zero denominator shutter", [](ExifData& x) { x.exposureTime = {1, 0}; }, 2, L""},
        {"zero denominator focal length", [](ExifData& x) { x.focalLength = {50, 0}; }, 9, L""},
        {"exposure zero", [](ExifData& x) { x.exposureBias = {0, 1}; }, 6, L"0.0"},
        {"max aperture APEX 6", [](ExifData& x) { x.maxAperture = {6, 1}; }, 10, L"8.0"},
        {"long make cut", [](ExifData& x) { x.make = std::string(80, 'm'); }, 0, std::wstring(64, L'm')},
    };
    for (const Case& c : cases) {
        ExifData exif;
        c.set(exif);
        EXPECT_EQ(FormatExifValues(exif, Ascii)[c.row], c.value) << c.what;
    }
}

TEST(ExifText, ClipboardTextIsNameColonValuePerLine) {
    ExifValues values;
    values[0] = L"Canon";
    values[8] = L"OFF";
    EXPECT_EQ(ExifClipboardText(values),
              L"メーカー:Canon\n機種:\nシャッター:\n絞り値:\n露出制御:\nISO感度:\n露出補正:\n測光方式:\n"
              L"フラッシュ:OFF\n焦点距離:\n開放Ｆ値:\n撮影日時:\n");
}

}  // namespace
}  // namespace pelio
