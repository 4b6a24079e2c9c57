// What a command run by a script or a task needs: its password from a private file or from
// standard input (never from the command line), whether anyone can answer a box, and standard
// error for what it has to say.
#pragma once

#include <windows.h>

#include <string>

enum class PasswordInput {
    Read,          // password holds the first line
    CannotOpen,    // the file cannot be opened or read; error holds the system's reason
    NotPrivate,    // users other than its owner, Administrators and SYSTEM can read the file
    NotAFile,      // a folder, a device or a pipe, or larger than a password file is
    NotInCodePage, // the line holds a character the ANSI code page has no form for
};

struct PasswordRead {
    PasswordInput result = PasswordInput::CannotOpen;
    std::string password; // in the ANSI code page, as the records keep it
    DWORD error = 0;
};

// The first line of a file that only its owner, Administrators and SYSTEM can read. The rights
// are read through the handle the line is read from, so the file judged is the file read.
PasswordRead ReadPasswordFile(const std::wstring& path);

// True when standard input is a pipe or a file (a script's), not a console or nothing.
bool StandardInputIsRedirected();
// The first line of standard input.
PasswordRead ReadPasswordFromStandardInput();

// True when the process's window station is the visible one, where a person may see a box; a
// task running as SYSTEM has none.
bool SomeoneCanAnswer();

// Writes text and a line end to standard error, as UTF-8, when the process has one.
void WriteStandardError(const std::string& text);
void WriteStandardError(const std::wstring& text);
