// The pending lossless JPEG transform: how edits update it, the save, the preview. Portable.
#pragma once
#include <cstdint>
#include <optional>

#include "core/image/codec.h"
#include "core/commands/messages.h"

namespace pelio {

// The pending transform of a JPEG image (0: none).
enum LosslessTransform : int {
    kLosslessNone = 0,
    kLosslessRotate90 = 1,
    kLosslessRotate180 = 2,
    kLosslessRotate270 = 3,
    kLosslessFlipHorizontal = 4,
    kLosslessFlipVertical = 5,
};

enum class EditTurn { Rotate90, Rotate180, Rotate270, FlipHorizontal, FlipVertical };

inline constexpr int kLosslessFails = -1;

// The pending transform after `turn`, or kLosslessFails when no single transform does both
// (the image then becomes an ordinary edited BMP-format image).
int ComposeLosslessTransform(int pending, EditTurn turn);

// Why the lossless save refuses to start: kErrReadData when the source could not be opened,
// kErrFileChanged when its last-write time is no longer the one the image was loaded with;
// nothing when it may start.
std::optional<GeneralError> LosslessSaveRefusal(bool sourceOpened, uint64_t sourceFileTime,
                                                uint64_t imageFileTime);

// Rewrites options.losslessSource with options.losslessTransform applied to its
// coefficients; marker copying, trim, greyscale and progressive from the save settings.
bool EncodeJpegLossless(const Image& image, const SaveOptions& options, ByteSink& out,
                        int& error);

// The preview of a saved result for an image of `width` × `height` at `bits`: `decoded`
// itself when its size matches; otherwise a black picture of that size with the decoded rows
// placed bottom-up from the first bitmap row, right-aligned (and `decoded` released).
bool PlaceLosslessPreview(Image& decoded, int32_t width, int32_t height, int bits,
                          PixelAllocator& allocator, Image& out);

}  // namespace pelio
