// Margins. Portable.
#include "core/ops/margins.h"

#include <algorithm>
#include <cstring>

namespace pelio {

int LimitMargin(int value, int side, int opposite) {
    return std::clamp(value, 0, std::max(0, kMarginLimit - side - opposite));
}

Margins LimitMargins(Margins m, int width, int height) {
    m.top = LimitMargin(m.top, height, 0);
    m.bottom = LimitMargin(m.bottom, height, m.top);
    m.left = LimitMargin(m.left, width, 0);
    m.right = LimitMargin(m.right, width, m.left);
    return m;
}

void AddMargins(const Image& source, const Margins& m, uint32_t colour, Image& target) {
    const uint8_t b = static_cast<uint8_t>(colour >> 16), g = static_cast<uint8_t>(colour >> 8),
                  r = static_cast<uint8_t>(colour);
    const int w = target.Width(), h = target.Height();
    const size_t stride = target.Stride();
    // One row of margin colour, copied to every margin row and to both sides of the others.
    uint8_t* first = target.bits;
    for (int x = 0; x < w; ++x) {
        first[x * 3] = b;
        first[x * 3 + 1] = g;
        first[x * 3 + 2] = r;
    }
    const size_t rowBytes = size_t(w) * 3, sourceBytes = size_t(source.Width()) * 3;
    for (int row = 1; row < h; ++row) std::memcpy(target.bits + size_t(row) * stride, first, rowBytes);
    // Rows are bottom-up: the bottom margin comes first in storage.
    for (int row = 0; row < source.Height(); ++row)
        std::memcpy(target.bits + size_t(row + m.bottom) * stride + size_t(m.left) * 3,
                    source.bits + size_t(row) * source.Stride(), sourceBytes);
}

}  // namespace pelio
