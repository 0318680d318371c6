// Single instance: handing a second start's command line to the running instance. Win32.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace pelio {

// With a Viewer window of a running instance: brings it (or its Edit window when the Viewer
// is hidden) to the front, sends it the command line when there is one, and returns true.
// False when no instance runs.
bool HandOverToRunningInstance(const std::vector<std::wstring>& argv);

// The running instance's side: acts on a hand-over unless a modal dialog is open.
void ReceiveHandover(const COPYDATASTRUCT* data);

}  // namespace pelio
