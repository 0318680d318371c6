// Format detection. Portable.
#include "core/image/format.h"

namespace pelio {

ImageFormat DetectFormat(std::span<const uint8_t> h) {
    const size_t n = h.size();
    if (n == 0) return ImageFormat::Empty;
    if (n < 2) return ImageFormat::Unknown;
    // Decides on byte `at` once it is there; a file that ends first is too short to tell.
    auto third = [&](size_t at, uint8_t want, ImageFormat yes) {
        if (n <= at) return ImageFormat::Empty;
        return h[at] == want ? yes : ImageFormat::Unknown;
    };
    const uint8_t a = h[0], b = h[1];
    if (a == 'G' && b == 'I') return third(2, 'F', ImageFormat::Gif);
    if (a == 'B' && b == 'M') return ImageFormat::Bmp;
    if (a == 'M' && b == 'M') return third(3, '*', ImageFormat::Tiff);
    if (a == 'I' && b == 'I') return third(2, '*', ImageFormat::Tiff);
    if (a == 0x89 && b == 'P') {
        if (n < 8) return ImageFormat::Empty;
        static constexpr uint8_t kRest[6] = {'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        for (int i = 0; i < 6; ++i)
            if (h[2 + i] != kRest[i]) return ImageFormat::Unknown;
        return ImageFormat::Png;
    }
    if (a == 0xFF && b == 0xD8) return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

ImageFormat FormatFromExtension(std::wstring_view path) {
    size_t dot = path.find_last_of(L'.');
    size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash))
        return ImageFormat::Unknown;
    std::wstring_view ext = path.substr(dot + 1);
    auto is = [&](std::wstring_view want) {
        if (ext.size() != want.size()) return false;
        for (size_t i = 0; i < ext.size(); ++i) {
            wchar_t c = ext[i];
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
            if (c != want[i]) return false;
        }
        return true;
    };
    if (is(L"jpg") || is(L"jpe") || is(L"jpeg")) return ImageFormat::Jpeg;
    if (is(L"png")) return ImageFormat::Png;
    if (is(L"gif")) return ImageFormat::Gif;
    if (is(L"bmp")) return ImageFormat::Bmp;
    if (is(L"tif") || is(L"tiff")) return ImageFormat::Tiff;
    return ImageFormat::Unknown;
}

}  // namespace pelio
