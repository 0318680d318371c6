// The adjustment frame. Win32.
#include "win/ops/operation_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/busy.h"
#include "win/base/message_box.h"
#include "win/base/toolbar_support.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/running_operation.h"
#include "win/editor/save_panel.h"
#include "win/editor/save_pipeline.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/ops/filter_operations.h"
#include "win/ops/hls_operation.h"
#include "win/ops/immediate_edits.h"
#include "win/ops/levels_operation.h"
#include "win/ops/margins_operation.h"
#include "win/ops/resize_operation.h"
#include "win/ops/rotate_operation.h"
#include "win/ops/tone_operations.h"
#include "win/ops/trim_operation.h"

namespace pelio {

namespace {

constexpr int kOperationBarId = 1025;
// A confirm lets the preview in progress finish this long before cancelling it.
constexpr DWORD kStopWaitMs = 9999;

struct FrameState {
    std::unique_ptr<OperationContext> context;
    bool controlsReady = true;
    std::mutex pictureLock;
    // Previews asked for and shown; while they differ for longer than kBusyAfterMs the Edit
    // window shows "wait..." and the wait cursor.
    std::atomic<unsigned> previewsAsked{0}, previewsShown{0};
    unsigned askedBeforeCompute = 0;  // worker thread only
    UINT_PTR busyTimer = 0;
    DWORD askedAt = 0;
    bool busyShown = false;
};
constexpr UINT kBusyPollMs = 100;
constexpr DWORD kBusyAfterMs = 300;

FrameState& Frame() {
    static FrameState state;
    return state;
}

void EndPreviewBusy() {
    FrameState& f = Frame();
    if (f.busyTimer) KillTimer(nullptr, f.busyTimer);
    f.busyTimer = 0;
    if (!f.busyShown) return;
    f.busyShown = false;
    UpdateEditTitle();
    RefreshCursor();
}

// Polls while a preview is pending: the feedback once it takes long, its end once shown.
void CALLBACK PreviewBusyTick(HWND, UINT, UINT_PTR, DWORD) {
    FrameState& f = Frame();
    if (!f.context || f.previewsShown.load() == f.previewsAsked.load()) {
        EndPreviewBusy();
        return;
    }
    if (!f.busyShown && GetTickCount() - f.askedAt >= kBusyAfterMs) {
        f.busyShown = true;
        SetWindowTextW(EditState().window, L"wait...");
        SetCursor(App().cursors.wait);
    }
}


bool StartWorker(OperationContext& ctx) {
    if (!ctx.kind->compute) return true;  // computed on Confirm: no preview, no worker
    OperationContext* c = &ctx;
    PreviewWorker::Jobs jobs{
        [c](LPARAM lp) {
            FrameState& f = Frame();
            f.askedBeforeCompute = f.previewsAsked.load();
            std::lock_guard<std::mutex> lock(f.pictureLock);
            c->kind->compute(*c, lp);
            ++EditState().previewGeneration;
            if (c->work.picture.BitCount() == 8) {
                RGBQUAD colours[256];
                std::memcpy(colours, c->work.picture.palette.data(), sizeof colours);
                SetDIBColorTable(EditState().previewMemoryDc, 0, 256, colours);
            }
        },
        [] {
            InvalidateRect(EditState().previewPane, nullptr, FALSE);
            UpdateWindow(EditState().previewPane);
            Frame().previewsShown.store(Frame().askedBeforeCompute);
        },
    };
    return ctx.worker.Start(std::move(jobs), &ctx.cancel);
}

const OperationKind* FindKind(int command) {
    for (auto find : {ToneOperation, LevelsOperation, TrimOperation, MarginsOperation, ResizeOperation, RotateOperation,
                      FilterOperation, HlsOperation})
        if (const OperationKind* kind = find(command)) return kind;
    return nullptr;
}


// The working picture: a bitmap section of the current image's size, depth and palette, with its pixels.
bool CreateWorkingPicture(OperationContext& ctx) {
    DibAllocator allocator;
    return MakeWorkingPicture(Current().AsImage(), ctx.kind->needs, allocator, ctx.work, &ctx.cancel);
}

void SetBand(HWND child, const wchar_t* text) {
    HWND rebar = EditState().rebar;
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_TEXT;
    band.hwndChild = child;
    band.lpText = const_cast<wchar_t*>(text);
    SendMessageW(rebar, RB_SETBANDINFOW, 2, reinterpret_cast<LPARAM>(&band));
    // A new text alone does not always repaint the band's header.
    InvalidateRect(rebar, nullptr, TRUE);
}

HWND BuildOperationBar(OperationContext& ctx) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                        CCS_NORESIZE | CCS_NOPARENTALIGN;
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 780, 24, EditState().rebar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOperationBarId)), App().instance, nullptr);
    if (!bar) return nullptr;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(EditState().window), 0);
    SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(LoadToolbarImages(IDB_SAVE_PANEL, IDB_SAVE_PANEL_COUNT)));
    const TBBUTTON buttons[] = {
        {14, cmd::kConfirmOperation, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {15, cmd::kAbortOperation, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 9901, 0, BTNS_SEP, {}, 0, 0},
    };
    SendMessageW(bar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    ForwardToolbarChildren(bar);
    ctx.toolbar = bar;
    ctx.kind->build(ctx, bar);
    return bar;
}

void SetCommandBarBusy(bool busy) {
    HWND bar = EditState().commandBar;
    EnableWindow(bar, !busy);
    for (int id = cmd::kTransformMenu; id <= cmd::kToolsMenu; ++id) {
        SendMessageW(bar, TB_INDETERMINATE, id, MAKELPARAM(busy, 0));
        if (!busy) SendMessageW(bar, TB_ENABLEBUTTON, id, MAKELPARAM(id == cmd::kToolsMenu || Current().Loaded(), 0));
    }
}

// The end of an operation: the record goes, the save panel comes back.
void DestroyRecord() {
    FrameState& f = Frame();
    if (!f.context) return;
    OperationContext& ctx = *f.context;
    if (ctx.kind->finish) ctx.kind->finish(ctx);
    if (ctx.toolbar) DestroyWindow(ctx.toolbar);
    SetBand(SavePanelHandle(), kSavePanelBandText);
    ShowWindow(SavePanelHandle(), SW_SHOW);
    if (ctx.work.picture.bitmap) DibAllocator().Release(ctx.work.picture);
    ctx.data.reset();
    SetCommandBarBusy(false);
    f.context.reset();
    EditState().operation = nullptr;
}

// The running operation as the Edit window sees it.
class FramePort final : public RunningOperation {
public:
    std::mutex& PictureLock() override { return Frame().pictureLock; }
    const Image& Picture() override { return Frame().context->work.picture; }
    bool Control(int id, int code, HWND control) override {
        FrameState& f = Frame();
        if (!f.context || GetParent(control) != f.context->toolbar) return false;
        if (f.controlsReady && f.context->kind->control) f.context->kind->control(*f.context, id, code, control);
        return true;
    }
    bool Slider(HWND slider, int code) override {
        FrameState& f = Frame();
        if (!f.context || GetParent(slider) != f.context->toolbar) return false;
        if (f.controlsReady && f.context->kind->slider) f.context->kind->slider(*f.context, slider, code);
        return true;
    }
    bool UpDown(HWND upDown, int code) override {
        FrameState& f = Frame();
        if (!f.context || GetParent(upDown) != f.context->toolbar) return false;
        if (f.controlsReady && f.context->kind->upDown) f.context->kind->upDown(*f.context, upDown, code);
        return true;
    }
    bool PreviewBusy() override { return Frame().busyShown; }
    bool PaneMouse(UINT msg, WPARAM keys, POINT client) override {
        FrameState& f = Frame();
        return f.context && f.context->kind->paneMouse && f.context->kind->paneMouse(*f.context, msg, keys, client);
    }
    bool PaneCursor(POINT client) override {
        FrameState& f = Frame();
        return f.context && f.context->kind->paneCursor && f.context->kind->paneCursor(*f.context, client);
    }
    void PaneOverlay(HDC dc) override {
        FrameState& f = Frame();
        if (f.context && f.context->kind->paneOverlay) f.context->kind->paneOverlay(*f.context, dc);
    }
    void Abort() override { FinishOperation(false); }
};

RunningOperation& Port() {
    static FramePort port;
    return port;
}

}  // namespace

