// Histogram display and colour count. Win32.
#include "win/ops/inspections.h"

#include <windows.h>

#include <memory>
#include <string>

#include "core/image/colour_count.h"
#include "core/ops/luminance.h"
#include "core/commands/messages.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"

namespace pelio {

namespace {

constexpr wchar_t kGraphClass[] = L"Pelio_hgml_class";
constexpr int kGraphId = 1470, kStripId = 1471;

struct HistogramRecord {
    std::array<int, 256> tops{};
    HPEN bar = nullptr;
};

// The graph and the strip find the record in their window data.
LRESULT CALLBACK GraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (const auto* record = reinterpret_cast<const HistogramRecord*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
        if (GetDlgCtrlID(hwnd) == kGraphId) {
            for (int x = 0; x < 256; ++x) {
                const int top = record->tops[size_t(x)];
                SelectObject(dc, record->bar);
                MoveToEx(dc, x, 149, nullptr);
                LineTo(dc, x, top);
                SelectObject(dc, GetStockObject(WHITE_PEN));
                LineTo(dc, x, -1);
            }
        } else {
            HGDIOBJ old = SelectObject(dc, GetStockObject(DC_PEN));
            for (int x = 0; x < 256; ++x) {
                SetDCPenColor(dc, RGB(x, x, x));
                MoveToEx(dc, x, 7, nullptr);
                LineTo(dc, x, -1);
            }
            SelectObject(dc, old);
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

INT_PTR CALLBACK HistogramDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* record = reinterpret_cast<HistogramRecord*>(lp);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = GraphProc;
        wc.hInstance = App().instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGraphClass;
        RegisterClassExW(&wc);
        CreateWindowExW(WS_EX_STATICEDGE, kGraphClass, nullptr, WS_CHILD | WS_VISIBLE, 4, 4, 258, 152, dialog,
                        reinterpret_cast<HMENU>(kGraphId), App().instance, record);
        CreateWindowExW(WS_EX_STATICEDGE, kGraphClass, nullptr, WS_CHILD | WS_VISIBLE, 4, 156, 258, 10, dialog,
                        reinterpret_cast<HMENU>(kStripId), App().instance, record);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}


}  // namespace

void ShowLuminanceHistogram() {
    const CurrentImage& c = Current();
    if (!c.Loaded() || (c.bitCount != 8 && c.bitCount != 24)) return;
    FileListDisabled disabled;
    auto record = std::unique_ptr<HistogramRecord>(new (std::nothrow) HistogramRecord);
    if (!record) {
        ShowGeneralError(kErrNoMemory);
        return;
    }
    LuminanceCounts counts{};
    LuminanceHistogram(c.AsImage(), counts);
    record->tops = LuminanceBarTops(counts);
    record->bar = CreatePen(PS_SOLID, 1, RGB(144, 144, 144));
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_LUMINANCE_HISTOGRAM), App().dialogOwner,
                    HistogramDialogProc, reinterpret_cast<LPARAM>(record.get()));
    DeleteObject(record->bar);
    UnregisterClassW(kGraphClass, App().instance);
}

void ShowColourCount() {
    const CurrentImage& c = Current();
    if (!c.Loaded()) return;
    const uint32_t n = CountImageColours(c.AsImage());
    if (n == 0) {
        ShowGeneralError(kErrReadData);
        return;
    }
    const std::wstring text = L"使用色数 = " + std::to_wstring(n);
    ShowInformation(text.c_str(), c.name.c_str());
}

}  // namespace pelio
