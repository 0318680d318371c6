// Quarter turns and flips: lossless pixel moves. Portable.
#pragma once
#include "core/ops/pixel_job.h"

namespace pelio {

enum class TurnKind : int {
    Rotate90 = 1,   // clockwise
    Rotate180 = 2,
    Rotate270 = 3,
    FlipHorizontal = 4,  // left-right
    FlipVertical = 5,    // top-bottom
};

constexpr bool KnownTurnKind(int kind) { return kind >= 1 && kind <= 5; }

// Whether the kind exchanges width and height.
constexpr bool TurnSwapsSides(TurnKind kind) {
    return kind == TurnKind::Rotate90 || kind == TurnKind::Rotate270;
}

// Moves the job's source pixels (width × height, 8 or 24 bits) into its target, whose
// sides are exchanged for the quarter turns; the target's stride follows from its own width.
// False for an unknown kind or bit count.
bool TurnPixels(const PixelJob& job, TurnKind kind);

}  // namespace pelio
