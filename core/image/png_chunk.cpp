// PNG CRC and the zlib heap hook. Portable.
#include "core/image/png_chunk.h"

#include <zlib.h>

namespace pelio {

namespace {
PngHeap gHeap;
}

uint32_t PngCrc(const uint8_t* chunk, size_t typeAndDataLength) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as unsigned int; feed large chunks in parts.
    while (typeAndDataLength > 0) {
        size_t part = typeAndDataLength > 0x40000000 ? 0x40000000 : typeAndDataLength;
        crc = crc32(crc, chunk, static_cast<uInt>(part));
        chunk += part;
        typeAndDataLength -= part;
    }
    return static_cast<uint32_t>(crc);
}

bool PngCrcMatches(const uint8_t* chunk, uint32_t dataLength) {
    return PngCrc(chunk + 4, size_t{dataLength} + 4) == GetU32BE(chunk + 8 + dataLength);
}

void SetPngHeap(const PngHeap& heap) { gHeap = heap; }
const PngHeap& CurrentPngHeap() { return gHeap; }

}  // namespace pelio
