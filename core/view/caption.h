// The caption that describes the current image. Portable.
#pragma once
#include <cstdint>
#include <string>

#include "core/image/image.h"

namespace pelio {

struct CaptionFacts {
    std::wstring name;
    bool modified = false;
    ImageFormat format = ImageFormat::Unknown;
    SourceInfo info;
    int width = 0, height = 0;
    int sourceBits = 0;
    int64_t fileSize = 0;
};

// The letters of the source facts for the format ("IAT" for PNG, "PCE" for JPEG, …).
std::wstring SourceLetters(ImageFormat format, const SourceInfo& info);

// "name*  ( IA  640x480  24bit  12.3KB )".
std::wstring CaptionText(const CaptionFacts& facts);

// A size in kilobytes with one decimal, both parts truncated: "12.3KB".
std::wstring KilobytesText(int64_t bytes);

// The Edit window's title: the caption and two blanks, then " .... " and the saved-result
// preview's size while a preview is shown; "Pelio" without an image.
std::wstring EditWindowTitle(const std::wstring& caption, bool hasImage, bool previewShown,
                             int64_t previewBytes);

}  // namespace pelio
