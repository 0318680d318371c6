// PNG pieces shared by the reader, the writer and the text-chunk routines. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace pelio {

inline constexpr uint8_t kPngFileSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Signature plus a complete IHDR chunk.
inline constexpr size_t kPngHeaderEnd = 33;
inline constexpr uint32_t kPngMaxChunkLength = 0x7FFFFFFF;

constexpr uint32_t ChunkTag(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 |
           uint32_t(uint8_t(name[2])) << 8 | uint32_t(uint8_t(name[3]));
}

inline uint32_t GetU32BE(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}
inline void PutU32BE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// CRC-32 of a chunk's type and data, `chunk` starting at the type.
uint32_t PngCrc(const uint8_t* chunk, size_t typeAndDataLength);
// True when the CRC stored after the type and data of `chunk` (which starts at its length
// field and holds `dataLength` data bytes) matches. The caller has checked that it fits.
bool PngCrcMatches(const uint8_t* chunk, uint32_t dataLength);

// The Adler-32 sum of a zlib stream's data, continued from `adler` (1 at the start).
uint32_t PngAdler32(uint32_t adler, const uint8_t* data, size_t size);

// zlib's allocation pair. The shell points it at the program's heap; by default zlib
// allocates with malloc.
struct PngHeap {
    void* (*alloc)(void* opaque, unsigned items, unsigned size) = nullptr;
    void (*free)(void* opaque, void* address) = nullptr;
    void* opaque = nullptr;
};
void SetPngHeap(const PngHeap& heap);
const PngHeap& CurrentPngHeap();

// The seven interlace passes: first column and row, column and row steps.
struct Adam7Pass {
    uint32_t x0, y0, dx, dy;
};
inline constexpr Adam7Pass kAdam7[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};
// Columns (or rows) of a pass over `size` pixels starting at `first` with step `step`.
constexpr uint32_t PassExtent(uint32_t size, uint32_t first, uint32_t step) {
    return size > first ? (size - first + step - 1) / step : 0;
}

// The Paeth predictor without branches: the nearest of a (left), b (up), c (up-left), ties
// going to a, then b.
inline uint8_t Paeth(int a, int b, int c) {
    int pa = b - c, pb = a - c, pc = pa + pb;
    pa = pa < 0 ? -pa : pa;
    pb = pb < 0 ? -pb : pb;
    pc = pc < 0 ? -pc : pc;
    int bc = pb <= pc ? b : c;
    return uint8_t((pa <= pb && pa <= pc) ? a : bc);
}

}  // namespace pelio
