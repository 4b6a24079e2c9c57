// The remove command's file work against real shortcuts, records and short names under Wine:
// protect, then remove from the record, must give the user's command line back exactly.
#include "core/Messages.h"
#include "win/ProtectFiles.h"
#include "win/ShellLink.h"
#include "win/RemoveFiles.h"
#include "win/Files.h"
#include "win/ShortcutStore.h"
#include "core/RemoveRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace lktest;

namespace {

std::string Stamp(int n)
{
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "31122026%06d", n);
    return stamp;
}

ShortcutInfo Plain(const std::string& target, const std::string& arguments, const std::string& workingDirectory)
{
    ShortcutInfo info;
    info.targetPath = target;
    info.arguments = arguments;
    info.workingDirectory = workingDirectory;
    info.description = L"the user's comment";
    return info;
}

// Protects the shortcut at link through the protect command's file work; returns the record path.
// The original's stored copy is dropped, as for a shortcut protected before there was a store or
// on another PC: these tests are about what comes back from the record.
std::string Protect(const std::string& link, const std::string& password, bool useOriginalIcon, const std::string& stamp)
{
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    EXPECT_EQ(loaded.result, ProtectResult::Ready) << link;
    ProtectOutcome outcome = ApplyProtection(link, loaded, password, useOriginalIcon, stamp);
    EXPECT_EQ(outcome.result, ProtectResult::Succeeded) << link;
    const std::string recordPath = MakeRecordPath(loaded.info.targetPath, stamp);
    ForgetOriginalShortcut(recordPath);
    return recordPath;
}

class RemoveProtectionTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_program = File(m_scratch / "Program Files\\My Editor\\Long Editor Name.exe");
        ASSERT_FALSE(ShortPath(m_program).empty());
    }

    std::string Link(const std::string& name) { return m_links + "\\" + name + ".lnk"; }

    // Writes a file and returns its path.
    static std::string File(const std::string& path, const std::string& bytes = "MZ")
    {
        EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
        return path;
    }

    ScratchFolder m_scratch{"lk remove"};
    RemoveAtEnd m_outside; // files at the drive's root and in the system folder
    const std::string m_root = m_scratch.Path();
    const std::string m_links = m_scratch.Folder("Links With Blanks");
    const std::string m_programFolder = m_scratch.Folder("Program Files");
    std::string m_program;
};

} // namespace

TEST_F(RemoveProtectionTest, ProtectThenRemoveRestoresEveryCommandLineExactly)
{
    // Targets whose short form puts the separating blank and the arguments at the positions
    // where scrambling makes white space or 0x1A: 4, 8 and 9 characters. Past the tenth
    // character every position behaves alike, so the long program gets a sample of them.
    const std::vector<std::string> shortTargets = {
        m_outside.Add(File("C:\\q")),
        m_outside.Add(File("C:\\q.exe")),
        m_outside.Add(File("C:\\qz.exe")),
    };
    const std::string risky = " !\"#$*\t";
    struct Case {
        std::string target, arguments, workingDirectory, password;
    };
    std::vector<Case> cases;
    auto add = [&cases](const std::string& target, char c, int at) {
        std::string arguments = "abcdefghijkl", workingDirectory = "C:\\Work\\Dir\\Sub", password = "pass word 12";
        arguments[at] = c;
        workingDirectory[at] = c;
        password[at] = c;
        cases.push_back({target, arguments, workingDirectory, password});
    };
    for (const std::string& target : shortTargets)
        for (char c : risky)
            for (int at = 0; at < 12; ++at)
                add(target, c, at);
    for (int at = 0; at < 12; ++at)
        add(m_program, risky[at % risky.size()], at);
    for (const std::string& target : {shortTargets[0], shortTargets[1], shortTargets[2], m_program}) {
        cases.push_back({target, "", "", "pw"});
        cases.push_back({target, "", "C:\\W", "pw"});
        cases.push_back({target, "-x", "", "pw"});
        cases.push_back({target, "  two  blanks  ", " lead", "$$$$$$$$$$$$"});
    }
    ASSERT_GE(cases.size(), 200u);

    const std::string link = Link("Round Trip");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n) + ": [" + c.target + "] [" + c.arguments + "] [" +
                     c.workingDirectory + "]");
        ShortcutInfo original = Plain(c.target, c.arguments, c.workingDirectory);
        ASSERT_GE(WriteShortcut(link, original), 0);
        // Beside the target: at the drive's root for the short ones.
        const std::string recordPath = m_outside.Add(Protect(link, c.password, false, Stamp(++n)));

        LoadedProtection loaded = LoadProtectedShortcut(link);
        ASSERT_TRUE(loaded.Ready());
        EXPECT_EQ(loaded.recordPath, recordPath);
        EXPECT_EQ(loaded.record.password, c.password);
        RemoveOutcome outcome = RestoreShortcut(link, loaded);
        EXPECT_EQ(outcome.result, RemoveResult::Succeeded);

        ShortcutInfo restored;
        ASSERT_GE(ReadShortcut(link, restored), 0);
        EXPECT_EQ(restored.targetPath, ShortPath(c.target));
        EXPECT_EQ(restored.arguments, c.arguments);
        EXPECT_EQ(restored.workingDirectory, c.workingDirectory);
        EXPECT_EQ(restored.description, original.description);
        // The record stays where it was.
        EXPECT_TRUE(FileExists(recordPath));
        if (HasFatalFailure())
            return;
    }
}

