// Starting another program without waiting for it.
#pragma once

#include <windows.h>

#include <string>

// Starts commandLine (the program name first, quoted when it holds blanks) in directory (empty:
// ours). With passOnStartupInfo the program is shown the way we were asked to show ourselves.
// Returns 0, or the system's error code when it cannot be started.
DWORD StartProcess(const std::string& commandLine, const std::string& directory, bool passOnStartupInfo = false);
