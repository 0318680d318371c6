// The text-data windows: the text chunks of a PNG file, the Exif shooting data of a JPEG
// file and its copy to the clipboard. Win32.
#pragma once

namespace pelio {

// cmd::kTextData, for an image whose source carries text data.
void ShowTextData();

}  // namespace pelio