TEST_F(RemoveProtectionTest, TargetWithoutShortFormComesBackFromItsQuotes)
{
    // A target that no longer exists has no short form and keeps its blanks.
    ASSERT_TRUE(MakeFolders(m_root + "\\Gone Away"));
    const std::string target = m_root + "\\Gone Away\\old tool.exe";
    const std::string link = Link("Gone");
    ASSERT_GE(WriteShortcut(link, Plain(target, "-a \"b c\"", "C:\\Work")), 0);
    const std::string recordPath = Protect(link, "pw", false, Stamp(900));
    ASSERT_TRUE(FileExists(recordPath));

    LoadedProtection loaded = LoadProtectedShortcut(link);
    ASSERT_TRUE(loaded.Ready());
    EXPECT_EQ(loaded.commandLine.targetPath, target);
    EXPECT_EQ(loaded.commandLine.arguments, "-a \"b c\"");
    ShortcutInfo restoredInfo = RestoredShortcutInfo(loaded.info, loaded.record, loaded.commandLine);
    EXPECT_EQ(restoredInfo.targetPath, target);
    EXPECT_EQ(restoredInfo.workingDirectory, "C:\\Work");
}

TEST_F(RemoveProtectionTest, IconComesFromTheProtectedShortcutOrTheRestoredTarget)
{
    const std::string shortProgram = ShortPath(m_program);
    const std::string icon = File(m_programFolder + "\\My Editor\\editor.ico",
                                  std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\4\0\0\0\x16\0\0\0icon", 26));

    // Not kept at protection: the protected shortcut names no icon file, so the restored
    // shortcut takes the program's own, with the protected shortcut's index.
    {
        const std::string link = Link("No Icon");
        ShortcutInfo original = Plain(m_program, "-a", "");
        original.iconPath = ToWide(icon);
        original.iconIndex = 5;
        ASSERT_GE(WriteShortcut(link, original), 0);
        Protect(link, "pw", false, Stamp(910));
        LoadedProtection loaded = LoadProtectedShortcut(link);
        ASSERT_TRUE(loaded.Ready());
        // The rules leave the icon empty; the restore names the program, in UTF-16.
        ShortcutInfo restored = RestoredShortcutInfo(loaded.info, loaded.record, loaded.commandLine);
        EXPECT_EQ(restored.iconPath, L"");
        EXPECT_EQ(restored.iconIndex, 0);
        ASSERT_EQ(RestoreShortcut(link, loaded).result, RemoveResult::Succeeded);
        ShortcutInfo onDisk;
        ASSERT_GE(ReadShortcut(link, onDisk), 0);
        EXPECT_EQ(onDisk.iconPath, ToWide(shortProgram));
        EXPECT_EQ(onDisk.iconIndex, 0);
    }
    // Kept: the protected shortcut shows the icon copy in the system directory, which holds that
    // one icon, and so does the restored one; the copy stays.
    {
        const std::string link = Link("Kept Icon");
        ShortcutInfo original = Plain(m_program, "", "C:\\Work");
        original.iconPath = ToWide(icon);
        original.iconIndex = 5;
        ASSERT_GE(WriteShortcut(link, original), 0);
        const std::string copy = m_outside.Add(SystemFolder() + "\\" + Stamp(911) + ".ico");
        Protect(link, "pw", true, Stamp(911));
        ASSERT_TRUE(FileExists(copy));
        LoadedProtection loaded = LoadProtectedShortcut(link);
        ASSERT_TRUE(loaded.Ready());
        ASSERT_EQ(RestoreShortcut(link, loaded).result, RemoveResult::Succeeded);
        ShortcutInfo onDisk;
        ASSERT_GE(ReadShortcut(link, onDisk), 0);
        EXPECT_EQ(onDisk.iconPath, ToWide(copy));
        EXPECT_EQ(onDisk.iconIndex, 0);
        EXPECT_TRUE(FileExists(copy));
    }
}

TEST_F(RemoveProtectionTest, ShortcutsWithoutARecordAreNotProtectedOnes)
{
    // Never protected, with and without arguments.
    for (const char* arguments : {"-x file.txt", ""}) {
        const std::string link = Link("Plain");
        ASSERT_GE(WriteShortcut(link, Plain(m_program, arguments, "C:\\Work")), 0);
        const std::optional<std::string> before = ReadFileBytes(link);
        EXPECT_TRUE(before) << link;
        LoadedProtection loaded = LoadProtectedShortcut(link);
        EXPECT_FALSE(loaded.Ready());
        EXPECT_EQ(loaded.result, RemoveResult::NotProtected) << arguments;
        EXPECT_EQ(ReadFileBytes(link), before);
    }
    // Protected, then its record deleted.
    const std::string link = Link("Record Deleted");
    ASSERT_GE(WriteShortcut(link, Plain(m_program, "-x", "")), 0);
    const std::string recordPath = Protect(link, "pw", false, Stamp(920));
    ASSERT_TRUE(DeleteFileA(recordPath.c_str()));
    EXPECT_EQ(LoadProtectedShortcut(link).result, RemoveResult::NotProtected);

    EXPECT_EQ(RemoveMessageText(RemoveResult::NotProtected, "x", "y"),
              "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)");
}

TEST_F(RemoveProtectionTest, AFileThatIsNotAShortcutFailsSilently)
{
    const std::string notALink = File(m_links + "\\program.exe", "MZ not a link");
    LoadedProtection loaded = LoadProtectedShortcut(notALink);
    EXPECT_FALSE(loaded.Ready());
    EXPECT_EQ(loaded.result, RemoveResult::ReadFailed);
    EXPECT_EQ(ReadFileBytes(notALink), "MZ not a link");
}

TEST_F(RemoveProtectionTest, ADamagedRecordIsFoundBeforeAnythingIsAskedOrWritten)
{
    const std::string link = Link("Damaged");
    ASSERT_GE(WriteShortcut(link, Plain(m_program, "-a -b", "C:\\Work")), 0);
    const std::string recordPath = Protect(link, "pw", false, Stamp(930));
    const std::optional<std::string> protectedBytes = ReadFileBytes(link);
    EXPECT_TRUE(protectedBytes) << link;

    const std::string damaged[] = {
        "",
        Scramble("pw") + "\r\n" + Scramble(ShortPath(m_program) + " -a") + "\r\n.",
        Scramble("pw") + "\r\n" + Scramble(ShortPath(m_program)) + "\r\n\r\n.",
        "random bytes without any line end",
    };
    for (const std::string& bytes : damaged) {
        EXPECT_TRUE(WriteFileBytes(recordPath, bytes)) << recordPath;
        LoadedProtection loaded = LoadProtectedShortcut(link);
        EXPECT_FALSE(loaded.Ready());
        EXPECT_EQ(loaded.result, RemoveResult::RecordDamaged);
        EXPECT_EQ(loaded.recordPath, recordPath);
        EXPECT_EQ(ReadFileBytes(link), protectedBytes);
        EXPECT_EQ(ReadFileBytes(recordPath), bytes);
    }
    EXPECT_EQ(RemoveMessageText(RemoveResult::RecordDamaged, "", recordPath),
              "The protection record of this shortcut is damaged:\n" + recordPath + "\nThe shortcut has not been changed.");
}

TEST_F(RemoveProtectionTest, AShortcutThatCannotBeWrittenReportsRestoreFailed)
{
    const std::string link = Link("Cannot Write");
    ASSERT_GE(WriteShortcut(link, Plain(m_program, "-a", "")), 0);
    Protect(link, "pw", false, Stamp(940));
    LoadedProtection loaded = LoadProtectedShortcut(link);
    ASSERT_TRUE(loaded.Ready());
    // A folder where the shortcut must go.
    const std::string blocked = m_scratch.Folder("Links With Blanks\\Blocked.lnk");
    RemoveOutcome outcome = RestoreShortcut(blocked, loaded);
    EXPECT_EQ(outcome.result, RemoveResult::RestoreFailed);
    EXPECT_EQ(RemoveMessageText(outcome.result, "", ""), "Failed to restore original Link.");
    EXPECT_EQ(RemoveMessageText(RemoveResult::Succeeded, "My Editor", ""),
              "Password protection for\nMy Editor\nhas been removed successfully.");
}

// Protect then remove gives back what the shortcut held besides its command line: the
// description and the hot key (kept on the protected shortcut meanwhile), and the record is the
// same three lines as ever.
TEST_F(RemoveProtectionTest, DescriptionAndHotKeyComeBack)
{
    const std::string link = Link("Kept Properties");
    LinkSpec wanted;
    wanted.target = m_program;
    wanted.arguments = "-k";
    wanted.description = "Edits long things";
    wanted.hotKey = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));

    const std::string recordPath = Protect(link, "pw", false, Stamp(950));
    LinkSpec protectedLink;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, protectedLink));
    EXPECT_EQ(protectedLink.description, wanted.description);
    EXPECT_EQ(protectedLink.hotKey, wanted.hotKey);
    EXPECT_EQ(ReadFileBytes(recordPath),
              FormatProtectionRecord({"pw", ShortPath(m_program) + " -k", ""}));

    LoadedProtection loaded = LoadProtectedShortcut(link);
    ASSERT_TRUE(loaded.Ready());
    ASSERT_EQ(RestoreShortcut(link, loaded).result, RemoveResult::Succeeded);
    LinkSpec restored;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, restored));
    EXPECT_EQ(restored.target, ShortPath(m_program));
    EXPECT_EQ(restored.arguments, "-k");
    EXPECT_EQ(restored.description, wanted.description);
    EXPECT_EQ(restored.hotKey, wanted.hotKey);
}
