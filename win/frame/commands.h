// The commands' routes: one handler table for both windows, behind the command rules. Win32.
#pragma once

#include "core/commands/command_table.h"

namespace pelio {

// A command from a menu, key, toolbar button or mouse action: to the Edit window's handlers in
// the Edit mode, else to the Viewer's.
void RouteCommand(int id);
void DispatchViewerCommand(int id);
void DispatchEditCommand(int id);
// What the command rules look at now.
CommandContext CurrentCommandContext();

}  // namespace pelio
