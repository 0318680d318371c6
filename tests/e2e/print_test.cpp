// Printing driven from outside on a real printer of the Wine prefix: a PostScript printer whose
// port pipes the job to Ghostscript, which renders the page to a bitmap; where the image
// landed is measured on that page. The preview's drags size and move the image; without a
// printer the dialog does not open.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/image/codec.h"
#include "core/image/format.h"
#include "resources/resource_ids.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/win_test_files.h"

namespace pelio {
namespace {

using e2e::ControlText;
using e2e::Eventually;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr wchar_t kPrinter[] = L"Pelio Test Printer";
constexpr wchar_t kPpdName[] = L"pelio_test.ppd";
constexpr int kWaitMs = 15000;
constexpr int kPageDpi = 100;  // of the rendered page
// The test printer's A4 page in points: paper 595 × 842, printable 18, 18 … 577, 824.
constexpr double kMarginMm = 18 * 25.4 / 72;

std::wstring Widen(const char* s) { return std::wstring(s, s + strlen(s)); }

// A 24-bit BMP of one dark colour with no stored resolution.
std::vector<uint8_t> SolidBmp(int w, int h) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + size_t(stride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b[54 + size_t(y) * stride + size_t(x) * 3];
            p[0] = 120, p[1] = 40, p[2] = 20;
        }
    return b;
}

// The test printer, the default while it lives; the prefix is left as found.
class TestPrinter {
public:
    explicit TestPrinter(const std::wstring& outputUnixPath) {
        wchar_t previous[512];
        DWORD size = 512;
        if (GetDefaultPrinterW(previous, &size)) previous_ = previous;
        wchar_t folder[MAX_PATH];
        DWORD needed = 0;
        if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
            return;
        folder_ = folder;
        ppd_ = folder_ + L"\\" + kPpdName;
        if (!CopyFileW(e2e::WindowsPathOf(PELIO_TEST_PPD_UNIX_PATH).c_str(), ppd_.c_str(), FALSE)) return;
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = const_cast<wchar_t*>(kPrinter);
        driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
        driver.pDataFile = const_cast<wchar_t*>(kPpdName);
        driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
        driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
        if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) return;
        std::wstring port = L"|gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bmp16m -r" + std::to_wstring(kPageDpi) +
                            L" '-sOutputFile=" + outputUnixPath + L"' -";
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<wchar_t*>(kPrinter);
        info.pPortName = port.data();
        info.pDriverName = const_cast<wchar_t*>(kPrinter);
        info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
        info.pDatatype = const_cast<wchar_t*>(L"RAW");
        HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (!printer) return;
        ClosePrinter(printer);
        ready_ = SetDefaultPrinterW(kPrinter) != FALSE;
    }
    ~TestPrinter() {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, &access)) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
        DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t*>(kPrinter));
        // The driver's copy of its description sits in the version folder.
        if (!ppd_.empty()) DeleteFileW(ppd_.c_str());
        if (!folder_.empty()) DeleteFileW((folder_ + L"\\3\\" + kPpdName).c_str());
        if (!previous_.empty()) SetDefaultPrinterW(previous_.c_str());
    }
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    bool Ready() const { return ready_; }

private:
    std::wstring previous_, folder_, ppd_;
    bool ready_ = false;
};

// The dark part of a rendered page, in millimetres.
struct Ink {
    bool found = false;
    double left = 0, top = 0, width = 0, height = 0;
};

