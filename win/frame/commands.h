// Routing of commands to the dispatcher of the display mode, and the common executor. Win32.
#pragma once

namespace pelio {

// A command that reached the Viewer window: to the Edit dispatcher in the Edit mode, else to
// the Viewer dispatcher.
void RouteCommand(int id);
void DispatchViewerCommand(int id);
void DispatchEditCommand(int id);
void ExecuteCommonCommand(int id);

}  // namespace pelio
