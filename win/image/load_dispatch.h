// Format detection of files and the load dispatch. Win32.
#pragma once
#include <string>

#include "core/image/codec.h"
#include "core/image/gif_codec.h"
#include "core/image/image.h"

namespace pelio {

// The format of a file by its first bytes; Unknown when it cannot be opened.
ImageFormat DetectFormat(const std::wstring& path);

// Decodes a file with the decoder of its format (or the plug-ins) and installs it as the
// current image. Shows no message; on failure the current image and its source facts stay.
bool LoadImageFile(const std::wstring& path);

// Decodes a file of a built-in format with `options` through `allocator`; `animation` (GIF
// only) receives the later frames of a looping GIF. Safe on any thread.
bool DecodeFileWith(ImageFormat format, const std::wstring& path, const LoadOptions& options,
                    PixelAllocator& allocator, DecodeResult& result, GifAnimation* animation);

// Decodes a file of a known format into a new bitmap section without touching the current
// image (the saved-result preview). The caller owns out.bitmap.
bool DecodeFile(ImageFormat format, const std::wstring& path, Image& out, int& fileSize);

}  // namespace pelio
