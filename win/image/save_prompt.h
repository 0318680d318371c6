// The save-changes question asked before a modified image is replaced. Win32.
#pragma once

namespace pelio {

enum class DiscardAnswer { Cancel = 0, Discard = 1, SaveFirst = 2 };

// Not modified: Discard at once. Otherwise "<name> への変更を保存しますか?" with yes/no/cancel.
DiscardAnswer ConfirmDiscardChanges();

// The question and its consequence: true when the image may be replaced (a "yes" saves first
// and goes on only when that save succeeded).
bool ReadyToReplaceImage();

}  // namespace pelio
