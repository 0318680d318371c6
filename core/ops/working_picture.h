// The working picture an operation computes into, made from the current image, and the file
// size an edited picture shows. Portable.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/image/image.h"
#include "core/ops/pixel_job.h"

namespace pelio {

// What an operation asks of the picture it starts on.
struct PictureNeeds {
    bool works24 = false;  // a palette picture is converted to 24 bits first
    int minSide = 0;       // narrower or lower pictures are refused
};

// The neighbourhood filters: 24 bits, at least 5 × 5 pixels.
inline constexpr PictureNeeds kFilterNeeds{.works24 = true, .minSide = 5};

// False when the operation refuses the picture as too small.
bool PictureFits(const Image& image, const PictureNeeds& needs);

// The kernels' source (the image itself, or its 24-bit conversion), the working picture of the
// same size and depth with the image's palette and a copy of the source's pixels, and the job
// from one to the other. The job points into the record: it stays where it was made.
struct WorkingPicture {
    WorkingPicture() = default;
    WorkingPicture(const WorkingPicture&) = delete;
    WorkingPicture& operator=(const WorkingPicture&) = delete;

    Image source;
    std::vector<uint8_t> source24;  // the conversion's pixels
    Image picture;                  // from the allocator; its owner releases it or passes it on
    PixelJob job;
};

// Fills `out` for an 8- or 24-bit `image`; `cancel` goes into the job. False for another
// depth or when the conversion or the allocation fails (then nothing is left allocated).
bool MakeWorkingPicture(const Image& image, const PictureNeeds& needs, PixelAllocator& allocator,
                        WorkingPicture& out, const std::atomic<bool>* cancel = nullptr);

// The file size of an edited picture: its pixel bytes after the BMP headers, and after the
// palette for 8 bits.
int32_t EditedFileSize(const Image& picture);

}  // namespace pelio
