#include "core/ShortcutState.h"

std::optional<ShortcutState> StateOf(const ShortcutFacts& facts)
{
    const bool programTooLong = facts.programChars > MaxProgramChars;
    if (!facts.startsLauncher) {
        if (programTooLong)
            return std::nullopt;
        return facts.startsProtectedProgram ? ShortcutState::StartsProtectedProgram : ShortcutState::NotProtected;
    }
    if (facts.recordProblem == LaunchProblem::None && !programTooLong)
        return facts.launcherPresent ? ShortcutState::Protected : ShortcutState::LauncherMissing;
    // Missing only when the tool may look for it and nothing is there; a record it may not open
    // (on a server, not named as a record) is as good as damaged to the launcher.
    if (facts.recordProblem == LaunchProblem::CannotOpen && facts.recordLocal && !facts.recordFileExists)
        return ShortcutState::RecordMissing;
    return ShortcutState::RecordDamaged;
}
