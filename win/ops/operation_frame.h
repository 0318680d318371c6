// The frame every interactive image operation runs in: its record, the worker thread that
// computes the preview, the operation toolbar on the Edit window's rebar, Confirm and Abort.
// Win32.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "core/image/image.h"
#include "core/ops/pixel_job.h"

namespace pelio {

struct OperationContext;

// What one operation brings to the frame.
struct OperationKind {
    int code = 0;
    int command = 0;
    const wchar_t* title = L"";
    // Tables and first state, before the controls; false ends the start.
    bool (*prepare)(OperationContext&) = nullptr;
    // Its controls on the operation toolbar (from x = 58).
    void (*build)(OperationContext&, HWND toolbar) = nullptr;
    // The preview from the current parameters (worker thread).
    void (*compute)(OperationContext&, LPARAM) = nullptr;
    // Whether the parameters change nothing.
    bool (*neutral)(const OperationContext&) = nullptr;
    // Notifications of its controls (main thread).
    void (*control)(OperationContext&, int id, int code, HWND control) = nullptr;
    void (*slider)(OperationContext&, HWND slider, int code) = nullptr;
    // Operations whose result is computed on Confirm (the working picture otherwise), with
    // its file size; false when it cannot be made.
    bool (*result)(OperationContext&, Image& out, int32_t& fileSize) = nullptr;
    // At every end, Confirm or Abort: the settings written back.
    void (*finish)(OperationContext&) = nullptr;
    bool imagePaneOnly = false;  // shows the image pane instead of the preview
    bool works24 = false;        // a palette image is converted to 24 bits first
    int minSide = 0;             // narrower or lower pictures are refused
};

struct OperationContext {
    const OperationKind* kind = nullptr;
    Image working;                 // the second picture, selected into the preview pane's DC
    HGDIOBJ previousBitmap = nullptr;
    PixelJob job;
    HANDLE thread = nullptr;
    HWND worker = nullptr;
    HWND toolbar = nullptr;
    std::array<std::atomic<int>, 16> params{};  // written by the main thread, read by the kernel
    std::atomic<bool> cancel{false};            // stops the kernel between rows (job.cancel)
    bool sync = true;
    int mean = 0;                  // contrast: the source's mean luma
    std::vector<uint8_t> source24;  // the 24-bit conversion of a palette image
    void* tables = nullptr;        // the operation's own tables
    void (*freeTables)(void*) = nullptr;
};

// Commands 5120..5172 that run in the frame; false for the others (and when refused).
bool StartOperation(int command);
// Confirm (apply) or abort; nothing without an operation.
void FinishOperation(bool apply);
bool OperationRunning();
// Posts a recompute request to the worker.
void RequestPreview(LPARAM lp = 0);
// The worker writes the operation's picture under this lock.
std::mutex& OperationPictureLock();

// Control helpers of the operation toolbars (UI font).
HWND OperationChild(HWND toolbar, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int w, int h);
HWND OperationNumberField(HWND toolbar, int id, int upDownId, int x, int low, int high, int value, int chars,
                          int width = 50);
HWND OperationSliderControl(HWND toolbar, int id, int x, int w, int low, int high, int page);
// Focus changes of an operation's number field; on losing the focus the field shows
// `stored` again. True when `code` was one of them.
bool OperationFieldFocus(int code, HWND field, int stored);
// The controls-ready flag: notifications while the program sets a control are ignored.
bool ControlsReady();
class ProgramChange {
public:
    ProgramChange();
    ~ProgramChange();
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    bool was_;
};

}  // namespace pelio
