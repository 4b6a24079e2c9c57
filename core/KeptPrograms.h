// The programs Latchkey keeps protected, and the password of each: kept in Latchkey's own
// folder, where only Administrators and SYSTEM can read it, so that a check at logon can protect
// shortcuts that an update put back.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct KeptProgram {
    std::string programPath; // long form, UTF-8
    std::string password;    // in the ANSI code page, as records keep it
};

// The file's bytes: a first line naming the format, then two lines a program: its path, then its
// password scrambled as records scramble theirs. Lines end in CR LF.
std::string FormatKeptPrograms(const std::vector<KeptProgram>& programs);

// The programs in a file's bytes; nullopt when they are not such a file (another first line, a
// program without its password line, a password that is no line).
std::optional<std::vector<KeptProgram>> ParseKeptPrograms(const std::string& bytes);
