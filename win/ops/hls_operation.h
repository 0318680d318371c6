// Hue and saturation in the adjustment frame. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the hue / saturation operation (cmd::kHueSaturation); null for others.
const OperationKind* HlsOperation(int command);

}  // namespace pelio
