// Feedback for work the user waits for: a working title and the wait cursor. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

// Sets `title` ("wait..." unless given) on `window` and the wait cursor while the object
// lives; at its end the cursor comes back, and the old title too when `restoreTitle` (else
// the caller refreshes the title itself). A null window changes nothing.
class BusyIndicator {
public:
    explicit BusyIndicator(HWND window, const wchar_t* title = L"wait...", bool restoreTitle = true);
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

private:
    HWND window_;
    bool restoreTitle_;
    std::wstring oldTitle_;
    HCURSOR oldCursor_ = nullptr;
};

// Asks the window under the pointer, if it is one of this thread's, for its cursor again
// (after a wait cursor ends without the pointer moving).
void RefreshCursor();

}  // namespace pelio
