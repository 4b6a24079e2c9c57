// The state of one shortcut in a look over the machine's shortcuts, from what the look learnt of
// it: the rules alone, without the file system.
#pragma once

#include "core/LaunchRequest.h"

#include <cstddef>
#include <optional>

// The longest path Windows starts a program by; a longer program text is no program at all.
inline constexpr std::size_t MaxProgramChars = 32767;

// What a look over the machine's shortcuts tells of each one.
enum class ShortcutState {
    Protected,
    RecordMissing,          // protected, but its record is gone: it starts nothing
    RecordDamaged,          // protected, but its record cannot be read back
    LauncherMissing,        // protected, but no launcher in the system folder
    StartsProtectedProgram, // not protected, and it starts a program that a protected one guards
    NotProtected,
};

struct ShortcutFacts {
    bool startsLauncher = false;  // its target is the launcher in the system folder: it is protected
    std::size_t programChars = 0; // the program it starts (a protected one's: its record's), in UTF-16 units
    // A protected shortcut's record and launcher.
    LaunchProblem recordProblem = LaunchProblem::None; // how its record read
    bool recordLocal = false;       // its path names a record the tool opens: a .lki file on a local disk
    bool recordFileExists = false;  // something is at that path (asked when the record could not be opened)
    bool launcherPresent = false;
    // Not protected: its program is one that a protected shortcut starts.
    bool startsProtectedProgram = false;
};

// The state the facts give; nullopt when the shortcut itself is damaged (a program text longer
// than Windows takes), so that it is counted among what could not be read.
std::optional<ShortcutState> StateOf(const ShortcutFacts& facts);
