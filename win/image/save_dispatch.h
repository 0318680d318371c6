// The save dispatch: every save encodes into a temporary file, then copies it over the
// destination. Win32.
#pragma once
#include <windows.h>

#include <string>

#include "core/image/codec.h"

namespace pelio {

// What a save depended on, to tell whether a kept temporary file still matches.
struct SaveSnapshot {
    ImageSaveSettings save;
    ImageReadSettings read;
    int pendingTransform = 0;
    bool transparent = false;
    bool writeComment = false;
    std::string comment;
    friend bool operator==(const SaveSnapshot&, const SaveSnapshot&) = default;
};

struct SaveSession {
    std::wstring tempFile;  // the last successful temporary save, if kept
    SaveSnapshot snapshot;
    bool writeComment = false;
    std::wstring commentText;  // as typed, at most 10000 characters
    std::string comment;       // the same in ANSI, at most 10000 bytes
    std::wstring saveFolder;  // where the save dialog starts; the last folder saved to
};

SaveSession& Saves();

// The snapshot the current settings would give.
SaveSnapshot CurrentSnapshot();

// Encodes the current image with the current save settings into a new temporary file
// (prefix "tmp" in the system temporary folder). Reports its own failures.
bool SaveToTempFile();

// Puts a copy of the temporary file at `destination`: written in full beside it first, then
// an existing destination goes to the recycle bin and the copy takes its place; a read-only
// destination is refused. On failure (with the message) the destination is unchanged.
// Clears the modified flag on success.
bool CopyTempTo(const std::wstring& destination);

// Deletes the kept temporary file, if any; false (with the message) when it cannot be deleted.
bool DiscardTempFile();

// The message of a codec error, caption "Error"; nothing for codes without one.
void ReportCodecError(HWND owner, int code);

}  // namespace pelio
