// Unfiltering PNG rows and writing them out, fused per pixel format and filter. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/image/png_chunk.h"

namespace pelio {

// Where the decoded rows go: the output, bottom-up, and its alpha plane.
struct PngRowOutput {
    uint8_t* pixels = nullptr;  // the output's first row in memory (the image's last)
    size_t stride = 0;
    uint8_t* alpha = nullptr;   // a byte per pixel, bottom-up like the output; null without one
    uint32_t width = 0, height = 0;
};

// The routines read whole pixels a few bytes past a row's end: the room a block needs after
// its last row.
inline constexpr size_t kPngRowSlack = 16;

// Unfilters the rows of one image a block at a time and writes them into the output. A
// block holds the row before its first (zeros at the start of a pass), then its rows, each
// with its filter type byte first, then kPngRowSlack bytes.
class PngRowUnfilter {
public:
    // The source format; `keyed` turns the transparent colour `key` (the tRNS samples as
    // stored) into an alpha mask.
    PngRowUnfilter(int depth, int colourType, bool keyed, const uint8_t key[6],
                   const PngRowOutput& output);

    // Starts a pass (the whole image when not interlaced) of rows of `cols` pixels in
    // `rowBytes` bytes, the filter type byte included.
    void StartPass(const Adam7Pass& pass, uint32_t cols, size_t rowBytes);

    // Unfilters the `count` rows of `block`, rows `first` on of the pass, writes them out and
    // leaves the last of them in the slot of the row before, for the next block.
    void Rows(uint8_t* block, size_t count, uint32_t first) const;

private:
    int kind_;
    int depth_;
    uint8_t key_[6];
    PngRowOutput out_;
    Adam7Pass pass_{0, 0, 1, 1};
    uint32_t cols_ = 0;
    size_t rowBytes_ = 0;
};

}  // namespace pelio
