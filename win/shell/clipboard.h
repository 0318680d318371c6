// Copying the current image to the clipboard and pasting one from it. Win32.
#pragma once

namespace pelio {

// cmd::kCopy: the image as a packed device-independent bitmap; nothing is reported when
// the clipboard cannot be opened.
void CopyImage();
// cmd::kPaste: the clipboard's bitmap becomes the current image, named "clip", without a
// path; false (silently) when there is none.
bool PasteImage();

}  // namespace pelio
