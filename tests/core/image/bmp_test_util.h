// Building BMP files byte by byte for the tests. Portable.
#pragma once
#include <cstdint>
#include <vector>

#include "core/image/byte_io.h"

namespace pelio::test {

struct BmpSpec {
    int32_t width = 4, height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t headerSize = 40;
    int32_t xRes = 2835, yRes = 2835;
    std::vector<uint8_t> extra;   // palette and masks, as they follow the header
    std::vector<uint8_t> pixels;  // as stored
    bool packed = false;          // no 14-byte file header
};

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
    const size_t fileHeader = s.packed ? 0 : 14;
    const size_t headerBytes = s.headerSize > 40 ? s.headerSize : 40;
    std::vector<uint8_t> out(fileHeader + headerBytes, 0);
    if (!s.packed) {
        out[0] = 'B';
        out[1] = 'M';
        PutU32LE(&out[10], static_cast<uint32_t>(fileHeader + headerBytes + s.extra.size()));
    }
    uint8_t* h = &out[fileHeader];
    PutU32LE(h, s.headerSize);
    PutU32LE(h + 4, static_cast<uint32_t>(s.width));
    PutU32LE(h + 8, static_cast<uint32_t>(s.height));
    PutU16LE(h + 12, 1);
    PutU16LE(h + 14, s.bitCount);
    PutU32LE(h + 16, s.compression);
    PutU32LE(h + 24, static_cast<uint32_t>(s.xRes));
    PutU32LE(h + 28, static_cast<uint32_t>(s.yRes));
    PutU32LE(h + 32, s.clrUsed);
    out.insert(out.end(), s.extra.begin(), s.extra.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

inline void PushU32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

}  // namespace pelio::test
