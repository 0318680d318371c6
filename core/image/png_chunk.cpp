// PNG CRC, the Adler-32 sum and the zlib heap hook. Portable.
#include "core/image/png_chunk.h"

#include <zlib.h>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
namespace {
uint64_t SumLanes(__m128i v) {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
    return uint64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
}
}  // namespace

uint32_t PngAdler32(uint32_t adler, const uint8_t* data, size_t size) {
    constexpr uint32_t kBase = 65521;
    // Up to 1024 blocks of 16 bytes between reductions keeps every 32-bit lane in range.
    constexpr size_t kMaxBlocks = 1024;
    uint64_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstWeights = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i lastWeights = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 16) {
        const size_t blocks = std::min(size / 16, kMaxBlocks);
        // The byte sums so far, the sum of those at each block (each block's bytes count
        // 16 times for every block after it) and the bytes weighted 16 down to 1 in a block.
        __m128i sums = zero, earlier = zero, weighted = zero;
        for (size_t i = 0; i < blocks; ++i, data += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
            earlier = _mm_add_epi32(earlier, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(d, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(d, zero), firstWeights));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(d, zero), lastWeights));
        }
        const uint64_t bytes = blocks * 16;
        s2 = (s2 + bytes * s1 + 16 * SumLanes(earlier) + SumLanes(weighted)) % kBase;
        s1 = (s1 + SumLanes(sums)) % kBase;
        size -= blocks * 16;
    }
    for (; size > 0; --size) {
        s1 += *data++;
        s2 += s1;
    }
    return uint32_t((s2 % kBase) << 16 | (s1 % kBase));
}
#else
uint32_t PngAdler32(uint32_t adler, const uint8_t* data, size_t size) {
    uLong sum = adler;
    while (size > 0) {
        const size_t part = std::min<size_t>(size, 0x40000000);
        sum = adler32(sum, data, uInt(part));
        data += part;
        size -= part;
    }
    return uint32_t(sum);
}
#endif

void SetPngHeap(const PngHeap& heap) { gHeap = heap; }
const PngHeap& CurrentPngHeap() { return gHeap; }

}  // namespace pelio
