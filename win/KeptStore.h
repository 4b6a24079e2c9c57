// The programs kept protected and their passwords, in %ProgramData%\Latchkey\Kept, which only
// Administrators and SYSTEM can read or change.
#pragma once

#include "core/KeptPrograms.h"

#include <optional>
#include <string>
#include <vector>

// The kept programs; empty when none is kept; nullopt when the store cannot be made private or
// read, or its file is damaged.
std::optional<std::vector<KeptProgram>> ReadKeptPrograms();

// Writes the programs whole: a new file, then moved over the old one, which stays as it was
// unless the new one is on disk whole. False when that fails.
bool WriteKeptPrograms(const std::vector<KeptProgram>& programs);

// The paths of the kept programs (long form, UTF-8); empty when none, or the store cannot be read.
std::vector<std::string> KeptProgramPaths();
