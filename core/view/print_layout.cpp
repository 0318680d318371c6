// Print placement arithmetic. Portable.
#include "core/view/print_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

namespace pelio {

namespace {

// num / den rounded to the nearest integer, halves away from zero.
int RoundDiv(int64_t num, int64_t den) {
    if (den == 0) return 0;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const int64_t half = (num >= 0 ? num * 2 + den : num * 2 - den);
    return static_cast<int>(half / (den * 2));
}

int CeilDiv(int64_t num, int64_t den) {
    if (den <= 0) return 0;
    return static_cast<int>(num >= 0 ? (num + den - 1) / den : num / den);
}

int RoundHalfAway(double x) {
    if (std::isnan(x)) return 0;
    x = std::clamp(x, -1e9, 1e9);
    return static_cast<int>(std::round(x));
}

void UpdateResolution(PrintLayout& l) {
    l.resolution = std::max(1, RoundDiv(int64_t(l.imageWidth) * 254, l.Width()));
}

}  // namespace

int PrintPelsPerMeter(int xPelsPerMeter, int yPelsPerMeter, int screenDpiX, int screenDpiY) {
    if (int64_t(xPelsPerMeter) + yPelsPerMeter > 1) return static_cast<int>((int64_t(xPelsPerMeter) + yPelsPerMeter) / 2);
    const int x = static_cast<int>(screenDpiX / 0.0254 + 0.5);
    const int y = static_cast<int>(screenDpiY / 0.0254 + 0.5);
    return int64_t(x) + y > 1 ? static_cast<int>((int64_t(x) + y) / 2) : 3780;
}

int PrintDpi(int pelsPerMeter) { return std::max(1, RoundHalfAway(pelsPerMeter * 0.0254)); }

void SetPrinterCaps(PrintLayout& l, const PrinterCaps& caps) {
    l.caps = caps;
    const int dx = std::max(1, caps.dpiX), dy = std::max(1, caps.dpiY);
    l.paperWidth = RoundDiv(int64_t(caps.physicalWidth) * 254, dx);
    l.paperHeight = RoundDiv(int64_t(caps.physicalHeight) * 254, dy);
    l.offsetX = CeilDiv(int64_t(caps.offsetX) * 254, dx);
    l.offsetY = CeilDiv(int64_t(caps.offsetY) * 254, dy);
    l.printableWidth = static_cast<int>(int64_t(caps.horzRes) * 254 / dx);
    l.printableHeight = static_cast<int>(int64_t(caps.vertRes) * 254 / dy);
}

void StartImageRect(PrintLayout& l, int imageWidth, int imageHeight, int dpi) {
    l.imageWidth = std::max(1, imageWidth);
    l.imageHeight = std::max(1, imageHeight);
    dpi = std::max(1, dpi);
    l.resolution = dpi;
    l.left = l.top = 0;
    l.right = RoundDiv(int64_t(l.imageWidth) * 254, dpi);
    l.bottom = RoundDiv(int64_t(l.imageHeight) * 254, dpi);
    if (l.bottom < l.right) {
        l.minWidth = 200;
        l.minHeight = RoundDiv(int64_t(l.bottom) * 200, l.right);
    } else {
        l.minHeight = 200;
        l.minWidth = RoundDiv(int64_t(l.right) * 200, l.bottom);
    }
}

void RunPrintLayout(PrintLayout& l) {
    const int pw = l.paperWidth, ph = l.paperHeight;
    if (pw > ph) {
        l.page.width = kPreviewBox;
        l.page.height = RoundDiv(int64_t(kPreviewBox) * ph, pw);
        l.page.left = 0;
        l.page.top = (kPreviewBox - l.page.height) / 2;
    } else {
        l.page.height = kPreviewBox;
        l.page.width = RoundDiv(int64_t(kPreviewBox) * pw, ph);
        l.page.top = 0;
        l.page.left = (kPreviewBox - l.page.width) / 2;
    }
    l.scale = RoundDiv(4000000, std::max(pw, ph));

    const int iw = l.imageWidth, ih = l.imageHeight;
    const int aw = std::max(1, l.printableWidth), ah = std::max(1, l.printableHeight);
    if (l.fullPage) {
        l.printable.left = l.page.left + RoundDiv(int64_t(l.scale) * l.offsetX, 10000);
        l.printable.top = l.page.top + RoundDiv(int64_t(l.scale) * l.offsetY, 10000);
        l.printable.width = RoundDiv(int64_t(l.scale) * l.printableWidth, 10000);
        l.printable.height = RoundDiv(int64_t(l.scale) * l.printableHeight, 10000);
        const int widthRatio = RoundDiv(int64_t(l.printableWidth) * 10000, iw);
        const int heightRatio = RoundDiv(int64_t(l.printableHeight) * 10000, ih);
        if (heightRatio < widthRatio) {
            l.cropWidth = iw;
            l.cropHeight = RoundDiv(int64_t(l.printableHeight) * iw, aw);
            l.cropX = 0;
            l.cropY = RoundDiv(ih - l.cropHeight, 2);
        } else {
            l.cropWidth = RoundDiv(int64_t(l.printableWidth) * ih, ah);
            l.cropHeight = ih;
            l.cropX = RoundDiv(iw - l.cropWidth, 2);
            l.cropY = 0;
        }
        return;
    }

    l.right = std::max(l.right, l.left + l.minWidth);
    l.bottom = std::max(l.bottom, l.top + l.minHeight);
    if (l.Width() > l.printableWidth) {
        l.left = 0;
        l.right = l.printableWidth;
        l.bottom = l.top + RoundDiv(int64_t(l.printableWidth) * ih, iw);
    } else if (l.right > l.printableWidth) {
        l.left -= l.right - l.printableWidth;
        l.right = l.printableWidth;
    }
    if (l.Height() > l.printableHeight) {
        l.top = 0;
        l.bottom = l.printableHeight;
        l.right = l.left + RoundDiv(int64_t(l.printableHeight) * iw, ih);
    } else if (l.bottom > l.printableHeight) {
        l.top -= l.bottom - l.printableHeight;
        l.bottom = l.printableHeight;
    }
    UpdateResolution(l);
}

std::wstring FormatTenths(int tenths) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.1f", tenths / 10.0);
    return text;
}

