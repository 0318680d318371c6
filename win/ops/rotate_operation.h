// Rotation by an arbitrary angle: a nearest-neighbour preview with a grid and a line tool,
// the bilinear rotation into an enlarged picture on Confirm. Win32.
#pragma once

namespace pelio {

struct OperationKind;

// The rotation for cmd::kRotate; null for other commands.
const OperationKind* RotateOperation(int command);

}  // namespace pelio
