// The working picture of an operation. Portable.
#include "core/ops/working_picture.h"

#include <cstring>

#include "core/image/colour_engine.h"

namespace pelio {

bool PictureFits(const Image& image, const PictureNeeds& needs) {
    return image.Width() >= needs.minSide && image.Height() >= needs.minSide;
}

bool MakeWorkingPicture(const Image& image, const PictureNeeds& needs, PixelAllocator& allocator,
                        WorkingPicture& out, const std::atomic<bool>* cancel) {
    if (image.BitCount() != 8 && image.BitCount() != 24) return false;
    out.source = image;
    if (needs.works24 && ExpandTo24(image, out.source24, out.source) != Expand24::Ok) return false;
    Image& w = out.picture;
    w = Image{};
    w.header.width = image.Width();
    w.header.height = image.Height();
    w.header.bitCount = out.source.header.bitCount;
    w.palette = image.palette;
    if (!allocator.Allocate(w)) return false;
    std::memcpy(w.bits, out.source.bits, w.PixelBytes());
    out.job = MakePixelJob(out.source, w);
    out.job.cancel = cancel;
    return true;
}

int32_t EditedFileSize(const Image& picture) {
    return BmpFileSize(picture, kBmpHeaderBytes + (picture.BitCount() == 8 ? kBmpPaletteBytes : 0));
}

}  // namespace pelio
