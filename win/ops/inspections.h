// Read-only looks at the current image: the luminance histogram and the colour count. Win32.
#pragma once

namespace pelio {

// cmd::kHistogram: the modal dialog "ヒストグラム(輝度)".
void ShowLuminanceHistogram();
// cmd::kColourCount: "使用色数 = n" with the file name as caption.
void ShowColourCount();

}  // namespace pelio
