// The look over the shortcuts in a folder of its own: the state each protected shortcut's record
// gives it, and the records it must not open.
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "win/ShortcutScan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace lktest;

class ShortcutScanTest : public ComTest {};

TEST_F(ShortcutScanTest, TellsEachRecordsStateAndOpensNoFileThatIsNotALocalRecord)
{
    ScratchFolder scratch("lk scan");
    const std::string program = scratch / "Apps\\Long Program.exe";
    const std::string sound = scratch / "Apps\\01012026000001.lki";
    const std::string damaged = scratch / "Apps\\01012026000002.lki";
    // A sound record, but not under a record's name: the look must not read it.
    const std::string notNamedAsRecord = scratch / "Apps\\record.txt";
    ASSERT_TRUE(WriteFileBytes(program, "MZ"));
    ASSERT_TRUE(WriteFileBytes(sound, FormatProtectionRecord({"pw", ShortPath(program) + " -x", ""})));
    ASSERT_TRUE(WriteFileBytes(damaged, "not a record"));
    ASSERT_TRUE(WriteFileBytes(notNamedAsRecord, FormatProtectionRecord({"pw", program, ""})));
    const std::string launcher = SystemFolder() + "\\lkrun3.exe";
    const ShortcutState soundState = FileExists(launcher) ? ShortcutState::Protected : ShortcutState::LauncherMissing;

    struct Case {
        std::string link, target, arguments, program;
        ShortcutState state;
    };
    const std::string desktop = scratch.Folder("Desktop");
    const Case cases[] = {
        {"Sound.lnk", launcher, Scramble(sound), program, soundState},
        {"Gone.lnk", launcher, Scramble(scratch / "Apps\\01012026000009.lki"), "", ShortcutState::RecordMissing},
        {"Damaged.lnk", launcher, Scramble(damaged), "", ShortcutState::RecordDamaged},
        // Were it read, it would be missing (no such server) or sound (the .txt).
        {"Server.lnk", launcher, Scramble("\\\\lk-no-such-server\\share\\01012026000001.lki"), "",
         ShortcutState::RecordDamaged},
        {"Not named as a record.lnk", launcher, Scramble(notNamedAsRecord), "", ShortcutState::RecordDamaged},
        {"No argument.lnk", launcher, "", "", ShortcutState::RecordDamaged},
        // Its target in the short form, compared in the long form.
        {"Plain way in.lnk", ShortPath(program), "", program, ShortcutState::StartsProtectedProgram},
    };
    for (const Case& c : cases) {
        LinkSpec wanted;
        wanted.target = c.target;
        wanted.arguments = c.arguments;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(desktop + "\\" + c.link, wanted)) << c.link;
    }

    const ShortcutScan scan = ScanShortcuts({Widen(desktop)});
    EXPECT_EQ(scan.unreadable, 0);
    std::map<std::string, FoundShortcut> found;
    for (const FoundShortcut& shortcut : scan.found)
        found[shortcut.path] = shortcut;
    ASSERT_EQ(found.size(), std::size(cases));
    for (const Case& c : cases) {
        const FoundShortcut& shortcut = found[desktop + "\\" + c.link];
        EXPECT_EQ(ShortcutStateText(shortcut.state), std::string(ShortcutStateText(c.state))) << c.link;
        EXPECT_EQ(shortcut.program, c.program) << c.link;
    }
}
