// Adding margins in the adjustment frame. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the margins operation (cmd::kMargins); null for others.
const OperationKind* MarginsOperation(int command);

}  // namespace pelio
