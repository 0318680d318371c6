// Resize: a new width and height, resampled on Confirm. Win32.
#pragma once

namespace pelio {

struct OperationKind;

// The resize operation for cmd::kResize; null for other commands.
const OperationKind* ResizeOperation(int command);

}  // namespace pelio
