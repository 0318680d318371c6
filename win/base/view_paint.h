// Painting a zoomed view of a picture. Win32.
#pragma once
#include <windows.h>

#include "core/view/zoom.h"

namespace pelio {

// The background strips around the shown image.
void PaintSurround(HDC dc, const RECT& client, HBRUSH background, const ViewState& view);

// The background strips around the shown image, then one stretch of `source` (a memory DC
// holding the picture); without a source the whole client area in the background.
void PaintView(HDC dc, const RECT& client, HBRUSH background, HDC source, const ViewState& view);

}  // namespace pelio
