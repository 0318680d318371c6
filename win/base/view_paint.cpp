// View painting. Win32.
#include "win/base/view_paint.h"

namespace pelio {

void PaintSurround(HDC dc, const RECT& client, HBRUSH background, const ViewState& v) {
    for (const ClientRect& s : SurroundStrips(v, client.right, client.bottom)) {
        const RECT r{s.left, s.top, s.right, s.bottom};
        if (!s.Empty()) FillRect(dc, &r, background);
    }
}

void PaintView(HDC dc, const RECT& client, HBRUSH background, HDC source, const ViewState& v) {
    if (!source) {
        FillRect(dc, &client, background);
        return;
    }
    PaintSurround(dc, client, background, v);
    StretchBlt(dc, v.x.dest, v.y.dest, v.x.destSize, v.y.destSize, source, v.x.src, v.y.src, v.x.srcSize,
               v.y.srcSize, SRCCOPY);
}

}  // namespace pelio
