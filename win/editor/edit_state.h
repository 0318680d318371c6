// Process-wide state of the Edit window. Win32, main thread only.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/view/pane_layout.h"
#include "core/view/zoom.h"
#include "win/base/display_copy.h"

namespace pelio {

class RunningOperation;

// Control identifiers of the Edit window.
inline constexpr int kImagePaneId = 1000;
inline constexpr int kPreviewPaneId = 1001;
inline constexpr int kRebarId = 1020;
inline constexpr int kCommandBarId = 1021;
inline constexpr int kViewBarId = 1022;
inline constexpr int kSavePanelBandId = 1023;
inline constexpr int kSavePanelId = 1024;
inline constexpr int kZoomSliderId = 1040;
inline constexpr int kZoomFieldId = 1041;
inline constexpr int kZoomUpDownId = 1042;
inline constexpr int kZoomPlaceholderId = 9920;

// The right-button drag of the panes.
enum class PaneDrag : int { None = 0, Pressed = 1, Scrolling = 2, NothingToScroll = 3 };

struct EditWindowState {
    HWND window = nullptr;
    HWND imagePane = nullptr, previewPane = nullptr;
    HDC imageDc = nullptr, previewDc = nullptr;  // private contexts of the panes
    HDC previewMemoryDc = nullptr;               // holds the second picture
    DisplayCopy imageCopy, previewCopy;          // the panes' pictures at their shrunk size
    // Changes whenever the picture in previewMemoryDc does (a worker's preview included).
    std::atomic<uint64_t> previewGeneration{0};

    HWND rebar = nullptr, commandBar = nullptr, viewBar = nullptr;
    HWND slider = nullptr, zoomField = nullptr, zoomUpDown = nullptr;

    PaneMode paneMode = PaneMode::ImageOnly;
    ViewState view;            // client size = the pane less the scroll bars shown
    int paneW = 0, paneH = 0;  // the pane less its borders
    bool hBar = false, vBar = false;

    PaneDrag drag = PaneDrag::None;
    POINT dragStart{}, dragLast{};
    bool areaZoom = false, areaDrawn = false;
    POINT areaAnchor{}, areaCurrent{};
    bool chord = false;  // one button pressed while the other was held

    bool editHasFocus = false;  // a text field or list of the rebar has the focus
    int droppedButton = -1;     // toolbar drop-down whose menu is open
    bool settingZoomField = false;  // the program writes the zoom field
    bool altMenuOpen = false;
    HHOOK keyboardHook = nullptr, filterHook = nullptr;

    RunningOperation* operation = nullptr;  // the running image operation, null for none
    // An operation holds the view still: the view toolbar, the zoom controls and the preview
    // pane's scroll arrows are off.
    bool viewLocked = false;
};

EditWindowState& EditState();

}  // namespace pelio
