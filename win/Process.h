// Starting another program without waiting for it.
#pragma once

#include <windows.h>

#include <string>

// Starts exactly the program file at programPath (a full path: nothing is searched, and no part
// of commandLine can name another file) with commandLine as its command line (the program name
// first, quoted when it holds blanks), in directory (empty: ours). With passOnShowCommand the
// program's window opens the way we were asked to show ours (normal, minimised, maximised).
// Returns 0, or the system's error code when it cannot be started.
DWORD StartProcess(const std::string& programPath, const std::string& commandLine, const std::string& directory,
                   bool passOnShowCommand = false);

// The show command we were started with, SW_SHOWNORMAL when none was given.
int OwnShowCommand();
