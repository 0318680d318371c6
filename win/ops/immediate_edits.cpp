// Quarter turns, flips and tone inversion. Win32.
#include "win/ops/immediate_edits.h"

#include <windows.h>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "core/image/jpeg_lossless.h"
#include "core/ops/edit_results.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/editor/edit_state.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

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
    DibAllocator allocator;
    if (!TurnResult(c.AsImage(), kind, allocator, result)) {
        SetCursor(old);
        ShowGeneralError(kErrShowImage);
        return;
    }

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
        InstallResult(result, result.fileSize);
    }
    SetCursor(old);
    ShowResult(swap);
}

void Invert() {
    CurrentImage& c = Current();
    Image result;
    DibAllocator allocator;
    if (!InvertResult(c.AsImage(), allocator, result)) {
        ShowGeneralError(kErrNoMemory);
        return;
    }
    InstallResult(result, result.fileSize);
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
