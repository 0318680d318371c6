// Quarter turns, flips and tone inversion. Win32.
#include "win/ops/immediate_edits.h"

#include <windows.h>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "core/image/jpeg_lossless.h"
#include "core/ops/geometry.h"
#include "core/ops/tone.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/editor/edit_state.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

// A new bitmap section of `w` × `h` at the current image's depth and palette.
bool NewPicture(int w, int h, Image& out) {
    const CurrentImage& c = Current();
    out = Image{};
    out.header.width = w;
    out.header.height = h;
    out.header.bitCount = static_cast<uint16_t>(c.bitCount);
    out.palette = c.palette;
    DibAllocator allocator;
    return allocator.Allocate(out);
}

void ShowResult(bool sizeChanged) { ImageUpdated(sizeChanged ? ImageUpdate::Resized : ImageUpdate::Edited); }

EditTurn EditTurnOf(TurnKind kind) {
    switch (kind) {
    case TurnKind::Rotate90: return EditTurn::Rotate90;
    case TurnKind::Rotate180: return EditTurn::Rotate180;
    case TurnKind::Rotate270: return EditTurn::Rotate270;
    case TurnKind::FlipHorizontal: return EditTurn::FlipHorizontal;
    default: return EditTurn::FlipVertical;
    }
}

void Turn(TurnKind kind) {
    CurrentImage& c = Current();
    HCURSOR old = SetCursor(App().cursors.wait);
    const bool swap = TurnSwapsSides(kind);
    Image result;
    const bool depthOk = c.bitCount == 8 || c.bitCount == 24;
    if (!depthOk || !NewPicture(swap ? c.height : c.width, swap ? c.width : c.height, result)) {
        SetCursor(old);
        ShowGeneralError(kErrShowImage);
        return;
    }
    Image source = c.AsImage();
    TurnPixels(MakePixelJob(source, result), kind);

    const int pending = c.format == ImageFormat::Jpeg ? ComposeLosslessTransform(c.pendingTransform, EditTurnOf(kind))
                                                      : kLosslessFails;
    if (pending != kLosslessFails) {
        // Still the JPEG file, transformed: its facts stay for the lossless save.
        const SourceInfo info = c.info;
        result.format = ImageFormat::Jpeg;
        result.sourceBits = c.sourceBits;
        result.fileSize = c.fileSize;
        result.header.xPelsPerMeter = c.xPelsPerMeter;
        result.header.yPelsPerMeter = c.yPelsPerMeter;
        InstallImage(result, nullptr, InstallKind::FromEdit);
        c.info = info;
        c.pendingTransform = pending;
    } else {
        InstallResult(result, BmpFileSize(result, kBmpHeaderBytes));
    }
    SetCursor(old);
    ShowResult(swap);
}

void Invert() {
    CurrentImage& c = Current();
    Image result;
    if ((c.bitCount != 8 && c.bitCount != 24) || !NewPicture(c.width, c.height, result)) {
        ShowGeneralError(kErrNoMemory);
        return;
    }
    Image source = c.AsImage();
    InvertPixels(MakePixelJob(source, result));
    InstallResult(result, BmpFileSize(result, kBmpHeaderBytes + (c.bitCount == 8 ? kBmpPaletteBytes : 0)));
    ShowResult(false);
}

}  // namespace

void InstallResult(Image& result, int32_t fileSize) {
    result.format = ImageFormat::Bmp;
    result.sourceBits = result.BitCount();
    result.fileSize = fileSize;
    result.header.xPelsPerMeter = result.header.yPelsPerMeter = 0;
    InstallImage(result, nullptr, InstallKind::FromEdit);
    Current().info = SourceInfo{};
}

bool ImmediateEditCommand(int id) {
    if (id != cmd::kInvert && (id < cmd::kTurn90 || id > cmd::kFlip)) return false;
    if (!Current().Loaded() || EditState().operation) return true;
    if (id == cmd::kInvert) Invert();
    else Turn(static_cast<TurnKind>(id - cmd::kTurn90 + 1));
    return true;
}

}  // namespace pelio
