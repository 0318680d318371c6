// Command-line switches and the hand-over payload. Portable.
#include "core/commands/command_line.h"

namespace pelio {

StartAction HandoverAction(uint32_t data) {
    switch (data & 0xFFFF) {
    case 0: return StartAction::Open;
    case L'a': return StartAction::Slideshow;
    case L'f': return StartAction::FullScreen;
    case L's': return StartAction::Edit;
    case L'v': return StartAction::Viewer;
    case L'o': return StartAction::Options;
    default: return StartAction::Ignore;
    }
}

StartRequest ParseStartCommandLine(const std::vector<std::wstring>& argv) {
    StartRequest req;
    if (argv.size() < 2) return req;
    const std::wstring& first = argv[1];
    if (first.empty() || first[0] != L'/') {
        req.action = StartAction::Open;
        req.file = first;
        return req;
    }
    uint32_t letter = first.size() > 1 ? static_cast<uint32_t>(first[1]) : 0xFFFF;
    StartAction action = HandoverAction(letter);
    if (action == StartAction::Open || action == StartAction::Ignore) return req;
    req.action = action;
    if (action != StartAction::Options && argv.size() > 2) req.file = argv[2];
    return req;
}

Handover MakeHandover(const std::vector<std::wstring>& argv) {
    Handover h;
    if (argv.size() < 2) return h;
    const std::wstring& first = argv[1];
    if (!first.empty() && first[0] == L'/') {
        h.data = first.size() > 1 ? static_cast<uint16_t>(first[1]) : 0;
        if (argv.size() > 2) {
            h.hasFile = true;
            h.file = argv[2];
        }
    } else {
        h.hasFile = true;
        h.file = first;
    }
    return h;
}

int OsGeneration(unsigned major, unsigned minor) {
    if (major >= 7) return 3;
    if (major == 6) return 2;
    if (major == 5 && minor == 1) return 1;
    return 0;
}

}  // namespace pelio
