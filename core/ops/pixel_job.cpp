// Pixel job set-up. Portable.
#include "core/ops/pixel_job.h"

namespace pelio {

PixelJob MakePixelJob(const Image& source, Image& target) {
    PixelJob job;
    job.width = source.Width();
    job.height = source.Height();
    job.bitCount = source.BitCount();
    job.stride = static_cast<int32_t>(source.Stride());
    job.sourcePalette = source.palette.data();
    job.targetPalette = target.palette.data();
    job.source = source.bits;
    job.target = target.bits;
    return job;
}

}  // namespace pelio
