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
    const int64_t size = f.fileSize < 0 ? 0 : f.fileSize;
    s += std::to_wstring(f.width) + L"x" + std::to_wstring(f.height) + L"  " +
         std::to_wstring(f.sourceBits) + L"bit  " + std::to_wstring(size / 1024) + L"." +
         std::to_wstring((size % 1024) * 10 / 1024) + L"KB )";
    return s;
}

}  // namespace pelio
