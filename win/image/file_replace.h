// Replacing a file by a finished one so that a failure never leaves it damaged. Win32.
#pragma once
#include <string>

namespace pelio {

// A new empty file with a unique name "tmp….tmp" in the system temporary folder; empty when
// none can be made.
std::wstring NewTempFile();

// Puts a copy of `source` at `destination`. The copy is written in full to a new file in the
// destination's folder first (so the last step is a rename within one volume); only then is
// an existing destination sent to the recycle bin (when `recycleOld`, silently) and the new
// file renamed into its place. A read-only destination is refused. On false the destination
// is as it was and no new file remains; the caller reports the failure.
bool ReplaceFileFrom(const std::wstring& source, const std::wstring& destination, bool recycleOld);

}  // namespace pelio
