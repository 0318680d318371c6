// Exif rows for display. Portable.
#include "core/image/exif_text.h"

#include <cmath>
#include <cstdio>

namespace pelio {

namespace {

constexpr const wchar_t* kExposurePrograms[] = {
    L"マニュアル",         L"プログラムAE",     L"絞り優先AE", L"シャッター速度優先AE",
    L"低速プログラムAE", L"高速プログラムAE", L"ポートレートモード", L"風景モード",
};
constexpr const wchar_t* kMeteringModes[] = {
    L"平均測光", L"中央重点測光", L"スポット測光", L"多点スポット測光", L"分割測光", L"部分測光",
};

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }

std::wstring OneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return Widen(text);
}

double Ratio(const ExifRational& r) {
    return static_cast<double>(r.numerator) / static_cast<double>(r.denominator);
}

template <size_t N>
std::wstring Named(const wchar_t* const (&names)[N], unsigned value) {
    return value >= 1 && value <= N ? names[value - 1] : L"";
}

}  // namespace

const std::array<const wchar_t*, kExifRowCount> kExifItemNames = {
    L"メーカー", L"機種",     L"シャッター", L"絞り値",     L"露出制御", L"ISO感度",
    L"露出補正", L"測光方式", L"フラッシュ", L"焦点距離", L"開放Ｆ値", L"撮影日時",
};

ExifValues FormatExifValues(const ExifData& x, AnsiToWide fromAnsi) {
    ExifValues v;
    v[0] = fromAnsi(x.make);
    v[1] = fromAnsi(x.model);
    if (x.exposureTime.denominator != 0)
        v[2] = std::to_wstring(x.exposureTime.numerator) + L"/" + std::to_wstring(x.exposureTime.denominator) + L"秒";
    if (x.fNumber.denominator != 0) v[3] = OneDecimal(Ratio(x.fNumber));
    v[4] = Named(kExposurePrograms, x.exposureProgram);
    if (x.isoSpeed != 0) v[5] = std::to_wstring(x.isoSpeed);
    if (x.exposureBias.denominator != 0) v[6] = OneDecimal(Ratio(x.exposureBias));
    v[7] = Named(kMeteringModes, x.meteringMode);
    v[8] = x.flash & 1 ? L"ON" : L"OFF";
    if (x.focalLength.denominator != 0) v[9] = OneDecimal(Ratio(x.focalLength)) + L"mm";
    if (x.maxAperture.denominator != 0) v[10] = OneDecimal(std::pow(2.0, Ratio(x.maxAperture) / 2.0));
    v[11] = fromAnsi(x.dateTime);
    for (std::wstring& value : v)
        if (value.size() > kExifValueLimit) value.resize(kExifValueLimit);
    return v;
}

std::wstring ExifClipboardText(const ExifValues& values) {
    std::wstring text;
    for (size_t row = 0; row < kExifRowCount; ++row) text += std::wstring(kExifItemNames[row]) + L":" + values[row] + L"\n";
    return text;
}

}  // namespace pelio
