// Read-ahead: the neighbours of the shown file decoded on one background thread, so that a
// step to them installs a picture at once. Win32.
#pragma once
#include <string>
#include <vector>

#include "core/image/codec.h"
#include "core/image/gif_codec.h"

namespace pelio {

// A picture decoded ahead, as a normal load would have decoded it from the same file.
struct PreparedPicture {
    DecodeResult result;     // its image is a bitmap section owned by the taker
    GifAnimation animation;  // the later frames of a looping GIF, bitmap sections too
};

// Prepares `paths` (at most two, the most wanted first) with `options`; pictures prepared
// for other paths are dropped, a decode of an unwanted path is discarded when it ends.
void ReadAhead(const std::vector<std::wstring>& paths, const LoadOptions& options);

// The prepared picture of `path` when it was decoded with `options` from the file as it is
// now (same size and last-write time); waits for a decode of that path that is under way.
// False when there is none: the caller loads as usual.
bool TakePrepared(const std::wstring& path, const LoadOptions& options, PreparedPicture& out);

// Waits until every path asked for is prepared or has failed.
void WaitForReadAhead();

// Ends the thread and drops every prepared picture (at exit).
void StopReadAhead();

}  // namespace pelio
