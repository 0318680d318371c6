// Print placement: page and resolution, the two layouts, typed fields, up-downs, the preview's
// handles, hits and drags, and the device rectangle.
#include <gtest/gtest.h>

#include "core/view/print_layout.h"

namespace pelio {
namespace {

// A4 at 300 dpi with 1/4-inch margins, as a PostScript printer reports it.
constexpr PrinterCaps kA4 = {2329, 3358, 2479, 3508, 75, 75, 300, 300};
// A page larger than 254 mm in both directions.
constexpr PrinterCaps kLarge = {3300, 4800, 3400, 5000, 50, 50, 300, 300};

PrintLayout Open(const PrinterCaps& caps, int w, int h, int dpi, bool fullPage = false) {
    PrintLayout l;
    SetPrinterCaps(l, caps);
    StartImageRect(l, w, h, dpi);
    l.fullPage = fullPage;
    RunPrintLayout(l);
    return l;
}

TEST(PrintLayout, ResolutionFromTheImageElseTheScreen) {
    struct Case {
        int x, y, screenX, screenY, ppm, dpi;
    } cases[] = {
        {0, 0, 96, 96, 3780, 96},     {2835, 2835, 96, 96, 2835, 72}, {3000, 0, 96, 96, 1500, 38},
        {1, 0, 120, 120, 4724, 120},  {0, 0, 0, 0, 3780, 96},         {11811, 11811, 96, 96, 11811, 300},
    };
    for (const Case& c : cases) {
        const int ppm = PrintPelsPerMeter(c.x, c.y, c.screenX, c.screenY);
        EXPECT_EQ(ppm, c.ppm) << c.x << "," << c.y;
        EXPECT_EQ(PrintDpi(ppm), c.dpi) << ppm;
    }
}

TEST(PrintLayout, DeviceSizesAndPreviewPage) {
    PrintLayout l = Open(kA4, 100, 100, 96);
    EXPECT_EQ(l.paperWidth, 2099);  // 2098.9
    EXPECT_EQ(l.paperHeight, 2970);
    EXPECT_EQ(l.offsetX, 64);  // 63.5 rounded up
    EXPECT_EQ(l.printableWidth, 1971);  // 1971.9 truncated
    EXPECT_EQ(l.printableHeight, 2843);
    EXPECT_EQ(l.page.left, 58);
    EXPECT_EQ(l.page.width, 283);
    EXPECT_EQ(l.page.height, 400);
    EXPECT_EQ(l.scale, 1347);
    PrinterCaps landscape = {3358, 2329, 3508, 2479, 75, 75, 300, 300};
    l = Open(landscape, 100, 100, 96);
    EXPECT_EQ(l.page.top, 58);
    EXPECT_EQ(l.page.width, 400);
    EXPECT_EQ(l.page.height, 283);
}

TEST(PrintLayout, NormalLayoutOnOpening) {
    struct Case {
        PrinterCaps caps;
        int w, h, dpi;
        int left, top, right, bottom, minWidth, minHeight, resolution;
    } cases[] = {
        // 960 pixels at 96 dpi: 254.0 mm.
        {kLarge, 960, 640, 96, 0, 0, 2540, 1693, 200, 133, 96},
        // Wider than the printable area: shrunk to its width, aspect kept.
        {kA4, 960, 640, 96, 0, 0, 1971, 1314, 200, 133, 124},
        // Taller: shrunk to its height.
        {kA4, 600, 2400, 96, 0, 0, 711, 2843, 50, 200, 214},
        // Smaller than the minimum: grown to it.
        {kA4, 20, 10, 96, 0, 0, 200, 98, 200, 98, 25},
    };
    for (const Case& c : cases) {
        const PrintLayout l = Open(c.caps, c.w, c.h, c.dpi);
        EXPECT_EQ(l.left, c.left) << c.w;
        EXPECT_EQ(l.top, c.top) << c.w;
        EXPECT_EQ(l.right, c.right) << c.w;
        EXPECT_EQ(l.bottom, c.bottom) << c.w;
        EXPECT_EQ(l.minWidth, c.minWidth) << c.w;
        EXPECT_EQ(l.minHeight, c.minHeight) << c.w;
        EXPECT_EQ(l.resolution, c.resolution) << c.w;
    }
    EXPECT_EQ(FormatTenths(2540), L"254.0");
    EXPECT_EQ(FormatTenths(0), L"0.0");
}

TEST(PrintLayout, FullPageCropsBySmallerRatio) {
    struct Case {
        int w, h, cropX, cropY, cropWidth, cropHeight;
    } cases[] = {
        {1971, 2843, 0, 0, 1971, 2843},  // the printable area's aspect: whole image
        {2843, 2843, 436, 0, 1971, 2843},  // square on portrait paper: equal strips left and right
        {1000, 4000, 0, 1279, 1000, 1442},  // tall: strips top and bottom
    };
    for (const Case& c : cases) {
        const PrintLayout l = Open(kA4, c.w, c.h, 96, true);
        EXPECT_EQ(l.cropX, c.cropX) << c.w;
        EXPECT_EQ(l.cropY, c.cropY) << c.w;
        EXPECT_EQ(l.cropWidth, c.cropWidth) << c.w;
        EXPECT_EQ(l.cropHeight, c.cropHeight) << c.w;
        EXPECT_EQ(c.w - c.cropWidth - c.cropX, c.cropX) << c.w;
        EXPECT_EQ(c.h - c.cropHeight - c.cropY, c.cropY) << c.w;
    }
    const PrintLayout l = Open(kA4, 100, 100, 96, true);
    EXPECT_EQ(l.printable.left, 58 + 9);  // 1347 × 64 / 10000 = 8.6
    EXPECT_EQ(l.printable.width, 265);
    EXPECT_EQ(l.printable.height, 383);
}

TEST(PrintLayout, TypedFields) {
    PrintLayout l = Open(kA4, 960, 640, 96);  // 0, 0, 1971, 1314
    // Width below 20 mm stores the minimum; the height follows.
    EXPECT_EQ(TypeWidth(l, 150), FieldEdit::Changed);
    EXPECT_EQ(FormatTenths(l.Width()), L"20.0");
    EXPECT_EQ(l.Height(), 133);
    EXPECT_EQ(l.resolution, 1219);
    EXPECT_EQ(TypeWidth(l, 100), FieldEdit::Restore);  // still the minimum
    // Left moves the rectangle; past the printable width it stops at its edge.
    EXPECT_EQ(TypeLeft(l, 200), FieldEdit::Changed);
    EXPECT_EQ(l.right, 400);
    EXPECT_EQ(TypeLeft(l, 200), FieldEdit::None);
    EXPECT_EQ(TypeLeft(l, 5000), FieldEdit::Changed);
    EXPECT_EQ(l.left, 1771);
    EXPECT_EQ(TypeLeft(l, 1900), FieldEdit::Restore);
    EXPECT_EQ(TypeLeft(l, -50), FieldEdit::Changed);  // never before the printable area
    EXPECT_EQ(l.left, 0);
    // Width bounded by the printable width, height by the printable height.
    EXPECT_EQ(TypeLeft(l, 200), FieldEdit::Changed);
    EXPECT_EQ(TypeWidth(l, 1000), FieldEdit::Changed);
    EXPECT_EQ(l.right, 1200);
    EXPECT_EQ(l.bottom, 667);
    EXPECT_EQ(TypeWidth(l, 9999), FieldEdit::Changed);
    EXPECT_EQ(l.right, 1971);
    EXPECT_EQ(TypeTop(l, 2500), FieldEdit::Changed);
    EXPECT_EQ(l.top, 2843 - 1181);
    EXPECT_EQ(TypeHeight(l, 9999), FieldEdit::Restore);  // the width is at its edge already
    EXPECT_EQ(TypeHeight(l, 1000), FieldEdit::Changed);
    EXPECT_EQ(l.bottom, 2662);
    EXPECT_EQ(l.right, 1700);
    EXPECT_EQ(ParseTenths(L"25.45"), 255);
    EXPECT_EQ(ParseTenths(L"abc"), 0);
    EXPECT_EQ(ParseTenths(L"nan"), 0);
    EXPECT_EQ(StepTenths(L"nan", 1), 0);
}

TEST(PrintLayout, UpDownSteps) {
    struct Case {
        const wchar_t* text;
        int step, tenths;
    } cases[] = {{L"0.0", -1, 0}, {L"0.5", -1, 0}, {L"10.0", 1, 110}, {L"10.0", -1, 90}, {L"", 1, 10}};
    for (const Case& c : cases) EXPECT_EQ(StepTenths(c.text, c.step), c.tenths);
}

TEST(PrintLayout, PreviewRectangleAndHits) {
    PrintLayout l = Open(kA4, 960, 640, 96);
    TypeWidth(l, 1000);
    TypeLeft(l, 200);
    TypeTop(l, 300);  // 200, 300, 1200, 967
    const PreviewCorners r = PreviewImageRect(l);
    EXPECT_EQ(r.x1, 58 + 36);   // 1347 × 264 / 10000 = 35.6
    EXPECT_EQ(r.y1, 49);        // 1347 × 364 / 10000 = 49.0
    EXPECT_EQ(r.x2, 58 + 170);  // 1347 × 1264 / 10000 = 170.3
    EXPECT_EQ(r.y2, 139);       // 1347 × 1031 / 10000 = 138.9
    struct Case {
        int x, y, hit;
    } cases[] = {
        {r.x2 + 7, r.y2 - 7, kHitBottomRight}, {r.x2 - 7, r.y1 + 7, kHitTopRight}, {r.x1 + 7, r.y2 + 7, kHitBottomLeft},
        {r.x1 - 7, r.y1 - 7, kHitTopLeft},     {r.x1 - 8, r.y1, kHitMove},          {r.x2, r.y2 + 8, kHitMove},
        {(r.x1 + r.x2) / 2, r.y1, kHitMove},
    };
    for (const Case& c : cases) EXPECT_EQ(PrintHitTest(l, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(PrintLayout, Drags) {
    // Full page: the crop never leaves the image.
    PrintLayout l = Open(kA4, 2843, 2843, 96, true);
    DragCrop(l, -5, 0);
    EXPECT_EQ(l.cropX, 436 + 37);  // 5 × 10000 / 1347 = 37.1
    DragCrop(l, -1000, -1000);
    EXPECT_EQ(l.cropX, 2843 - 1971);
    EXPECT_EQ(l.cropY, 0);
    DragCrop(l, 1000, 1000);
    EXPECT_EQ(l.cropX, 0);
    EXPECT_EQ(l.cropY, 0);

    // Moving keeps the size and stays inside the printable area.
    l = Open(kA4, 960, 640, 96);
    TypeWidth(l, 1000);  // 0, 0, 1000, 667
    DragMove(l, 10, 20);
    EXPECT_EQ(l.left, 74);
    EXPECT_EQ(l.top, 148);
    EXPECT_EQ(l.Width(), 1000);
    DragMove(l, 1000, 1000);
    EXPECT_EQ(l.right, 1971);
    EXPECT_EQ(l.bottom, 2843);
    DragMove(l, -1000, -1000);
    EXPECT_EQ(l.left, 0);
    EXPECT_EQ(l.top, 0);

    // Corners resize about the opposite corner with the aspect kept, bounded by the minimum
    // and the printable area.
    TypeLeft(l, 500);
    TypeTop(l, 500);  // 500, 500, 1500, 1167
    DragCorner(l, kHitBottomRight, 10, 10, 667);  // 148 tenths along the diagonal
    EXPECT_EQ(l.left, 500);
    EXPECT_EQ(l.Height(), 667 + 59);
    EXPECT_EQ(l.Width(), 1089);
    DragCorner(l, kHitTopLeft, 10, 10, 667);
    EXPECT_EQ(l.right, 1589);
    EXPECT_EQ(l.bottom, 1226);
    EXPECT_EQ(l.Height(), 667 - 59);
    DragCorner(l, kHitTopLeft, 500, 500, 667);
    EXPECT_EQ(l.Width(), 200);
    EXPECT_EQ(l.Height(), 133);
    DragCorner(l, kHitTopLeft, -500, -500, 667);
    EXPECT_EQ(l.left, 0);
    EXPECT_EQ(l.Width(), 1589);
    EXPECT_EQ(l.bottom, 1226);
}

TEST(PrintLayout, DeviceRectangle) {
    PrintLayout l = Open(kA4, 960, 640, 96);
    TypeWidth(l, 1000);
    TypeLeft(l, 200);
    TypeTop(l, 100);
    const DeviceRect d = PrintDestination(l);
    EXPECT_EQ(d.x, 236);  // 200 × 300 / 254 = 236.2
    EXPECT_EQ(d.y, 118);
    EXPECT_EQ(d.width, 1181);
    EXPECT_EQ(d.height, 788);  // 667 × 300 / 254 = 787.8
    TypeLeft(l, 0);
    TypeWidth(l, 1971);
    EXPECT_EQ(PrintDestination(l).width, 2328);  // 1971 × 300 / 254 = 2327.9, within 2329
}

}  // namespace
}  // namespace pelio
