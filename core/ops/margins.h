// Margins around a picture. Portable.
#pragma once
#include <cstdint>

#include "core/image/image.h"

namespace pelio {

struct Margins {
    int top = 0, bottom = 0, left = 0, right = 0;
    bool None() const { return top == 0 && bottom == 0 && left == 0 && right == 0; }
};

// The result may be at most this many pixels on each side.
inline constexpr int kMarginLimit = 25000;

// At the start: each margin limited so that the result stays within the limit, top before
// bottom and left before right.
Margins LimitMargins(Margins m, int width, int height);
// A changed margin, limited against the picture's side and the opposite margin.
int LimitMargin(int value, int side, int opposite);

// `source` is a 24-bit picture; `target` a 24-bit picture of (width + left + right) ×
// (height + top + bottom). The margins take `colour` (0x00BBGGRR).
void AddMargins(const Image& source, const Margins& m, uint32_t colour, Image& target);

}  // namespace pelio
