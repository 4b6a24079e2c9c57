// The programs Latchkey keeps protected, and the password of each: kept in Latchkey's own
// folder, where only Administrators and SYSTEM can read it, so that a check at logon can protect
// shortcuts that an update put back.
#pragma once

#include "core/Secret.h"
#include "core/ShortcutReport.h"

#include <optional>
#include <string>
#include <vector>

struct KeptProgram {
    std::string programPath; // long form, UTF-8
    std::string password;    // in the ANSI code page, as records keep it

    ~KeptProgram() { ClearSecret(password); }
};

// The file's bytes: a first line naming the format, then two lines a program: its path, then its
// password scrambled as records scramble theirs. Lines end in CR LF. Made in one allocation; the
// caller clears it.
std::string FormatKeptPrograms(const std::vector<KeptProgram>& programs);

// The programs in a file's bytes; nullopt when they are not such a file (another first line, a
// program without its password line, a password that is no line).
std::optional<std::vector<KeptProgram>> ParseKeptPrograms(const std::string& bytes);

// True when both paths name one program as Windows compares names: without regard to case (the
// letters of Latin, Greek and Cyrillic scripts). Paths are UTF-8, in their long form.
bool SameProgram(const std::string& a, const std::string& b);

// True for a row of a look that a check would change: not protected and starting a kept program
// directly, or protected with its record missing while the copy kept of it names a kept program.
bool CheckWouldChange(const FoundShortcut& row, const std::vector<std::string>& keptPrograms);