int ParseTenths(const std::wstring& text) { return RoundHalfAway(std::wcstod(text.c_str(), nullptr) * 10); }

namespace {

// Left (or top) typed: moves the span [from, to) to start at `v` within 0..limit.
FieldEdit MoveSpan(int& from, int& to, int limit, int v, PrintLayout& l) {
    // The image never starts before the printable area.
    const bool negative = v < 0;
    v = std::max(v, 0);
    if (v == from) return negative ? FieldEdit::Restore : FieldEdit::None;
    const int size = to - from;
    int end = v + size;
    if (end > limit) {
        end = limit;
        v = limit - size;
    }
    if (v == from) return FieldEdit::Restore;
    from = v;
    to = end;
    UpdateResolution(l);
    return FieldEdit::Changed;
}

// Width (or height) typed: the span [from, to) of `limit` gets `v`, at least `minimum`; the
// crossing span follows the picture's aspect (`along` × `across` pixels) and, when it would
// pass its limit, reaches it and sets the size instead.
FieldEdit TypeSize(int from, int& to, int limit, int minimum, int along, int crossFrom, int& crossTo, int crossLimit,
                   int across, int v, PrintLayout& l) {
    int end = std::max(std::min(from + v, limit), from + minimum);
    int cross = RoundDiv(int64_t(end - from) * across, along);
    if (crossFrom + cross > crossLimit) {
        cross = crossLimit - crossFrom;
        end = from + RoundDiv(int64_t(cross) * along, across);
    }
    const int crossEnd = crossFrom + cross;
    if (end == to && crossEnd == crossTo) return FieldEdit::Restore;
    to = end;
    crossTo = crossEnd;
    UpdateResolution(l);
    return FieldEdit::Changed;
}

}  // namespace

FieldEdit TypeLeft(PrintLayout& l, int tenths) { return MoveSpan(l.left, l.right, l.printableWidth, tenths, l); }
FieldEdit TypeTop(PrintLayout& l, int tenths) { return MoveSpan(l.top, l.bottom, l.printableHeight, tenths, l); }

FieldEdit TypeWidth(PrintLayout& l, int tenths) {
    return TypeSize(l.left, l.right, l.printableWidth, l.minWidth, l.imageWidth, l.top, l.bottom, l.printableHeight,
                    l.imageHeight, tenths, l);
}

FieldEdit TypeHeight(PrintLayout& l, int tenths) {
    return TypeSize(l.top, l.bottom, l.printableHeight, l.minHeight, l.imageHeight, l.left, l.right, l.printableWidth,
                    l.imageWidth, tenths, l);
}

int StepTenths(const std::wstring& fieldText, int step) {
    const double value = (std::wcstod(fieldText.c_str(), nullptr) + step) * 10;
    if (std::isnan(value)) return 0;
    return std::max(0, static_cast<int>(std::clamp(value, -1e9, 1e9)));
}

PreviewCorners PreviewImageRect(const PrintLayout& l) {
    auto at = [&](int origin, int offset, int tenths) {
        return origin + RoundDiv(int64_t(l.scale) * (offset + tenths), 10000);
    };
    return {at(l.page.left, l.offsetX, l.left), at(l.page.top, l.offsetY, l.top), at(l.page.left, l.offsetX, l.right),
            at(l.page.top, l.offsetY, l.bottom)};
}

