// The PNG reader's walk over the chunks, and inflating the image data. Portable.
#pragma once
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>

#include "core/image/byte_io.h"
#include "core/image/image.h"

namespace pelio {

struct PngFree {
    void operator()(void* p) const { std::free(p); }
};
using PngBuffer = std::unique_ptr<uint8_t, PngFree>;

// `size` bytes (at least one), zero-filled when asked; null when there is no memory.
PngBuffer AllocatePngBuffer(size_t size, bool zero);

// Everything the chunk walk learns, and the output the image data is decoded into.
struct PngState {
    // IHDR
    uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    // derived
    int channels = 0;
    bool grey = false, alphaChannel = false;
    // chunk flags
    bool plteSeen = false, idatSeen = false, gamaSeen = false, bkgdSeen = false, trnsSeen = false;
    uint32_t gama = 0;
    uint8_t bkgd[3] = {};     // red, green, blue
    uint8_t trnsRaw[6] = {};  // the tRNS samples as stored
    uint8_t transparentGrey = 0;
    uint8_t paletteAlpha[256];
    int paletteEntries = 0;
    int texts = 0, comments = 0;
    uint32_t xRes = 0, yRes = 0;
    Palette palette{};
    // output
    int outBits = 8;
    size_t outStride = 0;
    PngBuffer pixels;  // 8-bit output before it moves into the image
    PngBuffer alpha;   // alpha plane, bottom-up like the output
    uint8_t* out = nullptr;
    bool keyed = false;  // tRNS colour turned into an alpha mask
};

// Reads and checks IHDR; the error code or 0.
int ReadPngHeader(std::span<const uint8_t> file, PngState& s);

// Decodes the run of `count` IDAT chunks, the first at `first` (its length field); the error
// code or 0.
using PngImageData = std::function<int(size_t first, int count)>;

// Walks the chunks after IHDR up to IEND, handing the IDAT run to `decode` on the way. The
// error code or 0.
int WalkPngChunks(std::span<const uint8_t> file, PngState& s, const PngImageData& decode);

// Inflates a run of IDAT chunks the walk has checked, chunk by chunk. The stream's Adler-32
// is checked here rather than by zlib, with a faster sum, over each piece of output as it
// comes while the piece is still in cache.
class PngIdatStream {
public:
    PngIdatStream(std::span<const uint8_t> file, size_t first, int count);
    ~PngIdatStream();
    PngIdatStream(const PngIdatStream&) = delete;
    PngIdatStream& operator=(const PngIdatStream&) = delete;

    // The error code or 0.
    int Start();
    // Inflates `size` bytes into `out`, fewer when the stream ends (`ended`) first; `got`
    // counts them. The error code or 0.
    int Read(uint8_t* out, size_t size, size_t& got, bool& ended);
    // Once every row has come: checks the stream's end when only it and the check value
    // follow, even in later chunks; data beyond the last row is never asked for. The error
    // code or 0.
    int Finish();

private:
    // Gives zlib more input when it has none; false when the run is used up.
    bool Refill();
    // The four bytes zlib read last, as a big-endian number: the stream's check value once
    // it has ended.
    uint32_t LastFour() const;

    ByteReader run_;  // at the next chunk's length field
    int left_;        // chunks not yet begun
    const uint8_t* part_ = nullptr;
    size_t partLeft_ = 0;
    const uint8_t* given_ = nullptr;  // the input given to zlib last runs from here to part_
    uint32_t last_ = 0;               // the last bytes of the input before that
    z_stream zs_{};
    bool started_ = false;
    uint32_t adler_ = 1;
};

}  // namespace pelio
