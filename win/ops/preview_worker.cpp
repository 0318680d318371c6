// Preview worker thread. Win32.
#include "win/ops/preview_worker.h"

#include <utility>

namespace pelio {

namespace {

constexpr wchar_t kWorkerClass[] = L"Pelio_iudt_class";
constexpr WPARAM kRecompute = 100, kStop = 101;

// Waits up to `ms` for a thread to end while answering the messages other threads send to
// this one (the worker paints the preview pane through them); true when it ended.
bool WaitAnswering(HANDLE thread, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = ms == INFINITE ? INFINITE : (elapsed >= ms ? 0 : ms - elapsed);
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

LRESULT CALLBACK PreviewWorker::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<PreviewWorker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_APP: {
        if (wp == kStop) {
            DestroyWindow(hwnd);
            return 0;
        }
        if (wp == kRecompute && self && !self->cancel_->load()) {
            self->jobs_.compute(lp);
            // A cancelled picture is incomplete, and the main thread is waiting for the stop.
            if (self->cancel_->load()) return 0;
            if (self->jobs_.shown) self->jobs_.shown();
        }
        // A burst of requests collapses into one recomputation (and one stop after it).
        MSG m;
        bool recompute = false, stop = false;
        LPARAM last = 0;
        while (PeekMessageW(&m, hwnd, WM_APP, WM_APP, PM_REMOVE)) {
            if (m.wParam == kRecompute) recompute = true, last = m.lParam;
            else stop = true;
        }
        if (recompute) PostMessageW(hwnd, WM_APP, kRecompute, last);
        if (stop) PostMessageW(hwnd, WM_APP, kStop, 0);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

DWORD WINAPI PreviewWorker::ThreadMain(void* param) {
    auto* self = static_cast<PreviewWorker*>(param);
    self->window_ = CreateWindowExW(0, kWorkerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), self);
    SetEvent(self->ready_);
    if (!self->window_) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

bool PreviewWorker::Start(Jobs jobs, std::atomic<bool>* cancel) {
    if (thread_) return false;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWorkerClass;
    RegisterClassExW(&wc);  // fails harmlessly when registered already
    jobs_ = std::move(jobs);
    cancel_ = cancel;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready_) return false;
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (thread_) WaitForSingleObject(ready_, INFINITE);
    CloseHandle(ready_);
    ready_ = nullptr;
    if (thread_ && !window_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return thread_ != nullptr;
}

void PreviewWorker::Request(LPARAM lp) {
    if (window_) PostMessageW(window_, WM_APP, kRecompute, lp);
}

bool PreviewWorker::Stop(bool finishPicture, DWORD waitMs) {
    if (!thread_) return true;
    if (!finishPicture) *cancel_ = true;
    // Posted behind the requests still queued, so that a confirm computes the last of them.
    PostMessageW(window_, WM_APP, kStop, 0);
    bool complete = true;
    if (!WaitAnswering(thread_, finishPicture ? waitMs : INFINITE)) {
        *cancel_ = true;
        complete = false;
        WaitAnswering(thread_, INFINITE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    window_ = nullptr;
    return complete || !finishPicture;
}

}  // namespace pelio
