// Print placement: the page, the image rectangle and the preview, in tenths of a millimetre
// (254 tenths = 1 inch). Portable.
#pragma once
#include <string>

namespace pelio {

// What a printer device context reports (GetDeviceCaps), in device pixels.
struct PrinterCaps {
    int horzRes = 0, vertRes = 0;               // printable area
    int physicalWidth = 0, physicalHeight = 0;  // paper
    int offsetX = 0, offsetY = 0;               // printable area's top-left on the paper
    int dpiX = 0, dpiY = 0;
};

struct PreviewRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The preview box is 400 × 400 pixels.
inline constexpr int kPreviewBox = 400;
// A corner is hit within this many preview pixels of both its edges.
inline constexpr int kCornerReach = 7;

enum PrintHit : int { kHitMove = 0, kHitBottomRight = 1, kHitTopRight = 2, kHitBottomLeft = 3, kHitTopLeft = 4 };

// The layout state of one print dialog.
struct PrintLayout {
    bool fullPage = false;
    int imageWidth = 1, imageHeight = 1;  // pixels
    PrinterCaps caps;
    // Tenths of a millimetre.
    int paperWidth = 0, paperHeight = 0;
    int offsetX = 0, offsetY = 0;
    int printableWidth = 0, printableHeight = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // the image, from the printable area's corner
    int minWidth = 0, minHeight = 0;
    int resolution = 1;  // dots per inch
    // The preview.
    PreviewRect page;
    int scale = 0;  // preview pixels per 10000 tenths
    PreviewRect printable;
    // The part of the image that a full page prints, in image pixels.
    int cropX = 0, cropY = 0, cropWidth = 0, cropHeight = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Pixels per metre of an image: the mean of its own values when their sum exceeds 1, else of
// the screen's dots per inch.
int PrintPelsPerMeter(int xPelsPerMeter, int yPelsPerMeter, int screenDpiX, int screenDpiY);
// Dots per inch of pixels per metre, at least 1.
int PrintDpi(int pelsPerMeter);

// The device's sizes in tenths of a millimetre.
void SetPrinterCaps(PrintLayout& layout, const PrinterCaps& caps);

// The image at `dpi`, at the printable area's corner, with its minimum size.
void StartImageRect(PrintLayout& layout, int imageWidth, int imageHeight, int dpi);

// The preview page and scale, then the crop (full page) or the image rectangle kept inside
// the printable area with the resolution it gives (normal).
void RunPrintLayout(PrintLayout& layout);

// Millimetres with one decimal, as the fields show them.
std::wstring FormatTenths(int tenths);
// A field's text as tenths of a millimetre.
int ParseTenths(const std::wstring& text);

// What typing into a field did.
enum class FieldEdit { None, Changed, Restore };
// Left or top typed: the rectangle moves, kept inside the printable area. Restore: the field
// should show its old value again.
FieldEdit TypeLeft(PrintLayout& layout, int tenths);
FieldEdit TypeTop(PrintLayout& layout, int tenths);
// Width or height typed: the other side follows the aspect ratio. Changed: the other field is
// rewritten; Restore: this field is.
FieldEdit TypeWidth(PrintLayout& layout, int tenths);
FieldEdit TypeHeight(PrintLayout& layout, int tenths);

// A field's number after one up-down step, in tenths, never below 0.
int StepTenths(const std::wstring& fieldText, int step);

// The image rectangle in the preview: x1, y1, x2, y2.
struct PreviewCorners {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
PreviewCorners PreviewImageRect(const PrintLayout& layout);
// The four 9 × 9 handles at the corners, as left, top, right, bottom each.
struct HandleRect {
    int left, top, right, bottom;
};
void CornerHandles(const PreviewCorners& r, HandleRect (&out)[4]);

// Which corner (or the whole rectangle) the preview point is on.
int PrintHitTest(const PrintLayout& layout, int x, int y);

// Preview pixels as tenths of a millimetre.
int PreviewToTenths(const PrintLayout& layout, int pixels);
// A full-page drag: the crop moves against the mouse, kept inside the image.
void DragCrop(PrintLayout& layout, int dx, int dy);
// A move of the image rectangle, kept inside the printable area.
void DragMove(PrintLayout& layout, int dx, int dy);
// A corner drag: `dx`, `dy` since the drag began, `startHeight` the height then.
void DragCorner(PrintLayout& layout, int hit, int dx, int dy, int startHeight);

// Where a normal print goes on the device, in device pixels.
struct DeviceRect {
    int x = 0, y = 0, width = 0, height = 0;
};
DeviceRect PrintDestination(const PrintLayout& layout);

}  // namespace pelio
