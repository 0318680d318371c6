// The comment editors: the comment kept for the next PNG or JPEG save, and the comment of the
// current file shown and rewritten. Win32.
#pragma once

namespace pelio {

// cmd::kCommentSwitch: a comment switched on is switched off (its text kept); otherwise the
// kept text is edited and the switch is on exactly when it is not empty. The caller
// re-applies the save panel's rules.
void EditSaveComment();

// cmd::kComment, for a PNG or JPEG file: shows its comment and, on "保存", rewrites the file
// with the edited one (the old file to the recycle bin). True when the file was rewritten;
// the current image's caption facts, size and time then describe the new file. A failed
// rewrite leaves the file as it was.
bool EditFileComment();

}  // namespace pelio
