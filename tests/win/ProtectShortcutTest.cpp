// Protecting real shortcuts: the record beside the program, the rewritten shortcut, the icon
// choice and a program folder that cannot be written.
#include "core/Messages.h"
#include "win/ProtectFiles.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"
#include "win/Files.h"
#include "core/IconFile.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <shellapi.h>
#include <functional>
#include <memory>

using namespace lktest;

namespace {

// The value of one "\tName\t...: value" line of lnkinfo's report; "(absent)" when there is none.
std::string LnkInfoField(const std::string& report, const std::string& name)
{
    std::string::size_type at = report.find("\t" + name + "\t");
    if (at == std::string::npos)
        return "(absent)";
    std::string::size_type colon = report.find(": ", at);
    std::string::size_type end = report.find('\n', at);
    if (colon == std::string::npos || colon > end)
        return "(absent)";
    return report.substr(colon + 2, end - colon - 2);
}

class ProtectShortcut : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(MakeFolders(programFolder));
        ASSERT_TRUE(WriteFileBytes(program, "MZ the long-named program"));
        shortProgram = ShortPath(program);
        ASSERT_NE(shortProgram, "");
        ASSERT_NE(shortProgram, program); // Wine made a short form
        shortFolder = shortProgram.substr(0, shortProgram.rfind('\\'));

        wanted.target = program;
        wanted.arguments = "-open \"two words.txt\" /x";
        wanted.workingDirectory = folder / "Work Folder";
        wanted.description = "Edits long things";
        wanted.hotKey = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT);
        wanted.showCommand = SW_SHOWMAXIMIZED;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    }

    // A stamp of this process, so that icon copies of parallel or earlier runs never collide.
    std::string Stamp(int n) const
    {
        char stamp[15];
        std::snprintf(stamp, sizeof stamp, "%08lu%06d", GetCurrentProcessId() % 100000000ul, n);
        return stamp;
    }

    ScratchFolder folder{"lk protect"};
    const std::string programFolder = folder / "Long Program Folder";
    const std::string program = programFolder + "\\Long Editor Name.exe";
    const std::string link = folder / "My Editor.lnk";
    std::string shortProgram, shortFolder;
    LinkSpec wanted;
    RemoveAtEnd systemFiles; // icon copies in the system folder
};

} // namespace

TEST_F(ProtectShortcut, RecordBesideTheProgramAndAShortcutThatStartsTheLauncher)
{
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    ASSERT_EQ(loaded.result, ProtectResult::Ready);
    EXPECT_EQ(loaded.info.targetPath, shortProgram);
    EXPECT_EQ(loaded.info.arguments, wanted.arguments);
    EXPECT_EQ(loaded.info.workingDirectory, wanted.workingDirectory);
    EXPECT_EQ(loaded.info.description, ToWide(wanted.description));

    const std::string stamp = "07122026090552";
    ProtectOutcome outcome = ApplyProtection(link, loaded, "Pass word!", false, stamp);
    ASSERT_EQ(outcome.result, ProtectResult::Succeeded);

    // The record: in the short-form folder of the program, exactly these bytes.
    const std::string recordPath = shortFolder + "\\07122026090552.lki";
    EXPECT_EQ(outcome.recordPath, recordPath);
    EXPECT_EQ(ReadFileBytes(programFolder + "\\07122026090552.lki"),
              Scramble("Pass word!") + "\r\n" + Scramble(shortProgram + " " + wanted.arguments) +
                  "\r\n" + Scramble(wanted.workingDirectory) + "\r\n.");

    // The shortcut: the launcher with the scrambled record path, and how the original was started.
    ShortcutInfo protectedLink;
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, protectedLink));
    EXPECT_EQ(protectedLink.targetPath, SystemFolder() + "\\lkrun3.exe");
    EXPECT_EQ(protectedLink.arguments, Scramble(recordPath));
    EXPECT_EQ(protectedLink.workingDirectory, "");
    EXPECT_EQ(protectedLink.description, ToWide(wanted.description));
    EXPECT_EQ(protectedLink.iconPath, L"");
    EXPECT_EQ(protectedLink.iconIndex, 0);
    // Kept, so that remove can give it back: the hot key then starts the launcher, which asks.
    // (Wine's shell link object saves no show command, so that one cannot be seen here.)
    LinkSpec onDisk; // a successful read has filled every field
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, onDisk));
    EXPECT_EQ(onDisk.hotKey, wanted.hotKey);

    // An outside reader of .lnk files sees the same.
    std::string report;
    ASSERT_EQ(RunLinux("lnkinfo " + ShellQuote(UnixPath(link)), &report), 0) << report;
    EXPECT_EQ(LnkInfoField(report, "Local path"), SystemFolder() + "\\lkrun3.exe") << report;
    EXPECT_EQ(LnkInfoField(report, "Command line arguments"), Scramble(recordPath)) << report;
    EXPECT_EQ(LnkInfoField(report, "Description"), wanted.description) << report;
    EXPECT_EQ(LnkInfoField(report, "Working directory"), "") << report;
    EXPECT_EQ(LnkInfoField(report, "Icon location"), "") << report;
    EXPECT_EQ(LnkInfoField(report, "Icon index"), "0") << report;

    // A second attempt is refused before anything is written.
    LoadedShortcut again = LoadShortcutForProtection(link);
    EXPECT_EQ(again.result, ProtectResult::AlreadyProtected);
}

