// Starting the protected program once its password has been given.
#pragma once

#include "core/ProtectionRecord.h"

#include <windows.h>

#include <string>

// The folder the program starts in: the record's working directory (environment variables
// expanded when it names no folder as it stands), or the target's own folder when it is empty.
std::string StartDirectory(const ProtectionRecord& record, const CommandLineParts& program);

// Starts a program (.exe, .com) with the record's command line exactly as stored, and opens
// anything else, or a program that needs elevation, as the shell does; never waits for it. The
// program's window opens with the show command the launcher was given (the shortcut's).
// Returns 0, or the system's error code when the program cannot be started.
DWORD StartProgram(const ProtectionRecord& record, const CommandLineParts& program);

// The program's file name for the password dialog: its long name when the file exists.
std::string ProgramDisplayName(const std::string& targetPath);