Ink InkOnPage(const std::vector<uint8_t>& bytes) {
    Ink ink;
    // Not before the renderer has written the whole file.
    if (bytes.size() < 54 || bytes.size() < (bytes[2] | bytes[3] << 8 | bytes[4] << 16 | uint32_t(bytes[5]) << 24))
        return ink;
    DecodeFn decode = FindDecoder(DetectFormat(bytes));
    if (!decode) return ink;
    MemoryAllocator allocator;
    DecodeResult result;
    LoadOptions options;
    if (!decode(bytes, options, allocator, result) || result.image.BitCount() != 24) return ink;
    const Image& page = result.image;
    int x1 = page.Width(), y1 = page.Height(), x2 = -1, y2 = -1;
    for (int row = 0; row < page.Height(); ++row) {
        const uint8_t* p = page.Row(row);
        const int y = page.Height() - 1 - row;  // rows are stored bottom-up
        for (int x = 0; x < page.Width(); ++x, p += 3)
            if (std::min({p[0], p[1], p[2]}) < 200) {
                x1 = std::min(x1, x), x2 = std::max(x2, x);
                y1 = std::min(y1, y), y2 = std::max(y2, y);
            }
    }
    allocator.Release(result.image);
    if (x2 < 0) return ink;
    const double mm = 25.4 / kPageDpi;
    return {true, x1 * mm, y1 * mm, (x2 - x1 + 1) * mm, (y2 - y1 + 1) * mm};
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = dir_ / L"Pelio.exe";
        CopyFileW(e2e::WindowsPathOf(PELIO_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE);
        test::WriteTextFile(dir_ / L"Pelio.ini", L"[Awin]\r\nMouseInfo=0\r\n");
        test::WriteBytes(dir_ / L"card.bmp", SolidBmp(300, 200));
        CreateDirectoryW(e2e::WindowsPathOf(PELIO_PRINT_OUTPUT_UNIX_DIR).c_str(), nullptr);
        page_ = e2e::WindowsPathOf(PELIO_PRINT_OUTPUT_UNIX_DIR "/page.bmp");
        DeleteFileW(page_.c_str());
    }
    void Start() {
        pelio_ = e2e::Launch(exe_, L"\"" + (dir_ / L"card.bmp") + L"\"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
        const std::wstring name = L"card.bmp";
        ASSERT_TRUE(Eventually([&] { return e2e::WindowText(viewer_).compare(0, name.size(), name) == 0; }));
    }
    void Open() {
        PostMessageW(viewer_, WM_COMMAND, cmd::kPrint, 0);
        ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"印刷(プレビュー)", kWaitMs, dialog_));
    }
    HWND Control(int id) { return GetDlgItem(dialog_.hwnd, id); }
    // A click on the upper or lower arrow of an up-down.
    void ClickUpDown(int id, bool up) {
        RECT r;
        GetClientRect(Control(id), &r);
        const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
        PostMessageW(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(Control(id), WM_LBUTTONUP, 0, at);
    }
    void Type(int id, const wchar_t* text) { SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // Clicked into (until it has the focus), emptied and typed key by key, as at the keyboard.
    void TypeKeys(int id, const char* digits) {
        HWND field = Control(id);
        auto focused = [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(field, nullptr), &info) && info.hwndFocus == field;
        };
        for (int attempt = 0; attempt < 5 && !focused(); ++attempt) {
            SetForegroundWindow(dialog_.hwnd);
            Eventually([&] { return GetForegroundWindow() == dialog_.hwnd; }, 2000);
            RECT r;
            GetWindowRect(field, &r);
            INPUT click[3]{};
            for (INPUT& in : click) in.type = INPUT_MOUSE;
            click[0].mi.dx = ((r.left + r.right) / 2 * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
            click[0].mi.dy = ((r.top + r.bottom) / 2 * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
            click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            click[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            click[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(3, click, sizeof(INPUT));
            Eventually(focused, 1000);
        }
        ASSERT_TRUE(focused());
        auto key = [](BYTE vk) {
            keybd_event(vk, 0, 0, 0);
            keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
            Sleep(30);
        };
        key(VK_END);
        for (int i = 0; i < 8; ++i) key(VK_BACK);
        for (const char* d = digits; *d; ++d) key(static_cast<BYTE>(*d));
        ASSERT_TRUE(Eventually([&] { return ControlText(field) == std::wstring(digits, digits + strlen(digits)); }));
    }
    // OK in the system's print dialog that `button` opens.
    void AnswerSystemDialog(int button) {
        e2e::PressButton(dialog_.hwnd, button);
        e2e::DialogInfo system;
        EXPECT_TRUE(Eventually([&] {
            return e2e::WaitForDialog(pelio_.Id(), nullptr, 0, system) && system.hwnd != dialog_.hwnd;
        }));
        e2e::PressButton(system.hwnd, IDOK);
        EXPECT_TRUE(Eventually([&] { return !IsWindow(system.hwnd); }));
    }
    // "印刷..." and OK; the page the printer rendered.
    Ink Print() {
        AnswerSystemDialog(IDC_PRINT_PRINT);
        Ink ink;
        EXPECT_TRUE(Eventually([&] { return (ink = InkOnPage(test::ReadBytes(page_))).found; }, 30000));
        return ink;
    }
    void Close() {
        e2e::PressButton(dialog_.hwnd, IDCANCEL);
        ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog_.hwnd); }));
        PostMessageW(viewer_, WM_COMMAND, cmd::kExit, 0);
        EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
    }

    test::TempFolder dir_;
    std::wstring exe_, page_;
    e2e::Process pelio_;
    HWND viewer_ = nullptr;
    e2e::DialogInfo dialog_;
};

