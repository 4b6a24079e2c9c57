// The look over the shortcuts in a folder of its own: the state each protected shortcut's record
// gives it, and the records it must not open.
#include "core/Messages.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "win/IconCopy.h"
#include "win/ProtectFiles.h"
#include "win/ShortcutLook.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace lktest;

class ShortcutLookTest : public ComTest {};

namespace {

// A share of a server, \\lk-server\share, as Wine serves it: a folder under the prefix's
// dosdevices\unc, made from the Linux side and taken away again. Whatever reaches into it is
// seen by what it finds there (a short name made long, a file read).
class ServerShare {
public:
    ServerShare()
    {
        const std::string drive = UnixPath("C:\\");
        EXPECT_FALSE(drive.empty());
        // The prefix's path holds no blank.
        m_dosdevices = "d=$(cd " + ShellQuote(drive) + "/.. && pwd); [ -d $d/dosdevices ] && d=$d/dosdevices; ";
        EXPECT_EQ(RunLinux(m_dosdevices + "mkdir -p $d/unc/lk-server/share"), 0);
    }
    ~ServerShare() { RunLinux(m_dosdevices + "rm -rf $d/unc/lk-server"); }
    ServerShare(const ServerShare&) = delete;
    ServerShare& operator=(const ServerShare&) = delete;

    static std::string Path(const std::string& relative) { return "\\\\lk-server\\share\\" + relative; }

private:
    std::string m_dosdevices;
};

std::map<std::string, FoundShortcut> ByPath(const ShortcutLook& look)
{
    std::map<std::string, FoundShortcut> found;
    for (const FoundShortcut& shortcut : look.found)
        found[shortcut.path] = shortcut;
    return found;
}

} // namespace

TEST_F(ShortcutLookTest, TellsEachRecordsStateAndOpensNoFileThatIsNotALocalRecord)
{
    ScratchFolder scratch("lk look");
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

    const ShortcutLook look = LookForShortcuts({Widen(desktop)});
    EXPECT_EQ(look.unreadable, 0);
    std::map<std::string, FoundShortcut> found;
    for (const FoundShortcut& shortcut : look.found)
        found[shortcut.path] = shortcut;
    ASSERT_EQ(found.size(), std::size(cases));
    for (const Case& c : cases) {
        const FoundShortcut& shortcut = found[desktop + "\\" + c.link];
        EXPECT_EQ(ShortcutStateText(shortcut.state), std::string(ShortcutStateText(c.state))) << c.link;
        EXPECT_EQ(shortcut.program, c.program) << c.link;
    }
}

// A program, record target or icon on a server is never looked at: the server would be sent the
// administrator's credentials. (Wine makes no short names on a share, so that a look that reached
// it would show the same program text: the icon shows that nothing there is read.)
TEST_F(ShortcutLookTest, NothingOnAServerIsLookedAt)
{
    ServerShare share;
    const std::string remote = ServerShare::Path("Long Tool Folder\\Long Tool.exe");
    ASSERT_TRUE(MakeFolders(ServerShare::Path("Long Tool Folder")));
    ASSERT_TRUE(WriteFileBytes(remote, "MZ")) << "Wine serves no share here";

    ScratchFolder scratch("lk look server");
    const std::string local = scratch / "Apps\\Long Program.exe";
    ASSERT_TRUE(WriteFileBytes(local, "MZ"));
    const std::string record = scratch / "Apps\\01012026000001.lki";
    ASSERT_TRUE(WriteFileBytes(record, FormatProtectionRecord({"pw", "\"" + remote + "\" -x", ""})));
    const std::string desktop = scratch.Folder("Desktop");
    const struct {
        std::string link, target, arguments, program;
    } cases[] = {
        {"Server.lnk", remote, "", remote},
        {"Local.lnk", ShortPath(local), "", local},
        {"Protected.lnk", SystemFolder() + "\\lkrun3.exe", Scramble(record), remote},
    };
    for (const auto& c : cases) {
        LinkSpec wanted;
        wanted.target = c.target;
        wanted.arguments = c.arguments;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(desktop + "\\" + c.link, wanted)) << c.link;
    }
    std::map<std::string, FoundShortcut> found = ByPath(LookForShortcuts({Widen(desktop)}));
    for (const auto& c : cases)
        EXPECT_EQ(found[desktop + "\\" + c.link].program, c.program) << c.link;

    // Protect refuses it.
    const LoadedShortcut loaded = LoadShortcutForProtection(desktop + "\\Server.lnk");
    EXPECT_EQ(loaded.result, ProtectResult::NetworkTarget);
    EXPECT_EQ(loaded.info.targetPath, remote);

    // Nor is an icon read there, though the same one is copied from a local file.
    const std::string icon = std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\4\0\0\0\x16\0\0\0icon", 26);
    ASSERT_TRUE(WriteFileBytes(ServerShare::Path("tool.ico"), icon));
    ASSERT_TRUE(WriteFileBytes(scratch / "tool.ico", icon));
    EXPECT_EQ(ReadShownIcon(Widen(scratch / "tool.ico"), 0), icon);
    EXPECT_EQ(ReadShownIcon(Widen(ServerShare::Path("tool.ico")), 0), std::nullopt);
    SetEnvironmentVariableA("LK_SERVER", "\\\\lk-server\\share");
    EXPECT_EQ(ReadShownIcon(L"%LK_SERVER%\\tool.ico", 0), std::nullopt);
    // A local icon named outside the code page is read like any other.
    const std::wstring greek = Widen(scratch.Path()) + L"\\\x03B5\x03B9\x03BA\x03CC\x03BD\x03B1.ICO";
    ASSERT_TRUE(CopyFileW(Widen(scratch / "tool.ico").c_str(), greek.c_str(), TRUE));
    EXPECT_EQ(ReadShownIcon(greek, 0), icon);
    SetEnvironmentVariableA("LK_SERVER", nullptr);
}

