// The blend table. Portable.
#include "core/ops/blend_table.h"

namespace pelio {

namespace {

BlendTable Build() {
    BlendTable table{};
    for (int t = 0; t < 256; ++t) {
        table[255 * 256 + t] = static_cast<uint8_t>(t);
        table[t * 256 + 255] = static_cast<uint8_t>(t);
    }
    table[0] = 0;
    for (int s = 1; s <= 254; ++s) {
        const uint32_t a = static_cast<uint32_t>(s) * 65536 / 255;
        for (int t = s; t <= 254; ++t) {
            const auto v = static_cast<uint8_t>((t * a + 32768) >> 16);
            table[s * 256 + t] = v;
            table[t * 256 + s] = v;
        }
    }
    return table;
}

}  // namespace

const BlendTable& Blend() {
    static const BlendTable table = Build();
    return table;
}

}  // namespace pelio