TEST_F(Printing, NormalLayoutPrintsAtTheTypedPlaceAndSize) {
    TestPrinter printer(Widen(PELIO_PRINT_OUTPUT_UNIX_DIR "/page.bmp"));
    ASSERT_TRUE(printer.Ready());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    // 300 pixels at the screen's 96 dots per inch.
    EXPECT_EQ(ControlText(Control(IDC_PRINT_WIDTH)), L"79.4");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_HEIGHT)), L"52.9");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_RESOLUTION)), L"96");
    // The up-downs step a millimetre and stop at 0.
    ClickUpDown(IDC_PRINT_LEFT_UPDOWN, true);
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_LEFT)) == L"1.0"; }));
    ClickUpDown(IDC_PRINT_LEFT_UPDOWN, false);
    ClickUpDown(IDC_PRINT_LEFT_UPDOWN, false);
    ClickUpDown(IDC_PRINT_LEFT_UPDOWN + 1, true);
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_TOP)) == L"1.0"; }));
    EXPECT_EQ(ControlText(Control(IDC_PRINT_LEFT)), L"0.0");
    ClickUpDown(IDC_PRINT_LEFT_UPDOWN + 1, false);
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_TOP)) == L"0.0"; }));
    Type(IDC_PRINT_LEFT, L"20");
    // "1" and "10" are below the 20 mm minimum on the way to "100": the field keeps them.
    ASSERT_NO_FATAL_FAILURE(TypeKeys(IDC_PRINT_WIDTH, "100"));
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_HEIGHT)) == L"66.7"; }));
    EXPECT_EQ(ControlText(Control(IDC_PRINT_WIDTH)), L"100");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_RESOLUTION)), L"76");
    // The same printer chosen again in printer setup keeps the layout.
    AnswerSystemDialog(IDC_PRINT_SETUP);
    EXPECT_EQ(ControlText(Control(IDC_PRINT_WIDTH)), L"100.0");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_LEFT)), L"20.0");
    const Ink ink = Print();
    EXPECT_NEAR(ink.left, kMarginMm + 20, 1.0);
    EXPECT_NEAR(ink.top, kMarginMm, 1.0);
    EXPECT_NEAR(ink.width, 100, 1.0);
    EXPECT_NEAR(ink.height, 66.7, 1.0);
    ASSERT_NO_FATAL_FAILURE(Close());
}

// A left-button drag on the preview, posted as the mouse would send it.
TEST_F(Printing, PreviewDragsSizeAndMoveTheImage) {
    TestPrinter printer(Widen(PELIO_PRINT_OUTPUT_UNIX_DIR "/page.bmp"));
    ASSERT_TRUE(printer.Ready());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND preview = FindWindowExW(dialog_.hwnd, nullptr, L"Pelio_prtp_class", nullptr);
    ASSERT_NE(preview, nullptr);
    RECT client;
    GetClientRect(preview, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 400);
    // The image's corner is at (174, 80) of the preview: 20 pixels down the diagonal grow it,
    // aspect kept, about its top-left corner.
    e2e::PostDrag(preview, {174, 80}, {194, 100});
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_WIDTH)) == L"97.2"; }));
    EXPECT_EQ(ControlText(Control(IDC_PRINT_HEIGHT)), L"64.8");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_LEFT)), L"0.0");
    // Inside it a drag moves it.
    e2e::PostDrag(preview, {120, 45}, {130, 55});
    EXPECT_TRUE(Eventually([&] { return ControlText(Control(IDC_PRINT_LEFT)) == L"7.4"; }));
    EXPECT_EQ(ControlText(Control(IDC_PRINT_TOP)), L"7.4");
    EXPECT_EQ(ControlText(Control(IDC_PRINT_WIDTH)), L"97.2");
    ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(Printing, FullPageFillsThePrintableArea) {
    TestPrinter printer(Widen(PELIO_PRINT_OUTPUT_UNIX_DIR "/page.bmp"));
    ASSERT_TRUE(printer.Ready());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    SendMessageW(Control(IDC_PRINT_FULL_PAGE), BM_CLICK, 0, 0);
    ASSERT_TRUE(Eventually([&] { return !IsWindowEnabled(Control(IDC_PRINT_WIDTH)); }));
    const Ink ink = Print();
    EXPECT_NEAR(ink.left, kMarginMm, 1.0);
    EXPECT_NEAR(ink.top, kMarginMm, 1.0);
    EXPECT_NEAR(ink.width, (577 - 18) * 25.4 / 72, 1.0);
    EXPECT_NEAR(ink.height, (824 - 18) * 25.4 / 72, 1.0);
    ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(Printing, WithoutAPrinterTheDialogDoesNotOpen) {
    wchar_t name[512];
    DWORD size = 512;
    if (GetDefaultPrinterW(name, &size)) GTEST_SKIP() << "the prefix has a default printer";
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(viewer_, WM_COMMAND, cmd::kPrint, 0);
    e2e::DialogInfo message;
    ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, message));
    EXPECT_EQ(message.text, L"印刷プレビューに失敗しました。");
    e2e::PressButton(message.hwnd, IDOK);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(message.hwnd); }));
    e2e::DialogInfo any;
    EXPECT_FALSE(e2e::WaitForDialog(pelio_.Id(), L"印刷(プレビュー)", 500, any));
    PostMessageW(viewer_, WM_COMMAND, cmd::kExit, 0);
    EXPECT_EQ(pelio_.WaitExit(kWaitMs), 0u);
}

}  // namespace
}  // namespace pelio