bool OperationRunning() { return Frame().context != nullptr; }

bool ControlsReady() { return Frame().controlsReady; }

ProgramChange::ProgramChange() : was_(Frame().controlsReady) { Frame().controlsReady = false; }
ProgramChange::~ProgramChange() { Frame().controlsReady = was_; }

std::mutex& OperationPictureLock() { return Frame().pictureLock; }

void RequestPreview(LPARAM lp) {
    FrameState& f = Frame();
    if (!OperationRunning() || !f.context->worker.Running()) return;
    if (f.previewsShown.load() == f.previewsAsked.load()) f.askedAt = GetTickCount();
    ++f.previewsAsked;
    if (!f.busyTimer) f.busyTimer = SetTimer(nullptr, 0, kBusyPollMs, PreviewBusyTick);
    f.context->worker.Request(lp);
}

bool StartOperation(int command) {
    const OperationKind* kind = FindKind(command);
    if (!kind) return false;
    EditWindowState& e = EditState();
    if (!Current().Loaded() || OperationRunning()) return true;
    if (App().fileList && IsWindowVisible(App().fileList)) ShowWindow(App().fileList, SW_HIDE);
    DiscardPreview();
    FrameState& f = Frame();
    f.context = std::make_unique<OperationContext>();
    OperationContext& ctx = *f.context;
    ctx.kind = kind;
    if (!PictureFits(Current().AsImage(), kind->needs)) {
        f.context.reset();
        ShowGeneralError(kErrCannotRun);
        return true;
    }
    SetCommandBarBusy(true);
    ProgramChange building;
    bool pictured = false, prepared = false;
    {
        // The working copy and the operation's tables can take seconds on a large picture.
        BusyIndicator busy(e.window);
        pictured = CreateWorkingPicture(ctx);
        prepared = pictured && (!kind->prepare || kind->prepare(ctx)) && StartWorker(ctx);
    }
    if (!pictured) {
        DestroyRecord();
        ShowGeneralError(kErrShowImage);
        return true;
    }
    if (!prepared) {
        ctx.worker.Stop(false, kStopWaitMs);
        DestroyRecord();
        ShowGeneralError(kErrNoMemory);
        return true;
    }
    ctx.previousBitmap = SelectObject(e.previewMemoryDc, static_cast<HBITMAP>(ctx.work.picture.bitmap));
    ++e.previewGeneration;
    ShowWindow(SavePanelHandle(), SW_HIDE);
    if (!BuildOperationBar(ctx)) {
        ctx.worker.Stop(false, kStopWaitMs);
        SelectObject(e.previewMemoryDc, ctx.previousBitmap);
        ++e.previewGeneration;
        DestroyRecord();
        ShowGeneralError(kErrNoMemory);
        return true;
    }
    SetBand(ctx.toolbar, kind->title);
    e.operation = &Port();
    SetPaneMode(kind->imagePaneOnly ? PaneMode::ImageOnly : PaneMode::PreviewOnly);
    RefreshToolbarStates();
    UpdateEditTitle();
    return true;
}

