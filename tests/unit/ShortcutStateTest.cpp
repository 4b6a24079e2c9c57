#include "core/ShortcutState.h"

#include <gtest/gtest.h>

namespace {

ShortcutFacts Protected(LaunchProblem problem, bool local, bool exists, bool launcher, std::size_t chars = 20)
{
    ShortcutFacts facts;
    facts.startsLauncher = true;
    facts.recordProblem = problem;
    facts.recordLocal = local;
    facts.recordFileExists = exists;
    facts.launcherPresent = launcher;
    facts.programChars = chars;
    return facts;
}

ShortcutFacts Plain(bool startsProtected, std::size_t chars = 20)
{
    ShortcutFacts facts;
    facts.startsProtectedProgram = startsProtected;
    facts.programChars = chars;
    return facts;
}

} // namespace

TEST(ShortcutState, FactsGiveTheState)
{
    using P = LaunchProblem;
    using S = ShortcutState;
    const struct {
        const char* what;
        ShortcutFacts facts;
        std::optional<ShortcutState> state;
    } cases[] = {
        {"sound record, launcher there", Protected(P::None, true, true, true), S::Protected},
        {"sound record, no launcher", Protected(P::None, true, true, false), S::LauncherMissing},
        {"record gone", Protected(P::CannotOpen, true, false, true), S::RecordMissing},
        {"record there but not to be opened", Protected(P::CannotOpen, true, true, true), S::RecordDamaged},
        {"record on a server, never looked for", Protected(P::CannotOpen, false, false, true), S::RecordDamaged},
        {"record damaged", Protected(P::Damaged, true, true, true), S::RecordDamaged},
        {"no argument", Protected(P::NoArgument, false, false, true), S::RecordDamaged},
        {"record's program of Windows' longest", Protected(P::None, true, true, true, MaxProgramChars), S::Protected},
        {"record's program longer", Protected(P::None, true, true, true, MaxProgramChars + 1), S::RecordDamaged},
        {"plain", Plain(false), S::NotProtected},
        {"plain way into a protected program", Plain(true), S::StartsProtectedProgram},
        {"plain, program of Windows' longest", Plain(false, MaxProgramChars), S::NotProtected},
        {"plain, program longer: damaged", Plain(true, MaxProgramChars + 1), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StateOf(c.facts), c.state) << c.what;
}
