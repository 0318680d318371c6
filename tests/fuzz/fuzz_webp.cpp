// Arbitrary bytes through the WebP plug-in's decoder: headers, then the picture when it is
// small enough to decode quickly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "plugins/webp/webp_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelio;
    std::span<const uint8_t> bytes(data, size);
    WebpInfo info;
    const WebpError error = ReadWebpInfo(bytes, info);
    if (error != WebpError::None) {
        if (error != WebpError::NotWebp && error != WebpError::Broken && error != WebpError::TooLarge) std::abort();
        return 0;
    }
    if (info.width < 1 || info.height < 1 || info.width > kWebpMaxSide || info.height > kWebpMaxSide) std::abort();
    if (static_cast<int64_t>(info.width) * info.height > (1 << 20)) return 0;
    const size_t stride = WebpRowBytes(info.width);
    std::vector<uint8_t> bits(WebpDecodeBytes(info), 0xCD);
    if (DecodeWebp(bytes, bits) == WebpError::None) {
        // Every padding byte is written.
        for (int y = 0; y < info.height; ++y)
            for (size_t i = 3 * static_cast<size_t>(info.width); i < stride; ++i)
                if (bits[stride * y + i] != 0) std::abort();
    }
    // One byte short is always refused before any write.
    bits.pop_back();
    if (DecodeWebp(bytes, bits) != WebpError::SmallBuffer) std::abort();
    return 0;
}