TEST_F(ProtectShortcut, ATargetWithoutShortFormIsQuotedInTheRecord)
{
    // A program that is gone has no short form, so its path keeps its blanks.
    const std::string gone = programFolder + "\\Gone Program.exe";
    wanted.target = gone;
    wanted.arguments = "a b";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    ASSERT_EQ(loaded.result, ProtectResult::Ready);
    EXPECT_EQ(loaded.info.targetPath, gone);

    ProtectOutcome outcome = ApplyProtection(link, loaded, "pw", false, "01012027000000");
    ASSERT_EQ(outcome.result, ProtectResult::Succeeded);
    EXPECT_EQ(outcome.recordPath, programFolder + "\\01012027000000.lki");
    RecordReadResult record = ParseRecordFile(ReadWholeFile(outcome.recordPath));
    ASSERT_EQ(record.status, RecordStatus::Ok);
    EXPECT_EQ(record.record.commandLine, "\"" + gone + "\" a b");
}

TEST_F(ProtectShortcut, AFileThatIsNoShortcutIsRefusedAndNothingIsWritten)
{
    LoadedShortcut loaded = LoadShortcutForProtection(program);
    EXPECT_EQ(loaded.result, ProtectResult::ReadFailed);
    EXPECT_EQ(ReadFileBytes(program), "MZ the long-named program");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((programFolder + "\\*.lki").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// "Use original icon" copies the icon the shortcut shows, and nothing else, into a new .ico in
// the system folder; a source that holds no icon leaves the launcher's icon, and says so.
TEST_F(ProtectShortcut, OriginalIconChoice)
{
    const std::string sys = SystemFolder();
    const char* dist = std::getenv("LK_DIST_DIR");
    ASSERT_NE(dist, nullptr);
    // A program with an icon group (resource 128) of its own: the launcher as built.
    const std::string withIcon = programFolder + "\\Icon Program.exe";
    ASSERT_TRUE(CopyFileA((DosPath(dist) + "\\lkrun3.exe").c_str(), withIcon.c_str(), FALSE));
    ASSERT_TRUE(MakeFolders(folder / "Icons"));
    const std::string iconFile = folder / "Icons\\Pretty Icons.ICO";
    const std::string iconBytes = std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\4\0\0\0\x16\0\0\0icon", 26);
    ASSERT_TRUE(WriteFileBytes(iconFile, iconBytes));
    const std::string privateIco = folder / "Icons\\secret.ico";
    ASSERT_TRUE(WriteFileBytes(privateIco, "Dear diary, my password is hunter2"));
    const std::string privateText = folder / "Icons\\notes.txt";
    ASSERT_TRUE(WriteFileBytes(privateText, "private notes"));
    struct Case {
        const char* name;
        std::string target;
        std::string iconPath;
        int iconIndex;
        bool copied;
        std::string expectedIcon; // when nothing is copied
        int expectedIndex;
        bool nameTaken = false;   // a file already has the copy's name
    } cases[] = {
        {"no icon of its own: the program's first icon", withIcon, "", 0, true, "", 0},
        {"an icon group by its resource id", program, withIcon, -128, true, "", 0},
        {"its own icon file, copied as it is", program, iconFile, 2, true, "", 0},
        {"a name already in use: the next second's", program, iconFile, 0, true, "", 0, true},
        {"an index past the program's icons", program, withIcon, 5, false, "", 0},
        {"a private file named like an icon", program, privateIco, 0, false, "", 0},
        {"a private file of another kind", program, privateText, 0, false, "", 0},
        {"a program without icons", program, "", 0, false, "", 0},
        {"a missing icon", program, programFolder + "\\Missing.ico", 4, false, "", 0},
        {"a folder target: the shell's folder icon", programFolder, "", 0, false, sys + "\\SHELL32.dll", 3},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wanted.target = c.target;
        wanted.iconPath = c.iconPath;
        wanted.iconIndex = c.iconIndex;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        ASSERT_EQ(loaded.result, ProtectResult::Ready);

        ++n;
        char stamp[15];
        std::snprintf(stamp, sizeof stamp, "%02d01%04lu1200%02d", 1 + n, 2100 + GetCurrentProcessId() % 7000, n);
        const std::string copy = systemFiles.Add(sys + "\\" + stamp + ".ico");
        const std::string next = systemFiles.Add(sys + "\\" + NextTimeStamp(stamp) + ".ico");
        if (c.nameTaken)
            ASSERT_TRUE(WriteFileBytes(copy, "theirs"));
        const std::vector<std::string> before = FolderEntries(sys);
        ProtectOutcome outcome = ApplyProtection(link, loaded, "pw", true, stamp);
        ASSERT_EQ(outcome.result, ProtectResult::Succeeded);
        DeleteFileA(outcome.recordPath.c_str());
        EXPECT_EQ(outcome.iconNotCopied, !c.copied && c.expectedIcon.empty());

        ShortcutInfo protectedLink;
        ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, protectedLink));
        std::vector<std::string> added = FolderEntries(sys);
        for (const std::string& name : before)
            added.erase(std::remove(added.begin(), added.end(), name), added.end());
        if (c.copied) {
            const std::string made = c.nameTaken ? next : copy;
            EXPECT_EQ(protectedLink.iconPath, ToWide(made));
            EXPECT_EQ(added, std::vector<std::string>{made.substr(sys.size() + 1)});
            const std::optional<std::string> bytes = ReadFileBytes(made);
            ASSERT_TRUE(bytes);
            EXPECT_TRUE(IsIconFile(*bytes));
            if (c.iconPath == iconFile)
                EXPECT_EQ(*bytes, iconBytes);
            else
                EXPECT_GE(ExtractIconExA(made.c_str(), -1, nullptr, nullptr, 0), 1u) << "the system sees no icon";
        } else {
            EXPECT_EQ(protectedLink.iconPath, ToWide(c.expectedIcon));
            EXPECT_EQ(added, std::vector<std::string>{}) << "something was copied";
        }
        if (c.nameTaken)
            EXPECT_EQ(ReadFileBytes(copy), "theirs");
        EXPECT_EQ(protectedLink.iconIndex, c.expectedIndex);
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted)); // unprotected again for the next case
    }
}

