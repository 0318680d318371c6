// Unsharp mask, blur and soft focus in the adjustment frame. Win32.
#pragma once

namespace pelio {

struct OperationKind;

// The frame's description of the filter of a command (cmd::kUnsharpMask, cmd::kBlur, cmd::kSoftFocus); null for others.
const OperationKind* FilterOperation(int command);

}  // namespace pelio
