// Trimming: a rectangle chosen on the preview pane, optionally held to a registered ratio,
// cut out on Confirm. Win32.
#pragma once

namespace pelio {

struct OperationKind;

// The trimming for cmd::kTrim; null for other commands.
const OperationKind* TrimOperation(int command);

}  // namespace pelio
