// The print preview window. Win32.
#include "win/print/print_preview.h"

#include <windowsx.h>

#include "win/image/current_image.h"
#include "win/print/print_job.h"

namespace pelio {

namespace {

PrintJob* JobOf(HWND hwnd) { return reinterpret_cast<PrintJob*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

void Fill(HDC dc, int left, int top, int right, int bottom, int colour) {
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, GetSysColorBrush(colour));
}

// The current image's pixels (x, y, w, h from the top) stretched into a preview rectangle.
void StretchImage(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH) {
    const CurrentImage& image = Current();
    if (!image.memoryDc) return;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, x, y, w, h, image.memoryDc, srcX, srcY, srcW, srcH, SRCCOPY);
}

void Paint(const PrintJob& job, HDC dc) {
    const PrintLayout& l = job.layout;
    const PreviewRect& page = l.page;
    Fill(dc, 0, 0, kPreviewBox, kPreviewBox, COLOR_3DFACE);
    Fill(dc, page.left, page.top, page.left + page.width, page.top + page.height, COLOR_WINDOW);
    SetBkMode(dc, TRANSPARENT);
    if (l.fullPage) {
        const PreviewRect& p = l.printable;
        StretchImage(dc, p.left, p.top, p.width, p.height, l.cropX, l.cropY, l.cropWidth, l.cropHeight);
        return;
    }
    const PreviewCorners r = PreviewImageRect(l);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (job.dragging) {
        Rectangle(dc, r.x1, r.y1, r.x2, r.y2);
    } else {
        HandleRect handles[4];
        CornerHandles(r, handles);
        HGDIOBJ oldPen = SelectObject(dc, job.handlePen);
        for (const HandleRect& h : handles) Rectangle(dc, h.left, h.top, h.right, h.bottom);
        SelectObject(dc, oldPen);
        StretchImage(dc, r.x1, r.y1, r.x2 - r.x1, r.y2 - r.y1, 0, 0, l.imageWidth, l.imageHeight);
    }
    SelectObject(dc, oldBrush);
}

// Drawn off screen so a drag does not flicker.
void OnPaint(HWND hwnd, const PrintJob& job) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, kPreviewBox, kPreviewBox) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        Paint(job, memory);
        BitBlt(dc, 0, 0, kPreviewBox, kPreviewBox, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    } else {
        Paint(job, dc);
    }
    if (memory) DeleteDC(memory);
    EndPaint(hwnd, &ps);
}

HCURSOR CursorOf(int hit) {
    switch (hit) {
    case kHitBottomRight:
    case kHitTopLeft: return LoadCursorW(nullptr, IDC_SIZENWSE);
    case kHitTopRight:
    case kHitBottomLeft: return LoadCursorW(nullptr, IDC_SIZENESW);
    default: return LoadCursorW(nullptr, IDC_ARROW);
    }
}

void BeginDrag(HWND hwnd, PrintJob& job, int x, int y) {
    job.dragging = true;
    job.dragPoint = {x, y};
    job.dragStart = job.layout;
    SetCapture(hwnd);
}

void EndDrag(PrintJob& job) {
    if (!job.dragging) return;
    job.dragging = false;
    if (GetCapture() == job.preview) ReleaseCapture();
    RedrawPrintPreview(job);
}

// A drag step, measured from where the drag began.
void Drag(PrintJob& job, int x, int y) {
    const int dx = x - job.dragPoint.x, dy = y - job.dragPoint.y;
    PrintLayout& l = job.layout;
    l = job.dragStart;
    if (l.fullPage) {
        DragCrop(l, dx, dy);
    } else {
        if (job.hit == kHitMove) DragMove(l, dx, dy);
        else DragCorner(l, job.hit, dx, dy, job.dragStart.Height());
        WritePrintFields(job);
    }
    RedrawPrintPreview(job);
}

void OnMouseMove(HWND hwnd, PrintJob& job, int x, int y) {
    if (job.dragging) {
        Drag(job, x, y);
        return;
    }
    job.hit = job.layout.fullPage ? kHitMove : PrintHitTest(job.layout, x, y);
    SetCursor(CursorOf(job.hit));
    (void)hwnd;
}

}  // namespace

LRESULT CALLBACK PrintPreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    PrintJob* job = JobOf(hwnd);
    if (!job) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_PAINT: OnPaint(hwnd, *job); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR:
        if (LOWORD(lp) != HTCLIENT) break;
        SetCursor(CursorOf(job->hit));
        return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(hwnd, *job, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (!job->dragging) BeginDrag(hwnd, *job, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: EndDrag(*job); return 0;
    case WM_CAPTURECHANGED:
        if (job->dragging && reinterpret_cast<HWND>(lp) != hwnd) {
            job->dragging = false;
            RedrawPrintPreview(*job);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace pelio
