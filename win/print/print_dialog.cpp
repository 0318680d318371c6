// The print dialog: layout choice, the position and size fields, printer setup and printing.
// Win32.
#include "win/print/print_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "core/commands/messages.h"
#include "core/image/colour_engine.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/class_names.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/print/print_job.h"

namespace pelio {

namespace {

constexpr int kPreviewAt = 7;
constexpr int kPreviewSize = kPreviewBox + 2;  // with the static edge
constexpr int kUpDownRange = 999;

PrintJob* JobOf(HWND dialog) { return reinterpret_cast<PrintJob*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// Field `id` (left, top, width, height) in tenths of a millimetre.
int StoredValue(const PrintLayout& l, int id) {
    switch (id) {
    case IDC_PRINT_LEFT: return l.left;
    case IDC_PRINT_TOP: return l.top;
    case IDC_PRINT_WIDTH: return l.Width();
    default: return l.Height();
    }
}

void WriteField(PrintJob& job, int id, int tenths) {
    HWND field = GetDlgItem(job.dialog, id);
    job.writingFields = true;
    SetWindowTextW(field, FormatTenths(tenths).c_str());
    job.writingFields = false;
    // The caret after the text, where typing goes on.
    SendMessageW(field, EM_SETSEL, GetWindowTextLengthW(field), GetWindowTextLengthW(field));
}

void WriteResolution(PrintJob& job) { SetDlgItemInt(job.dialog, IDC_PRINT_RESOLUTION, job.layout.resolution, FALSE); }

std::wstring FieldText(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Relayout(PrintJob& job) {
    RunPrintLayout(job.layout);
    WritePrintFields(job);
    RedrawPrintPreview(job);
}

// Text typed into a field.
void OnFieldChanged(PrintJob& job, int id) {
    if (job.writingFields) return;
    PrintLayout& l = job.layout;
    const int old = StoredValue(l, id);
    const int typed = ParseTenths(FieldText(job.dialog, id));
    FieldEdit edit = FieldEdit::None;
    switch (id) {
    case IDC_PRINT_LEFT: edit = TypeLeft(l, typed); break;
    case IDC_PRINT_TOP: edit = TypeTop(l, typed); break;
    case IDC_PRINT_WIDTH: edit = TypeWidth(l, typed); break;
    case IDC_PRINT_HEIGHT: edit = TypeHeight(l, typed); break;
    }
    if (edit == FieldEdit::None) return;
    const bool sizeField = id == IDC_PRINT_WIDTH || id == IDC_PRINT_HEIGHT;
    if (edit == FieldEdit::Restore) {
        // The field being typed in keeps its text until it loses the focus (then it shows the
        // stored value): "10" on the way to "100" must not be taken away from under the caret.
        if (GetFocus() == GetDlgItem(job.dialog, id)) return;
        WriteField(job, id, sizeField ? StoredValue(l, id) : old);
        return;
    }
    if (sizeField) {
        const int other = id == IDC_PRINT_WIDTH ? IDC_PRINT_HEIGHT : IDC_PRINT_WIDTH;
        WriteField(job, other, StoredValue(l, other));
    }
    WriteResolution(job);
    RedrawPrintPreview(job);
}

// One click of the up-down beside a field: its number plus the step, applied as if typed.
void OnUpDown(PrintJob& job, HWND upDown) {
    const int step = static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0));
    SendMessageW(upDown, UDM_SETPOS32, 0, 0);
    if (step == 0) return;
    const int field = GetDlgCtrlID(upDown) - IDC_PRINT_LEFT_UPDOWN + IDC_PRINT_LEFT;
    const int tenths = StepTenths(FieldText(job.dialog, field), step);
    SetDlgItemTextW(job.dialog, field, FormatTenths(tenths).c_str());
}

void SelectLayout(PrintJob& job, bool fullPage) {
    job.layout.fullPage = fullPage;
    job.hit = kHitMove;
    CheckRadioButton(job.dialog, IDC_PRINT_NORMAL, IDC_PRINT_FULL_PAGE, fullPage ? IDC_PRINT_FULL_PAGE : IDC_PRINT_NORMAL);
    for (int i = 0; i < 4; ++i) {
        EnableWindow(GetDlgItem(job.dialog, IDC_PRINT_LEFT + i), !fullPage);
        EnableWindow(GetDlgItem(job.dialog, IDC_PRINT_LEFT_UPDOWN + i), !fullPage);
    }
    EnableWindow(GetDlgItem(job.dialog, IDC_PRINT_RESOLUTION), !fullPage);
    Relayout(job);
}

void PrintFailed(const PrintJob& job) { ShowErrorText(GeneralErrorText(kErrPrint), job.dialog); }

// The system print dialog over the kept printer; the printer's device context, or none when
// cancelled. The printer and its settings are kept as the dialog leaves them.
HDC ChoosePrinter(PrintJob& job, DWORD flags) {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = job.dialog;
    pd.hDevMode = job.devMode;
    pd.hDevNames = job.devNames;
    pd.Flags = flags | PD_RETURNDC;
    pd.nCopies = 1;
    const BOOL ok = PrintDlgW(&pd);
    job.devMode = pd.hDevMode;
    job.devNames = pd.hDevNames;
    if (!ok) {
        if (pd.hDC) DeleteDC(pd.hDC);
        return nullptr;
    }
    return pd.hDC;
}

void PrinterSetup(PrintJob& job) {
    HDC dc = ChoosePrinter(job, PD_PRINTSETUP);
    if (!dc) return;
    SetPrinterCaps(job.layout, ReadPrinterCaps(dc));
    DeleteDC(dc);
    Relayout(job);
}

// One page: the crop on the whole printable area, or the image at its place and size.
bool PrintPage(PrintJob& job, HDC dc, const Image& pixels) {
    PrintLayout& l = job.layout;
    SetPrinterCaps(l, ReadPrinterCaps(dc));
    RunPrintLayout(l);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const std::wstring name = Current().name;
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    if (StartDocW(dc, &doc) <= 0) return false;
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        return false;
    }
    DeviceRect dest;
    int srcX = 0, srcY = 0, srcW = l.imageWidth, srcH = l.imageHeight;
    if (l.fullPage) {
        dest = {0, 0, l.caps.horzRes, l.caps.vertRes};
        srcX = l.cropX;
        srcY = l.imageHeight - l.cropY - l.cropHeight;  // rows are stored bottom-up
        srcW = l.cropWidth;
        srcH = l.cropHeight;
    } else {
        dest = PrintDestination(l);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = l.imageWidth;
    info.bmiHeader.biHeight = l.imageHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int lines = StretchDIBits(dc, dest.x, dest.y, dest.width, dest.height, srcX, srcY, srcW, srcH, pixels.bits,
                                    &info, DIB_RGB_COLORS, SRCCOPY);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) {
        AbortDoc(dc);
        return false;
    }
    if (EndPage(dc) <= 0) {
        AbortDoc(dc);
        return false;
    }
    return EndDoc(dc) > 0;
}

void Print(PrintJob& job) {
    HDC dc = ChoosePrinter(job, PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE);
    if (!dc) return;
    bool ok = (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) != 0;
    std::vector<uint8_t> expanded;
    Image pixels;
    if (ok) ok = ExpandTo24(Current().AsImage(), expanded, pixels) == Expand24::Ok;
    if (ok) ok = PrintPage(job, dc, pixels);
    DeleteDC(dc);
    std::vector<uint8_t>().swap(expanded);
    if (!ok) PrintFailed(job);
    WritePrintFields(job);
    RedrawPrintPreview(job);
}

void OnInit(HWND dialog, PrintJob& job) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&job));
    job.dialog = dialog;
    job.handlePen = CreatePen(PS_SOLID, 1, RGB(255, 0, 96));
    job.preview = CreateWindowExW(WS_EX_STATICEDGE, kPrintPreviewClass, L"", WS_CHILD | WS_VISIBLE, kPreviewAt,
                                  kPreviewAt, kPreviewSize, kPreviewSize, dialog, nullptr, App().instance, &job);
    for (int i = 0; i < 4; ++i) {
        HWND upDown = GetDlgItem(dialog, IDC_PRINT_LEFT_UPDOWN + i);
        SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(-kUpDownRange), kUpDownRange);
        SendMessageW(upDown, UDM_SETPOS32, 0, 0);
    }
    SelectLayout(job, false);
}

