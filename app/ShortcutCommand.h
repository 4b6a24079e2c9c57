// One way into the two shortcut commands for a shortcut that was not picked in the file dialog:
// named on the command line, or dropped on the main window.
#pragma once

#include "app/CommandResult.h"
#include "core/ToolArguments.h"

#include <string>

// Runs Protect, Remove or Decide (remove for a shortcut that starts the launcher, protect for any
// other) on linkPath exactly as if it had been picked.
CommandResult RunShortcutCommand(ToolAction action, const std::wstring& linkPath);
