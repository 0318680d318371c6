// The start-up command line and the hand-over of a second start. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pelio {

// What a switch (or a plain file) asks for, at start-up or in a hand-over.
enum class StartAction {
    Normal,      // no switch, or an unknown switch at start-up
    Open,        // a plain file argument handed over
    Viewer,      // /v
    Edit,        // /s
    FullScreen,  // /f
    Slideshow,   // /a
    Options,     // /o
    Ignore,      // an unknown switch handed over
};

// The hand-over message's payload: dwData and the file as given (before its long form).
struct Handover {
    uint32_t data = 0;  // 0, or the switch letter's code
    bool hasFile = false;
    std::wstring file;
};

struct StartRequest {
    StartAction action = StartAction::Normal;
    std::wstring file;  // empty: no file to open
};

// The action for the low 16 bits of a hand-over's dwData.
StartAction HandoverAction(uint32_t data);

// Only argv[1] and argv[2] count; a leading slash makes argv[1] a switch whose first letter
// decides, and argv[2] its file. An unknown switch starts normally and drops the file; /o
// ignores any file.
StartRequest ParseStartCommandLine(const std::vector<std::wstring>& argv);

// The hand-over a second start sends (only meaningful with at least one argument).
Handover MakeHandover(const std::vector<std::wstring>& argv);

// 0 unsupported, 1 version 5.1, 2 version 6.x, 3 version 7 or above.
int OsGeneration(unsigned major, unsigned minor);

}  // namespace pelio
