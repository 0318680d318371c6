// What the windows ask of the frame above them. The frame fills the link in at start-up, so
// that no window includes the frame; an entry left unfilled does nothing. Win32.
#pragma once
#include <windows.h>

#include <string>

#include "core/commands/command_table.h"

namespace pelio {

// What happened to the current image, for the windows that show it.
enum class ImageUpdate {
    Loaded,    // a new image (or none where a first load failed): fitted and shown
    Kept,      // a load failed and the previous image stays: titles only
    Edited,    // the picture changed in place, same size
    Resized,   // the picture changed and its size with it
    Released,  // no image any more
};

struct FrameLink {
    // A command from a menu, key, toolbar button or mouse action, routed by the display mode.
    void (*command)(int id) = [](int) {};
    // What the command rules look at: the image, the mode, a running operation, the clipboard.
    CommandContext (*commandContext)() = [] { return CommandContext{}; };
    // The same command for the Viewer's dispatcher whatever the mode (its own mouse actions).
    void (*viewerCommand)(int id) = [](int) {};
    // Fans an image update out to the windows of the display mode.
    void (*imageUpdated)(ImageUpdate update) = [](ImageUpdate) {};
    // The save-as dialog; true when a file was written.
    bool (*saveAs)() = [] { return false; };
    // The close sequence; false when the close is refused.
    bool (*closeProgram)() = [] { return true; };
    // A second start's command line.
    void (*handover)(const COPYDATASTRUCT* data) = [](const COPYDATASTRUCT*) {};
    // Opens a file named from outside (dropped on a window).
    bool (*openFile)(const std::wstring& path) = [](const std::wstring&) { return false; };
    // Switches the display mode to the Edit window / back to the Viewer window.
    void (*showEditWindow)() = [] {};
    void (*showViewer)() = [] {};
};

FrameLink& Link();

inline void RunCommand(int id) { Link().command(id); }
inline void ImageUpdated(ImageUpdate update) { Link().imageUpdated(update); }
// A load's outcome: the new image when it succeeded, the kept one otherwise.
inline void ImageLoaded(bool ok) { ImageUpdated(ok ? ImageUpdate::Loaded : ImageUpdate::Kept); }

}  // namespace pelio
