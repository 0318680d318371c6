// Driving Pelio.exe from outside as a user would: processes, windows, dialogs. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio::e2e {

// A started process; ended by force if it still runs when this goes.
class Process {
public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : handle_(process), pid_(pid) {}
    Process(Process&& o) noexcept : handle_(o.handle_), pid_(o.pid_) { o.handle_ = nullptr; }
    Process& operator=(Process&& o) noexcept;
    ~Process();

    bool Started() const { return handle_ != nullptr; }
    DWORD Id() const { return pid_; }
    bool Running() const;
    // The exit code, or STILL_ACTIVE when the process has not ended within `timeoutMs`.
    DWORD WaitExit(int timeoutMs);

private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
};

// Starts `exe` with `args` (already quoted as needed), in the exe's folder.
Process Launch(const std::wstring& exe, const std::wstring& args);

// A top-level window of `cls` (any class when null) whose process is `pid` (any when 0);
// visible ones first.
HWND FindTopWindow(const wchar_t* cls, DWORD pid);
HWND WaitForWindow(const wchar_t* cls, DWORD pid, int timeoutMs);
std::wstring WindowText(HWND hwnd);
// A control's text in another process (GetWindowText would only see its creation text).
std::wstring ControlText(HWND control);
// The text of a report list view's cell in another process (read through memory there).
std::wstring ListViewText(HWND list, int item, int subItem);
// The Unicode text on the clipboard; empty when there is none.
std::wstring ClipboardText();

struct DialogInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;  // the message of a message box; empty for other dialogs
};
// A dialog (class "#32770") of `pid`, with `caption` when given.
bool WaitForDialog(DWORD pid, const wchar_t* caption, int timeoutMs, DialogInfo& out);
// Clicks a dialog button by its identifier.
void PressButton(HWND dialog, int id);

// Types `path` into the name field of an open or save dialog of `pid` and presses OK; false
// when no such dialog came within `timeoutMs`. `dialog` is the dialog answered.
bool AnswerFileDialog(DWORD pid, const std::wstring& path, int timeoutMs, HWND& dialog);

// Posts a left-button drag from `from` to `to` (client coordinates) in four moves. Posted, not
// sent: wait for its outcome before reading what it changed.
void PostDrag(HWND window, POINT from, POINT to);

// Sends the hand-over message as a second start would; returns the window's answer.
LRESULT SendCopyData(HWND target, ULONG_PTR data, const std::wstring* file);

// Polls `pred` every 20 ms until it holds or `timeoutMs` has passed; its last answer.
template <class Pred>
bool Eventually(Pred pred, int timeoutMs = 15000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (pred()) return true;
        Sleep(20);
    }
    return pred();
}

// A Unix path of the build tree as Wine sees it (drive Z:).
std::wstring WindowsPathOf(const char* unixPath);

}  // namespace pelio::e2e
