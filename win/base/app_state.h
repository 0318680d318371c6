// Process-wide state of the application frame. Win32.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "core/commands/accelerators.h"
#include "core/settings/settings.h"

namespace pelio {

enum DisplayMode : int { kModeViewer = 0, kModeEdit = 1, kModeFullScreen = 2 };

// The application's cursor resources, loaded once at start-up (null where a resource is absent).
struct CursorSet {
    HCURSOR arrow = nullptr, wait = nullptr, no = nullptr;
    std::array<HCURSOR, 15> pan{};   // 110..124
    std::array<HCURSOR, 4> tools{};  // 130..133
    HCURSOR windowMove = nullptr;    // 140
    HCURSOR toolExtra = nullptr;     // 141
    HCURSOR levelsMarker = nullptr;  // 142
};

struct AppState {
    HINSTANCE instance = nullptr;
    HANDLE heap = nullptr;  // private heap the codecs draw on
    int osGeneration = 0;
    DWORD_PTR helpCookie = 0;
    HFONT uiFont = nullptr;
    CursorSet cursors;

    int displayMode = kModeViewer;
    int modeBeforeFullScreen = kModeViewer;
    HWND dialogOwner = nullptr;  // owns message boxes and modal dialogs
    bool acceleratorsSuspended = false;
    HBRUSH lightBrush = nullptr;
    bool cursorHidden = false;  // hidden by full screen or the slideshow
    bool mouseOperation = false;  // a drag of the Viewer window is in progress
    bool transparentSwitch = false;  // save with a transparent colour; off for each new image

    std::wstring iniPath;
    Settings settings;
    AccelTable accelTable = DefaultAccelerators();
    HACCEL accel = nullptr;

    HWND viewer = nullptr;
    HWND edit = nullptr;
    HWND fileList = nullptr;  // the file list window of the active mode, when it exists
};

AppState& App();

}  // namespace pelio
