// The frame every interactive image operation runs in: its record, the worker thread that
// computes the preview, the operation toolbar on the Edit window's rebar, Confirm and Abort.
// Win32.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "core/image/image.h"
#include "core/ops/working_picture.h"
#include "win/ops/preview_worker.h"

namespace pelio {

struct OperationContext;

// The operations the frame runs.
enum OperationCode : int {
    kOpTrim = 6,
    kOpResize = 7,
    kOpMargins = 8,
    kOpRotate = 9,
    kOpLevels = 10,
    kOpGamma = 11,
    kOpBrightness = 12,
    kOpContrast = 13,
    kOpHueSaturation = 14,
    kOpUnsharpMask = 15,
    kOpBlur = 16,
    kOpSoftFocus = 17,
};

// What one operation brings to the frame.
struct OperationKind {
    OperationCode code;
    int command;
    const wchar_t* title;
    // Its data (parameters and tables) and first state, before the controls; false ends the start.
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
    // Up-downs that do not set their buddy themselves.
    void (*upDown)(OperationContext&, HWND upDown, int code) = nullptr;
    // The preview pane's mouse messages (client point) and cursor, true when taken; its
    // overlay, drawn over the picture.
    bool (*paneMouse)(OperationContext&, UINT msg, WPARAM keys, POINT client) = nullptr;
    bool (*paneCursor)(OperationContext&, POINT client) = nullptr;
    void (*paneOverlay)(OperationContext&, HDC dc) = nullptr;
    // Operations whose result is computed on Confirm (the working picture otherwise), with
    // its file size in out.fileSize; false when it cannot be made.
    bool (*result)(OperationContext&, Image& out) = nullptr;
    // At every end, Confirm or Abort: the settings written back.
    void (*finish)(OperationContext&) = nullptr;
    bool imagePaneOnly = false;  // shows the image pane instead of the preview
    PictureNeeds needs{};        // 24 bits first, a smallest side
};

// An operation's own parameters and tables. Parameters the preview kernel reads are atomic:
// the main thread writes them while the worker runs.
struct OperationData {
    virtual ~OperationData() = default;
};

struct OperationContext {
    const OperationKind* kind = nullptr;
    // The second picture (selected into the preview pane's DC), its source and the job.
    WorkingPicture work;
    HGDIOBJ previousBitmap = nullptr;
    HWND toolbar = nullptr;
    std::atomic<bool> cancel{false};  // stops the kernel between rows (work.job.cancel)
    std::unique_ptr<OperationData> data;
    PreviewWorker worker;  // stopped before the rest goes
};

// The operation's data as its own type, made by its prepare step.
template <class Data>
Data& DataOf(OperationContext& ctx) {
    return static_cast<Data&>(*ctx.data);
}
template <class Data>
const Data& DataOf(const OperationContext& ctx) {
    return static_cast<const Data&>(*ctx.data);
}
// Makes the operation's data; null when memory is short.
template <class Data>
Data* NewData(OperationContext& ctx) {
    auto* data = new (std::nothrow) Data;
    ctx.data.reset(data);
    return data;
}

// Image operations that run in the frame (cmd::kFirstImageOperation ..); false for the others (and when refused).
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
// The x a control placed after `previous` takes: `x`, or further right when the previous
// control's fitted text reaches it.
int OperationNextX(HWND previous, int x);
// A sunken text field of at most `chars` characters.
HWND OperationTextField(HWND toolbar, int id, int x, int width, int chars, const wchar_t* text = nullptr);
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
