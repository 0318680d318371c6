// Answers the next message box of this process from another thread, for the Windows tests. Win32.
#pragma once
#include <windows.h>

#include <string>
#include <thread>

#include "tests/e2e/e2e_support.h"

namespace pelio::test {

// Presses OK on the next message box captioned "Error" this process shows; returns its text.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        thread_ = std::thread([this] {
            e2e::DialogInfo info;
            if (e2e::WaitForDialog(GetCurrentProcessId(), L"Error", 10000, info)) {
                text_ = info.text;
                e2e::PressButton(info.hwnd, IDOK);
            }
        });
    }
    ~MessageBoxAnswerer() { Join(); }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    const std::wstring& Text() {
        Join();
        return text_;
    }

private:
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    std::thread thread_;
    std::wstring text_;
};

}  // namespace pelio::test
