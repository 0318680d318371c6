// Gamma, brightness and contrast in the adjustment frame. Win32.
#pragma once

namespace pelio {

struct OperationKind;

// The frame's description of the tone operation of a command; null for other commands.
const OperationKind* ToneOperation(int command);

}  // namespace pelio