void FinishOperation(bool apply) {
    FrameState& f = Frame();
    if (!f.context) return;
    OperationContext& ctx = *f.context;
    EditWindowState& e = EditState();
    // A confirm whose preview could not finish in time turns into an abort. A result made on
    // Confirm needs no preview: the one in progress is cancelled.
    const bool keepPreview = apply && !ctx.kind->result;
    if (!ctx.worker.Stop(keepPreview, kStopWaitMs) && keepPreview) {
        if (!ctx.kind->neutral(ctx)) ShowGeneralError(kErrShowImage);
        apply = false;
    }
    EndPreviewBusy();
    SetWindowTextW(e.window, L"wait...");
    SelectObject(e.previewMemoryDc, ctx.previousBitmap);
    ++e.previewGeneration;
    bool installed = false;
    if (apply && !ctx.kind->neutral(ctx)) {
        if (ctx.kind->result) {
            // The preview's picture makes room for the result.
            if (ctx.work.picture.bitmap) DibAllocator().Release(ctx.work.picture);
            Image result;
            HCURSOR old = SetCursor(App().cursors.wait);
            const bool made = ctx.kind->result(ctx, result);
            SetCursor(old);
            if (made) {
                InstallResult(result, result.fileSize);
                installed = true;
            } else {
                ShowGeneralError(kErrShowImage);
            }
        } else {
            Image result = ctx.work.picture;
            ctx.work.picture = Image{};  // the current image owns it now
            InstallResult(result, EditedFileSize(result));
            installed = true;
        }
    }
    const bool resized = installed && ctx.kind->result;
    DestroyRecord();
    if (installed) RefreshAfterNewImage(resized);
    else SetPaneMode(PaneMode::ImageOnly);
    RefreshToolbarStates();
    UpdateEditTitle();
}

