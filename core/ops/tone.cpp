// Tone kernels without tables. Portable.
#include "core/ops/tone.h"

#include <cstring>

namespace pelio {

bool InvertPixels(const PixelJob& job) {
    if (!job.source || !job.target) return false;
    if (job.bitCount == 8) {
        if (!job.sourcePalette || !job.targetPalette) return false;
        std::memcpy(job.target, job.source, size_t(job.stride) * job.height);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& s = job.sourcePalette[i];
            job.targetPalette[i] = {uint8_t(255 - s.blue), uint8_t(255 - s.green),
                                    uint8_t(255 - s.red), 0};
        }
        return true;
    }
    if (job.bitCount != 24) return false;
    const size_t rowBytes = size_t(job.width) * 3;
    for (int r = 0; r < job.height; ++r) {
        const uint8_t* s = job.source + size_t(r) * job.stride;
        uint8_t* d = job.target + size_t(r) * job.stride;
        size_t i = 0;
        for (; i + 8 <= rowBytes; i += 8) {  // eight bytes at a time
            uint64_t word;
            std::memcpy(&word, s + i, 8);
            word = ~word;
            std::memcpy(d + i, &word, 8);
        }
        for (; i < rowBytes; ++i) d[i] = uint8_t(~s[i]);
    }
    return true;
}

}  // namespace pelio