INT_PTR CALLBACK PrintDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        OnInit(dialog, *reinterpret_cast<PrintJob*>(lp));
        return TRUE;
    }
    PrintJob* job = JobOf(dialog);
    if (!job) return FALSE;
    switch (msg) {
    case WM_VSCROLL:
        if (LOWORD(wp) == SB_THUMBPOSITION && lp) OnUpDown(*job, reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wp), code = HIWORD(wp);
        switch (id) {
        case IDC_PRINT_NORMAL:
        case IDC_PRINT_FULL_PAGE:
            if (code == BN_CLICKED && job->layout.fullPage != (id == IDC_PRINT_FULL_PAGE))
                SelectLayout(*job, id == IDC_PRINT_FULL_PAGE);
            return TRUE;
        case IDC_PRINT_LEFT:
        case IDC_PRINT_TOP:
        case IDC_PRINT_WIDTH:
        case IDC_PRINT_HEIGHT:
            if (code == EN_CHANGE) OnFieldChanged(*job, id);
            else if (code == EN_KILLFOCUS) WriteField(*job, id, StoredValue(job->layout, id));
            return TRUE;
        case IDC_PRINT_PRINT: Print(*job); return TRUE;
        case IDC_PRINT_SETUP: PrinterSetup(*job); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

}  // namespace

PrinterCaps ReadPrinterCaps(HDC printer) {
    PrinterCaps caps;
    caps.horzRes = GetDeviceCaps(printer, HORZRES);
    caps.vertRes = GetDeviceCaps(printer, VERTRES);
    caps.physicalWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
    caps.physicalHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
    caps.offsetX = GetDeviceCaps(printer, PHYSICALOFFSETX);
    caps.offsetY = GetDeviceCaps(printer, PHYSICALOFFSETY);
    caps.dpiX = GetDeviceCaps(printer, LOGPIXELSX);
    caps.dpiY = GetDeviceCaps(printer, LOGPIXELSY);
    return caps;
}

void WritePrintFields(PrintJob& job) {
    for (int id = IDC_PRINT_LEFT; id <= IDC_PRINT_HEIGHT; ++id) WriteField(job, id, StoredValue(job.layout, id));
    WriteResolution(job);
}

void RedrawPrintPreview(const PrintJob& job) {
    if (job.preview) InvalidateRect(job.preview, nullptr, FALSE);
}

void OpenPrintDialog() {
    AppState& app = App();
    if (app.fileList && IsWindowVisible(app.fileList)) ShowWindow(app.fileList, SW_HIDE);
    const CurrentImage& image = Current();
    if (!image.Loaded()) return;

    std::unique_ptr<PrintJob> job(new (std::nothrow) PrintJob);
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = app.dialogOwner;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!job || !PrintDlgW(&pd) || !pd.hDC) {
        if (pd.hDevMode) GlobalFree(pd.hDevMode);
        if (pd.hDevNames) GlobalFree(pd.hDevNames);
        if (pd.hDC) DeleteDC(pd.hDC);
        ShowGeneralError(kErrPrintPreview);
        return;
    }
    job->devMode = pd.hDevMode;
    job->devNames = pd.hDevNames;
    SetPrinterCaps(job->layout, ReadPrinterCaps(pd.hDC));
    DeleteDC(pd.hDC);

    HDC screen = GetDC(nullptr);
    const int ppm = PrintPelsPerMeter(image.xPelsPerMeter, image.yPelsPerMeter, GetDeviceCaps(screen, LOGPIXELSX),
                                      GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    StartImageRect(job->layout, image.width, image.height, PrintDpi(ppm));

    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_PRINT), app.dialogOwner, PrintDialogProc,
                    reinterpret_cast<LPARAM>(job.get()));
}

}  // namespace pelio
