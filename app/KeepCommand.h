// Kept protection: every shortcut of a program protected now and again at every logon's check,
// without any window when the password comes from a private file or standard input.
#pragma once

#include "app/CommandResult.h"
#include "core/ShortcutReport.h"

#include <windows.h>

#include <string>
#include <vector>

// Where the password of a kept program comes from. Only the dialog shows a window.
struct PasswordSource {
    enum class Kind { File, StandardInput, Dialog };
    Kind kind = Kind::Dialog;
    std::string file;     // File: a file only its owner, Administrators and SYSTEM can read
    HWND owner = nullptr; // Dialog: its owner (null: the main window)

    static PasswordSource FromFile(const std::string& path) { return {Kind::File, path, nullptr}; }
    static PasswordSource FromStandardInput() { return {Kind::StandardInput, std::string(), nullptr}; }
    static PasswordSource FromDialog(HWND owner) { return {Kind::Dialog, std::string(), owner}; }
};

// Keeps the program (a file on a local disk; any path form, in the ANSI code page) protected with the password from
// source (the dialog asks it twice): the program and its password go into the kept store, the
// logon check is registered, and every shortcut in the look's places that starts it and is not
// protected is protected as the batch command protects, a record each. Told by AfxMessageBox (on
// standard error where the program shows no boxes). A program kept with another password is
// refused; with the same one, what is not protected is protected. seen: the rows of a look that
// ran to its end (the shortcuts window's), taken instead of looking again.
CommandResult KeepProgram(const std::string& programPath, const PasswordSource& source,
                          const std::vector<FoundShortcut>* seen = nullptr);

// Stops keeping the program (as given to KeepProgram, or as KeptProgramPaths names it), given its
// kept password from source (the dialog asks it once); protection stays as it is. The last one
// deletes the logon check.
CommandResult UnkeepProgram(const std::string& programPath, const PasswordSource& source);

// Protects with its kept password every shortcut in the look's places that starts a kept program
// directly, and writes back a missing record of a kept program's shortcut with the bytes it had.
// Succeeded when afterwards every shortcut of every kept program is protected; with nothing to do
// it changes nothing on disk. What it changed is told in a box owned by owner.
CommandResult CheckKeptPrograms(HWND owner = nullptr);

// After the protection of shortcuts was removed with typedPassword: for each of their programs
// (ANSI, any path form) that is kept, says that the next check protects them again and offers to
// stop keeping it: with typedPassword when it is the kept one, else the kept password is asked.
void OfferToStopKeeping(const std::vector<std::string>& programs, const std::string& typedPassword, HWND owner);