// Every record is read once a look, however many shortcuts name it: a record gone after the
// first of them still gives the later ones their state. A record's program longer than Windows
// takes makes its shortcuts damaged, and keeps nothing of it.
TEST_F(ShortcutLookTest, EachRecordIsReadOnceAndAnOverlongProgramIsDamaged)
{
    ScratchFolder scratch("lk look records");
    const std::string program = scratch / "Apps\\tool.exe";
    ASSERT_TRUE(WriteFileBytes(program, "MZ"));
    const std::string record = scratch / "Apps\\01012026000001.lki";
    ASSERT_TRUE(WriteFileBytes(record, FormatProtectionRecord({"pw", ShortPath(program) + " -x", ""})));
    const std::string overlong = scratch / "Apps\\01012026000002.lki";
    ASSERT_TRUE(WriteFileBytes(overlong, FormatProtectionRecord({"pw", "C:\\" + std::string(40000, 'a') + " -x", ""})));
    const std::string same = scratch.Folder("Same"), longer = scratch.Folder("Long");
    const std::string launcher = SystemFolder() + "\\lkrun3.exe";
    for (int i = 0; i < 3; ++i) {
        LinkSpec wanted;
        wanted.target = launcher;
        wanted.arguments = Scramble(record);
        ASSERT_HRESULT_SUCCEEDED(MakeLink(same + "\\Same " + std::to_string(i) + ".lnk", wanted));
        wanted.arguments = Scramble(overlong);
        ASSERT_HRESULT_SUCCEEDED(MakeLink(longer + "\\Long " + std::to_string(i) + ".lnk", wanted));
    }
    size_t readBefore = 0;
    const ShortcutLook look = LookForShortcuts({Widen(same), Widen(longer)}, nullptr, [&](size_t found) {
        if (found == 1)
            readBefore = DeleteFileA(record.c_str()) ? 1 : 0;
    });
    ASSERT_EQ(readBefore, 1u);
    ASSERT_EQ(look.found.size(), 6u);
    for (const FoundShortcut& shortcut : look.found) {
        const bool isLong = shortcut.path.find("\\Long ") != std::string::npos;
        EXPECT_EQ(shortcut.state == ShortcutState::RecordDamaged, isLong) << shortcut.path;
        EXPECT_EQ(shortcut.program, isLong ? "" : program) << shortcut.path;
    }
}

// A start folder reached through a link is not entered, and counted as not read: a user could
// point their own Desktop at a tree of their choosing.
TEST_F(ShortcutLookTest, AStartFolderReachedThroughALinkIsNotEntered)
{
    ScratchFolder scratch("lk look start link");
    const std::string elsewhere = scratch.Folder("Elsewhere");
    LinkSpec wanted;
    wanted.target = scratch / "tool.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(elsewhere + "\\Tool.lnk", wanted));
    const std::string profile = scratch.Folder("Profile");
    const std::string desktop = profile + "\\Desktop";
    ASSERT_EQ(RunLinux("ln -s " + ShellQuote(UnixPath(elsewhere)) + " " + ShellQuote(UnixPath(profile) + "/Desktop")),
              0);
    const ShortcutLook look = LookForShortcuts({Widen(desktop), Widen(elsewhere)});
    RunLinux("rm -f " + ShellQuote(UnixPath(profile) + "/Desktop"));
    ASSERT_EQ(look.found.size(), 1u); // once, from where it really is
    EXPECT_EQ(look.found[0].path, elsewhere + "\\Tool.lnk");
    EXPECT_EQ(look.unreadable, 1);
    EXPECT_FALSE(look.limitReached);
}
