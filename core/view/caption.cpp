// Caption text. Portable.
#include "core/view/caption.h"

namespace pelio {

std::wstring SourceLetters(ImageFormat format, const SourceInfo& info) {
    std::wstring s;
    auto add = [&](int flag, wchar_t letter) {
        if (flag) s.push_back(letter);
    };
    switch (format) {
    case ImageFormat::Png:
        add(info.interlaced, L'I');
        add(info.transparency, L'A');
        add(info.text, L'T');
        break;
    case ImageFormat::Jpeg:
        add(info.interlaced, L'P');
        add(info.comment, L'C');
        add(info.text, L'E');
        break;
    case ImageFormat::Tiff:
        add(info.comment, L'C');
        break;
    case ImageFormat::Gif:
        add(info.interlaced, L'I');
        add(info.transparency, L'A');
        add(info.comment, L'C');
        break;
    default:
        break;
    }
    return s;
}

std::wstring CaptionText(const CaptionFacts& f) {
    std::wstring s = f.name;
    if (f.modified) s += L"*";
    s += L"  ( ";
    std::wstring letters = SourceLetters(f.format, f.info);
    if (!letters.empty()) s += letters + L"  ";
    s += std::to_wstring(f.width) + L"x" + std::to_wstring(f.height) + L"  " +
         std::to_wstring(f.sourceBits) + L"bit  " + KilobytesText(f.fileSize) + L" )";
    return s;
}

std::wstring KilobytesText(int64_t bytes) {
    const int64_t size = bytes < 0 ? 0 : bytes;
    return std::to_wstring(size / 1024) + L"." + std::to_wstring((size % 1024) * 10 / 1024) + L"KB";
}

std::wstring EditWindowTitle(const std::wstring& caption, bool hasImage, bool previewShown,
                             int64_t previewBytes) {
    if (!hasImage) return L"Pelio";
    std::wstring s = caption + L"  ";
    if (previewShown) s += L" .... " + KilobytesText(previewBytes);
    return s;
}

}  // namespace pelio
