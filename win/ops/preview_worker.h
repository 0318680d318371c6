// The thread that computes an operation's previews. Win32.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

namespace pelio {

// A thread with a message-only window: each request runs `compute` there, a burst of
// requests collapsing into one; `shown` follows a computation that was not cancelled. The
// cancel flag is the one the kernels test between rows, so a stop takes effect within a row.
class PreviewWorker {
public:
    struct Jobs {
        std::function<void(LPARAM)> compute;
        std::function<void()> shown;
    };

    PreviewWorker() = default;
    PreviewWorker(const PreviewWorker&) = delete;
    PreviewWorker& operator=(const PreviewWorker&) = delete;
    ~PreviewWorker() { Stop(false, 0); }

    // Starts the thread and waits until it takes requests; false when it could not.
    bool Start(Jobs jobs, std::atomic<bool>* cancel);
    bool Running() const { return thread_ != nullptr; }
    void Request(LPARAM lp);
    // Ends the thread. An abort cancels the running computation at once; otherwise the
    // requests made so far are computed if that takes less than `waitMs`, else cancelled,
    // and Stop returns false (the picture was left incomplete).
    bool Stop(bool finishPicture, DWORD waitMs);

private:
    static DWORD WINAPI ThreadMain(void* param);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    Jobs jobs_;
    std::atomic<bool>* cancel_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
    HANDLE ready_ = nullptr;
};

}  // namespace pelio