TEST_F(ProtectShortcut, ARecordThatCannotBeWrittenLeavesTheShortcutAlone)
{
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    ASSERT_EQ(loaded.result, ProtectResult::Ready);
    const std::optional<std::string> before = ReadFileBytes(link);
    ProtectOutcome outcome;
    {
        ScopedImmutable readOnly(programFolder);
        ASSERT_TRUE(readOnly.IsSet());
        outcome = ApplyProtection(link, loaded, "pw", false, "02022027020202");
    }
    EXPECT_EQ(outcome.result, ProtectResult::RecordWriteFailed);
    EXPECT_EQ(outcome.recordPath, shortFolder + "\\02022027020202.lki");
    EXPECT_EQ(ProtectMessageText(outcome.result, "", outcome.recordPath),
              "Failed to write the protection record file:\n" + shortFolder +
                  "\\02022027020202.lki\nThe shortcut has not been changed.");
    EXPECT_EQ(ReadFileBytes(link), before);
    EXPECT_FALSE(FileExists(outcome.recordPath));
}

// A shortcut that cannot be replaced (held by another program past the wait, or immutable) takes
// the record, the icon copy and the kept original of the attempt away again: the shortcut, the
// program's folder and the system folder are as they were.
TEST_F(ProtectShortcut, AShortcutThatCannotBeSavedLeavesNothingBehind)
{
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    ASSERT_EQ(loaded.result, ProtectResult::Ready);
    const std::optional<std::string> before = ReadFileBytes(link);
    const std::vector<std::string> programFiles = FolderEntries(programFolder);
    const std::vector<std::string> linkFolder = FolderEntries(folder.Path());
    const std::string stamp = Stamp(90);
    const std::string copy = systemFiles.Add(SystemFolder() + "\\" + stamp + ".exe");

    struct Case {
        const char* name;
        std::function<std::unique_ptr<void, void (*)(void*)>()> hold; // what stops the save, while held
    } cases[] = {
        {"another program holds it without sharing",
         [&] {
             HANDLE held = CreateFileA(link.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(held, INVALID_HANDLE_VALUE);
             return std::unique_ptr<void, void (*)(void*)>(held, [](void* h) { CloseHandle(h); });
         }},
        {"it cannot be replaced (immutable)",
         [&] {
             auto* flag = new ScopedImmutable(link);
             EXPECT_TRUE(flag->IsSet());
             return std::unique_ptr<void, void (*)(void*)>(
                 flag, [](void* f) { delete static_cast<ScopedImmutable*>(f); });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProtectOutcome outcome;
        {
            auto held = c.hold();
            outcome = ApplyProtection(link, loaded, "pw", true, stamp);
        }
        EXPECT_EQ(outcome.result, ProtectResult::ShortcutNotWritable);
        EXPECT_EQ(ProtectMessageText(outcome.result, "", outcome.recordPath),
                  "The shortcut cannot be written: another program may have it open, or its folder may not allow "
                  "changes.\nThe shortcut has not been changed.");
        EXPECT_EQ(ReadFileBytes(link), before);
        EXPECT_EQ(FolderEntries(programFolder), programFiles) << "a record was left behind";
        EXPECT_EQ(FolderEntries(folder.Path()), linkFolder) << "a new shortcut was left behind";
        EXPECT_FALSE(FileExists(copy)) << "an icon copy was left behind";
        if (!outcome.recordPath.empty())
            EXPECT_FALSE(KeptOriginalShortcut(outcome.recordPath)) << "a kept original was left behind";
    }
}
