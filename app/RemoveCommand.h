// The remove command: pick a protected shortcut, check its own password, write the shortcut
// back from its record, and report the outcome in a message box.
#pragma once

#include "app/CommandResult.h"

#include <string>

// The whole command on a shortcut that has already been chosen.
CommandResult RemoveProtection(const std::string& pickedPath);

// The file-open dialog first; Cancelled when the user cancels it.
CommandResult PickAndRemoveProtection();
