// The protect command: pick a shortcut, take a password, write the record and the protected
// shortcut, and report the outcome in a message box.
#pragma once

#include "app/CommandResult.h"

#include <string>

// The whole command on a shortcut that has already been chosen.
CommandResult ProtectShortcut(const std::string& pickedPath);

// The file-open dialog first; Cancelled when the user cancels it.
CommandResult PickAndProtectShortcut();
