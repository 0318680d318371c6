// JPEG decoding and encoding over libjpeg, with the size-limited quality search. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/image/codec.h"

namespace pelio {

// A failure the library reported: show LastJpegLibraryMessage() with caption
// "JPEG Library Error".
inline constexpr int kJpegLibraryError = 100;

// The library's formatted message (ANSI) of the last library failure on this thread.
std::string LastJpegLibraryMessage();

// Greyscale to 8 bits with a grey palette; colour and CMYK to 24 bits. The caption facts:
// interlaced = progressive, comment = COM markers before the scan, text = an APP1 was met.
bool DecodeJpeg(std::span<const uint8_t> file, const LoadOptions& options,
                PixelAllocator& allocator, DecodeResult& result);

// Baseline or progressive at the settings' quality and sampling, or the highest quality that
// fits the size limit when it is on.
bool EncodeJpeg(const Image& image, const SaveOptions& options, ByteSink& out, int& error);

// Pixels per metre of a JFIF density: unit 1 dots per inch, unit 2 dots per centimetre.
int32_t PixelsPerMetre(int unit, int density);
// Dots per inch written for a resolution in pixels per metre.
int DotsPerInch(int32_t pixelsPerMetre);

inline constexpr size_t kJpegCommentLimit = 10000;

// The size-limited search: `sizeAt(q)` encodes at quality q and gives the size, or nothing
// when the encode failed. Returns the quality of the last trial (whose output is the one to
// write), or nothing on failure.
std::optional<int> SearchJpegQuality(size_t limit,
                                     const std::function<std::optional<size_t>(int)>& sizeAt);

}  // namespace pelio
