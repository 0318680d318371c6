// The decoded picture, format codes, source facts and pixel storage. Portable.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pelio {

struct PaletteEntry {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};
using Palette = std::array<PaletteEntry, 256>;

// The Windows bitmap information header, field for field (40 bytes, little-endian in files).
struct BitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows stored bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

enum class ImageFormat : uint32_t {
    Unknown = 0,  // not recognised: the plug-ins may try; also plug-in images
    Bmp = 1,
    Png = 2,
    Jpeg = 3,
    Tiff = 4,
    Gif = 5,
    Empty = 6,  // empty or too short to tell: fails without the plug-ins
};

enum class SaveFormat : int {
    Bmp = 0,
    Png = 1,
    Jpeg = 2,
    Tiff = 3,
    Gif = 4,
    JpegLossless = 5,
};

// What the caption shows of the source: non-zero means present.
struct SourceInfo {
    int interlaced = 0;    // PNG/GIF interlaced, JPEG progressive
    int transparency = 0;  // PNG, GIF
    int text = 0;          // PNG text chunks, JPEG Exif
    int comment = 0;       // JPEG, TIFF, GIF
    friend bool operator==(const SourceInfo&, const SourceInfo&) = default;
};

// Longest side a decoder accepts.
inline constexpr int32_t kMaxImageSide = 25000;

// Bytes per row of `width` pixels of `bits` bits, padded to 4 bytes.
constexpr size_t RowStride(int32_t width, int bits) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32) * 4;
}

struct Image {
    BitmapInfoHeader header;
    Palette palette{};
    ImageFormat format = ImageFormat::Unknown;
    uint8_t* bits = nullptr;   // first byte of the pixel rows
    void* bitmap = nullptr;    // the storage's handle (a bitmap section in the shell)
    int32_t fileSize = 0;
    int32_t sourceBits = 0;    // depth the source file declares
    uint64_t fileTime = 0;     // last-write time of the source file

    int32_t Width() const { return header.width; }
    int32_t Height() const { return header.height; }
    int BitCount() const { return header.bitCount; }
    size_t Stride() const { return RowStride(header.width, header.bitCount); }
    size_t PixelBytes() const { return Stride() * static_cast<size_t>(header.height); }
    uint8_t* Row(int32_t y) const { return bits + Stride() * static_cast<size_t>(y); }
};

// The colour of the pixel at (x, y), counted from the top left, of an 8-, 24- or 32-bit
// picture; nothing outside it or for other depths.
std::optional<PaletteEntry> PixelColour(const Image& image, int32_t x, int32_t y);

// The BMP size an installed result shows: its padded pixel bytes after `headerBytes`.
inline constexpr int32_t kBmpHeaderBytes = 54;
inline constexpr int32_t kBmpPaletteBytes = 1024;
inline int32_t BmpFileSize(const Image& picture, int32_t headerBytes) {
    return static_cast<int32_t>(picture.PixelBytes()) + headerBytes;
}

// Where decoded pixels live. The shell makes bitmap sections (over the header and palette
// already set in the image); tools and tests use plain memory.
class PixelAllocator {
public:
    virtual ~PixelAllocator() = default;
    // Storage for image.PixelBytes() bytes, zero-filled; sets image.bits and image.bitmap.
    virtual bool Allocate(Image& image) = 0;
    virtual void Release(Image& image) = 0;
};

// Plain zero-filled memory; image.bitmap holds the block.
class MemoryAllocator final : public PixelAllocator {
public:
    bool Allocate(Image& image) override;
    void Release(Image& image) override;
};

// What every decoder fills: the image, the caption facts and, on failure, an error code.
struct DecodeResult {
    Image image;
    SourceInfo info;
    int error = 0;
};

// Releases an image's storage when it goes out of scope, unless taken.
class ImageHolder {
public:
    ImageHolder(PixelAllocator& allocator, Image& image) : allocator_(allocator), image_(&image) {}
    ~ImageHolder() {
        if (image_ && image_->bits) allocator_.Release(*image_);
    }
    void Keep() { image_ = nullptr; }
    ImageHolder(const ImageHolder&) = delete;
    ImageHolder& operator=(const ImageHolder&) = delete;

private:
    PixelAllocator& allocator_;
    Image* image_;
};

}  // namespace pelio
