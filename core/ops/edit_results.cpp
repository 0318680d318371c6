// Operations whose result is a new picture. Portable.
#include "core/ops/edit_results.h"

#include <algorithm>
#include <vector>

#include "core/image/colour_engine.h"
#include "core/ops/pixel_job.h"
#include "core/ops/resize.h"
#include "core/ops/rotate.h"
#include "core/ops/tone.h"
#include "core/ops/working_picture.h"

namespace pelio {

namespace {

bool NewPicture(int width, int height, int bitCount, const Palette& palette, PixelAllocator& allocator,
                Image& out) {
    out = Image{};
    out.header.width = width;
    out.header.height = height;
    out.header.bitCount = static_cast<uint16_t>(bitCount);
    out.palette = palette;
    return allocator.Allocate(out);
}

bool PaletteOr24(const Image& image) { return image.BitCount() == 8 || image.BitCount() == 24; }

}  // namespace

bool TrimResult(const Image& image, const TrimRect& s, PixelAllocator& allocator, Image& out) {
    if (!PaletteOr24(image) || s.x1 < 0 || s.y1 < 0 || s.x1 > s.x2 || s.y1 > s.y2 || s.x2 >= image.Width() ||
        s.y2 >= image.Height())
        return false;
    if (!NewPicture(s.x2 - s.x1 + 1, s.y2 - s.y1 + 1, image.BitCount(), image.palette, allocator, out)) return false;
    if (!TrimPixels(image, s, out)) {
        allocator.Release(out);
        return false;
    }
    out.fileSize = TrimmedFileSize(out);
    return true;
}

bool MarginsResult(const Image& image, const Margins& m, uint32_t colour, PixelAllocator& allocator, Image& out) {
    std::vector<uint8_t> converted;
    Image source;
    if (ExpandTo24(image, converted, source) != Expand24::Ok) return false;
    if (!NewPicture(image.Width() + m.left + m.right, image.Height() + m.top + m.bottom, 24, Palette{}, allocator,
                    out))
        return false;
    AddMargins(source, m, colour, out);
    out.fileSize = BmpFileSize(out, kBmpHeaderBytes);
    return true;
}

bool TurnResult(const Image& image, TurnKind kind, PixelAllocator& allocator, Image& out) {
    if (!PaletteOr24(image)) return false;
    const bool swap = TurnSwapsSides(kind);
    if (!NewPicture(swap ? image.Height() : image.Width(), swap ? image.Width() : image.Height(), image.BitCount(),
                    image.palette, allocator, out))
        return false;
    if (!TurnPixels(MakePixelJob(image, out), kind)) {
        allocator.Release(out);
        return false;
    }
    out.fileSize = BmpFileSize(out, kBmpHeaderBytes);
    return true;
}

bool InvertResult(const Image& image, PixelAllocator& allocator, Image& out) {
    if (!PaletteOr24(image) || !NewPicture(image.Width(), image.Height(), image.BitCount(), image.palette, allocator, out))
        return false;
    InvertPixels(MakePixelJob(image, out));
    out.fileSize = EditedFileSize(out);
    return true;
}

int ClampResizeSide(int value, int side) {
    const int most = static_cast<int>(std::min<int64_t>(2 * int64_t{side}, kMaxImageSide));
    return std::clamp(value, 1, std::max(most, 1));
}

bool ResizeResult(const Image& image, int width, int height, PixelAllocator& allocator, Image& out) {
    std::vector<uint8_t> converted;
    Image source;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
    if (ExpandTo24(image, converted, source) != Expand24::Ok) return false;
    if (!NewPicture(width, height, 24, Palette{}, allocator, out)) return false;
    if (!ResizePixels(source, out)) {
        allocator.Release(out);
        return false;
    }
    out.fileSize = BmpFileSize(out, kBmpHeaderBytes);
    return true;
}

bool RotateResult(const Image& image, int tenths, uint32_t background, PixelAllocator& allocator, Image& out) {
    const RotatedExtent extent = RotatedSize(image.Width(), image.Height(), tenths);
    if (extent.width > kMaxImageSide || extent.height > kMaxImageSide) return false;
    std::vector<uint8_t> converted;
    Image source;
    if (ExpandTo24(image, converted, source) != Expand24::Ok) return false;
    if (!NewPicture(extent.width, extent.height, 24, Palette{}, allocator, out)) return false;
    // The job runs over the source; its target is the enlarged picture.
    if (!RotateFull(MakePixelJob(source, out), tenths, background, extent.width, extent.height)) {
        allocator.Release(out);
        return false;
    }
    out.fileSize = BmpFileSize(out, kBmpHeaderBytes);
    return true;
}

}  // namespace pelio
