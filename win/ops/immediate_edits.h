// Edits that apply at once, without the adjustment frame: quarter turns, flips and tone
// inversion, and the installation of any operation's result. Win32.
#pragma once
#include <cstdint>

#include "core/image/image.h"

namespace pelio {

// Makes `result` (a bitmap section of the shell) the current image as an edited picture:
// BMP format, its own bit count as the source depth, `fileSize`, no resolution, no source
// facts, modified; a lossless JPEG save turns into a plain one.
void InstallResult(Image& result, int32_t fileSize);

// The quarter turns, mirror, flip (cmd::kTurn90 .. cmd::kFlip) and cmd::kInvert; false for other commands. Nothing without an image.
bool ImmediateEditCommand(int id);

}  // namespace pelio