bool OperationFieldFocus(int code, HWND field, int stored) {
    if (code != EN_SETFOCUS && code != EN_KILLFOCUS) return false;
    RebarFieldFocus(field, code == EN_SETFOCUS);
    if (code == EN_KILLFOCUS) {
        ProgramChange quiet;
        SetWindowTextW(field, std::to_wstring(stored).c_str());
    }
    return true;
}

HWND OperationChild(HWND toolbar, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int w, int h) {
    // Labels, check boxes and radio buttons are at least as wide as their text needs.
    if (text && lstrcmpiW(cls, WC_STATICW) == 0) w = FittedWidth(TextControl::Label, text, w);
    const DWORD type = style & BS_TYPEMASK;
    if (text && lstrcmpiW(cls, WC_BUTTONW) == 0 && (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON))
        w = FittedWidth(TextControl::Check, text, w);
    RECT r{};
    SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int rowH = r.bottom > r.top ? r.bottom - r.top : 22;
    HWND hwnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, r.top + (rowH - h) / 2, w, h, toolbar,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    // A drop-down list's height is its list's: centre its closed box instead.
    if (lstrcmpiW(cls, WC_COMBOBOXW) == 0) {
        RECT box{};
        GetWindowRect(hwnd, &box);
        SetWindowPos(hwnd, nullptr, x, r.top + (rowH - (box.bottom - box.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hwnd;
}

int OperationNextX(HWND previous, int x) {
    RECT r{};
    GetWindowRect(previous, &r);
    MapWindowPoints(nullptr, GetParent(previous), reinterpret_cast<POINT*>(&r), 2);
    return std::max(x, static_cast<int>(r.right) + 4);
}

HWND OperationTextField(HWND toolbar, int id, int x, int width, int chars, const wchar_t* text) {
    HWND field = OperationChild(toolbar, WC_EDITW, text, ES_LEFT | ES_AUTOHSCROLL, id, x, width, 18);
    SetWindowLongW(field, GWL_EXSTYLE, GetWindowLongW(field, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(field, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(field, EM_LIMITTEXT, chars, 0);
    return field;
}

HWND OperationNumberField(HWND toolbar, int id, int upDownId, int x, int low, int high, int value, int chars,
                          int width) {
    HWND field = OperationTextField(toolbar, id, x, width, chars);
    HWND ud = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                              WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                              0, 0, 0, 0, toolbar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(upDownId)),
                              App().instance, nullptr);
    SendMessageW(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
    SendMessageW(ud, UDM_SETRANGE32, low, high);
    SendMessageW(ud, UDM_SETPOS32, 0, value);
    return field;
}

HWND OperationSliderControl(HWND toolbar, int id, int x, int w, int low, int high, int page) {
    HWND slider = OperationChild(toolbar, TRACKBAR_CLASSW, nullptr, TBS_HORZ | TBS_NOTICKS | TBS_FIXEDLENGTH, id, x, w, 21);
    SendMessageW(slider, TBM_SETTHUMBLENGTH, 14, 0);
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, low);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, high);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, page);
    SendMessageW(slider, TBM_SETPOS, TRUE, 0);
    return slider;
}

}  // namespace pelio
