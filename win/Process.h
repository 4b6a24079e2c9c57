// Starting another program without waiting for it.
#pragma once

#include <windows.h>

#include <string>

// Starts exactly the program file at programPath (a full path: nothing is searched, and no part
// of commandLine can name another file) with commandLine as its command line (the program name
// first, quoted when it holds blanks), in directory (empty: ours). With passOnStartupInfo the
// program is shown the way we were asked to show ourselves. Returns 0, or the system's error
// code when it cannot be started.
DWORD StartProcess(const std::string& programPath, const std::string& commandLine, const std::string& directory,
                   bool passOnStartupInfo = false);
