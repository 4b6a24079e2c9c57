// /report <file>: every shortcut on the machine and its state, written to a CSV file.
#pragma once

#include "app/CommandResult.h"

#include <string>

// Looks over the machine's shortcuts (changing nothing) and writes the report to reportPath in
// one step: the file is there whole, or as it was. Says in a message box why it could not be.
CommandResult WriteShortcutReport(const std::string& reportPath);