void CornerHandles(const PreviewCorners& r, HandleRect (&out)[4]) {
    out[0] = {r.x1 - 2, r.y1 - 2, r.x1 + 7, r.y1 + 7};
    out[1] = {r.x1 - 2, r.y2 - 7, r.x1 + 7, r.y2 + 2};
    out[2] = {r.x2 - 7, r.y1 - 2, r.x2 + 2, r.y1 + 7};
    out[3] = {r.x2 - 7, r.y2 - 7, r.x2 + 2, r.y2 + 2};
}

int PrintHitTest(const PrintLayout& l, int x, int y) {
    const PreviewCorners r = PreviewImageRect(l);
    const bool nearLeft = std::abs(x - r.x1) <= kCornerReach, nearRight = std::abs(x - r.x2) <= kCornerReach;
    const bool nearTop = std::abs(y - r.y1) <= kCornerReach, nearBottom = std::abs(y - r.y2) <= kCornerReach;
    if (nearRight && nearBottom) return kHitBottomRight;
    if (nearRight && nearTop) return kHitTopRight;
    if (nearLeft && nearBottom) return kHitBottomLeft;
    if (nearLeft && nearTop) return kHitTopLeft;
    return kHitMove;
}

int PreviewToTenths(const PrintLayout& l, int pixels) { return RoundDiv(int64_t(pixels) * 10000, std::max(1, l.scale)); }

void DragCrop(PrintLayout& l, int dx, int dy) {
    l.cropX = std::clamp(l.cropX - PreviewToTenths(l, dx), 0, std::max(0, l.imageWidth - l.cropWidth));
    l.cropY = std::clamp(l.cropY - PreviewToTenths(l, dy), 0, std::max(0, l.imageHeight - l.cropHeight));
}

void DragMove(PrintLayout& l, int dx, int dy) {
    const int width = l.Width(), height = l.Height();
    l.left = std::clamp(l.left + PreviewToTenths(l, dx), 0, std::max(0, l.printableWidth - width));
    l.top = std::clamp(l.top + PreviewToTenths(l, dy), 0, std::max(0, l.printableHeight - height));
    l.right = l.left + width;
    l.bottom = l.top + height;
}

void DragCorner(PrintLayout& l, int hit, int dx, int dy, int startHeight) {
    const int iw = l.imageWidth, ih = l.imageHeight;
    int diagonal = 0;
    switch (hit) {
    case kHitBottomRight: diagonal = dx + dy; break;
    case kHitTopRight: diagonal = dx - dy; break;
    case kHitBottomLeft: diagonal = dy - dx; break;
    case kHitTopLeft: diagonal = -dx - dy; break;
    default: return;
    }
    int height = startHeight + RoundDiv(int64_t(PreviewToTenths(l, diagonal)) * ih, int64_t(iw) + ih);
    int width = RoundDiv(int64_t(height) * iw, ih);
    if (width < l.minWidth || height < l.minHeight) {
        width = l.minWidth;
        height = l.minHeight;
    }
    // Room from the corner that stays.
    const bool growsRight = hit == kHitBottomRight || hit == kHitTopRight;
    const bool growsDown = hit == kHitBottomRight || hit == kHitBottomLeft;
    const int roomX = growsRight ? l.printableWidth - l.left : l.right;
    const int roomY = growsDown ? l.printableHeight - l.top : l.bottom;
    if (width > roomX) {
        width = roomX;
        height = RoundDiv(int64_t(width) * ih, iw);
    }
    if (height > roomY) {
        height = roomY;
        width = RoundDiv(int64_t(height) * iw, ih);
    }
    if (growsRight) l.right = l.left + width;
    else l.left = l.right - width;
    if (growsDown) l.bottom = l.top + height;
    else l.top = l.bottom - height;
    UpdateResolution(l);
}

DeviceRect PrintDestination(const PrintLayout& l) {
    DeviceRect d;
    d.x = RoundDiv(int64_t(l.left) * l.caps.dpiX, 254);
    d.y = RoundDiv(int64_t(l.top) * l.caps.dpiY, 254);
    d.width = RoundDiv(int64_t(l.Width()) * l.caps.dpiX, 254);
    d.height = RoundDiv(int64_t(l.Height()) * l.caps.dpiY, 254);
    if (d.width > l.caps.horzRes) {
        d.x = 0;
        d.width = l.caps.horzRes;
    }
    if (d.height > l.caps.vertRes) {
        d.y = 0;
        d.height = l.caps.vertRes;
    }
    return d;
}

}  // namespace pelio
