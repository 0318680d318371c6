// The image operation running in the Edit window, as the window sees it. The operation frame
// registers one in the window's state while an operation runs. Win32.
#pragma once
#include <windows.h>

#include <mutex>

#include "core/image/image.h"

namespace pelio {

class RunningOperation {
public:
    virtual ~RunningOperation() = default;
    // The preview pane paints the operation's picture under this lock (the worker writes it).
    virtual std::mutex& PictureLock() = 0;
    virtual const Image& Picture() = 0;
    // Notifications from the operation toolbar's children; false when they are not its own.
    virtual bool Control(int id, int code, HWND control) = 0;
    virtual bool Slider(HWND slider, int code) = 0;
    virtual bool UpDown(HWND upDown, int code) = 0;
    // Whether a preview has been pending long enough to show the wait feedback.
    virtual bool PreviewBusy() = 0;
    // Mouse messages on the preview pane (client point) and its cursor: true when the
    // operation took them.
    virtual bool PaneMouse(UINT msg, WPARAM keys, POINT client) = 0;
    virtual bool PaneCursor(POINT client) = 0;
    // Drawn on the preview pane over its picture.
    virtual void PaneOverlay(HDC dc) = 0;
    // Ends the operation without applying it.
    virtual void Abort() = 0;
};

}  // namespace pelio
