// Adding margins in the adjustment frame. Win32.
#pragma once
#include <windows.h>

namespace pelio {

struct OperationKind;

// The frame's description of the margins operation (command 5122); null for others.
const OperationKind* MarginsOperation(int command);

}  // namespace pelio
