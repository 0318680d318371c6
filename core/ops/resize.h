// Resampling of 24-bit pictures to another size. Portable.
#pragma once
#include "core/image/image.h"

namespace pelio {

// Scales the 24-bit `source` into the 24-bit `target`, whose header gives the new size and
// whose pixels are allocated. Two separable passes in storage order, each scaling lines of n
// samples to m, channel by channel: area averaging when m < n, linear interpolation aligned
// at the first sample when n < m ≤ 2n. When both sides change the vertical pass comes first
// and each of its rows is scaled across as soon as it is made. False (the target untouched)
// for a side ≤ 0 or above 25000, an unchanged size, a pass that would more than double its
// lines, or tables that cannot be had.
bool ResizePixels(const Image& source, Image& target);

}  // namespace pelio
