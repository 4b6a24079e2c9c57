// The file work refuses what it cannot store and never writes through what is in its way:
// records are created, never overwritten; long, unconvertible and virtual shortcuts are refused
// before anything is written; remove reads a record only for a shortcut that starts the launcher.
#include "core/LaunchRequest.h"
#include "core/MasterPassword.h"
#include "core/Paths.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "launcher/StartProgram.h"
#include "win/Files.h"
#include "win/HeldFolder.h"
#include "win/MasterFile.h"
#include "win/ProtectFiles.h"
#include "win/RemoveFiles.h"
#include "win/ShellLink.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>
#include <malloc.h>

using namespace lktest;
using Microsoft::WRL::ComPtr;

namespace {

// A shortcut written through the wide interface, with texts no ANSI code page may hold.
HRESULT MakeWideLink(const std::string& linkPath, const std::wstring& target, const std::wstring& arguments)
{
    ComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    ComPtr<IPersistFile> file;
    hr = link.As(&file);
    if (FAILED(hr))
        return hr;
    return file->Save(Widen(linkPath).c_str(), TRUE);
}

class Hardening : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(MakeFolders(programFolder));
        ASSERT_TRUE(WriteFileBytes(program, "MZ"));
        shortProgram = ShortPath(program);
        ASSERT_FALSE(shortProgram.empty());
        shortFolder = shortProgram.substr(0, shortProgram.rfind('\\'));
    }

    // Protects link with a fixed time, returning the outcome.
    ProtectOutcome Protect(const std::string& link, const std::string& stamp)
    {
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready) << link;
        return ApplyProtection(link, loaded, "pw", false, stamp);
    }

    ScratchFolder folder{"lk hardening"};
    const std::string programFolder = folder / "Programs";
    const std::string program = programFolder + "\\tool.exe";
    std::string shortProgram, shortFolder;
};

TEST_F(Hardening, TwoProtectionsInOneSecondGetTwoRecords)
{
    const std::string first = folder / "First.lnk", second = folder / "Second.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = "-first";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(first, wanted));
    wanted.arguments = "-second";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(second, wanted));

    ProtectOutcome one = Protect(first, "31122026235959");
    ProtectOutcome two = Protect(second, "31122026235959");
    ASSERT_EQ(one.result, ProtectResult::Succeeded);
    ASSERT_EQ(two.result, ProtectResult::Succeeded);
    EXPECT_EQ(one.recordPath, shortFolder + "\\31122026235959.lki");
    EXPECT_EQ(two.recordPath, shortFolder + "\\01012027000000.lki"); // the next second's name
    EXPECT_EQ(ParseRecordFile(ReadWholeFile(one.recordPath)).record.commandLine, shortProgram + " -first");
    EXPECT_EQ(ParseRecordFile(ReadWholeFile(two.recordPath)).record.commandLine, shortProgram + " -second");
}

TEST_F(Hardening, ALinkPlantedAtTheRecordsNameIsNeverWrittenThrough)
{
    const std::string victim = folder / "victim.txt";
    ASSERT_TRUE(WriteFileBytes(victim, "precious"));
    // A Linux symbolic link, as Wine shows a link or junction: removed at the end by Linux too,
    // since a dangling one is invisible to the Windows side.
    const std::string planted = UnixPath(programFolder) + "/01022026101010.lki";
    ASSERT_EQ(RunLinux("ln -sf " + ShellQuote(UnixPath(victim)) + " " + ShellQuote(planted)), 0);
    struct Unplant {
        std::string path;
        ~Unplant() { RunLinux("rm -f " + ShellQuote(path)); }
    } unplant{planted};
    const std::string link = folder / "Tool.lnk";
    LinkSpec wanted;
    wanted.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));

    ProtectOutcome outcome = Protect(link, "01022026101010");
    ASSERT_EQ(outcome.result, ProtectResult::Succeeded);
    EXPECT_EQ(outcome.recordPath, shortFolder + "\\01022026101011.lki");
    EXPECT_EQ(ReadFileBytes(victim), "precious");
}

TEST_F(Hardening, LongArgumentsSurviveProtectAndRemove)
{
    std::string arguments;
    while (arguments.size() < 300)
        arguments += "-option" + std::to_string(arguments.size()) + " ";
    arguments += "end";
    const std::string link = folder / "Long.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = arguments;
    wanted.workingDirectory = programFolder;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));

    ASSERT_EQ(Protect(link, "02022026101010").result, ProtectResult::Succeeded);
    LoadedProtection loaded = LoadProtectedShortcut(link);
    ASSERT_TRUE(loaded.Ready());
    EXPECT_EQ(loaded.commandLine.arguments, arguments);
    ASSERT_EQ(RestoreShortcut(link, loaded).result, RemoveResult::Succeeded);
    ShortcutInfo restored;
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, restored));
    EXPECT_EQ(restored.arguments, arguments);
}

TEST_F(Hardening, WhatCannotBeStoredIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* name;
        std::wstring target;
        std::wstring arguments;
        ProtectResult message;
    } cases[] = {
        {"control byte", std::wstring(program.begin(), program.end()), L"abcdefghij\x14", ProtectResult::NotStorable},
        {"outside the code page", std::wstring(program.begin(), program.end()), L"-name \x4E2D\x6587",
         ProtectResult::NotInCodePage},
        {"no target", L"", L"-x", ProtectResult::NotAFileTarget},
        // The launcher would read the program's name only up to the tab.
        {"tab in the target", Widen(programFolder + "\\odd\tname.exe"), L"-x", ProtectResult::NotAFileTarget},
        // A text longer than the read buffers cannot be made: a shortcut counts its texts in 16 bits.
    };
    const std::vector<std::string> before = FolderEntries(programFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = folder / (std::string(c.name) + ".lnk");
        ASSERT_HRESULT_SUCCEEDED(MakeWideLink(link, c.target, c.arguments));
        const std::optional<std::string> bytes = ReadFileBytes(link);
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, c.message);
        EXPECT_EQ(ReadFileBytes(link), bytes);
    }
    EXPECT_EQ(FolderEntries(programFolder), before);

    // A typed password that would split the record's lines.
    const std::string link = folder / "Password.lnk";
    LinkSpec wanted;
    wanted.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    ASSERT_EQ(loaded.result, ProtectResult::Ready);
    ProtectOutcome outcome = ApplyProtection(link, loaded, "abcde\x0E", false, "03022026101010");
    EXPECT_EQ(outcome.result, ProtectResult::NotStorable);
    EXPECT_EQ(FolderEntries(programFolder), before);
}

TEST_F(Hardening, RemoveReadsARecordOnlyForAShortcutThatStartsTheLauncher)
{
    // A real record, named by a shortcut that starts something else.
    const std::string record = programFolder + "\\04022026101010.lki";
    ASSERT_TRUE(WriteWholeFile(record, FormatProtectionRecord({"pw", shortProgram + " -x", ""})));
    const std::string link = folder / "Plain.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = Scramble(record);
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    EXPECT_EQ(LoadProtectedShortcut(link).result, RemoveResult::NotProtected);

    // A record too big to be one, a folder, and a record that names no target.
    const std::string protectedLink = folder / "Protected.lnk";
    LinkSpec protectedSpec;
    protectedSpec.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(protectedLink, protectedSpec));
    ProtectOutcome outcome = Protect(protectedLink, "05022026101010");
    ASSERT_EQ(outcome.result, ProtectResult::Succeeded);
    const std::optional<std::string> protectedBytes = ReadFileBytes(protectedLink);
    struct Case {
        const char* name;
        std::string bytes;
        bool folder;
        RemoveResult message;
    } cases[] = {
        {"over 1 MiB", std::string(MaxReadBytes + 1, 'a'), false, RemoveResult::NotProtected},
        {"a folder", "", true, RemoveResult::NotProtected},
        {"no target", FormatProtectionRecord({"pw", " -x", ""}), false, RemoveResult::RecordDamaged},
        // Made by hand: a shortcut would keep only part of these arguments.
        {"arguments longer than a shortcut holds",
         FormatProtectionRecord({"pw", shortProgram + " " + std::string(40000, 'a'), ""}),
         false, RemoveResult::RecordDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(outcome.recordPath.c_str());
        RemoveDirectoryA(outcome.recordPath.c_str());
        if (c.folder)
            ASSERT_TRUE(CreateDirectoryA(outcome.recordPath.c_str(), nullptr));
        else
            ASSERT_TRUE(WriteWholeFile(outcome.recordPath, c.bytes));
        LoadedProtection loaded = LoadProtectedShortcut(protectedLink);
        EXPECT_EQ(loaded.result, c.message);
        EXPECT_FALSE(loaded.Ready());
        EXPECT_EQ(ReadFileBytes(protectedLink), protectedBytes);
    }
    RemoveDirectoryA(outcome.recordPath.c_str());
}

// A batch file whose path holds the command interpreter's special characters is started as
// itself, through the shell, with its arguments.
TEST_F(Hardening, ABatchFileWithSpecialCharactersStartsAsItself)
{
    const std::string batchFolder = folder / "R&D (100%)";
    ASSERT_TRUE(MakeFolders(batchFolder));
    const std::string batch = batchFolder + "\\run^it.bat";
    const std::string marker = folder / "ran.txt";
    ASSERT_TRUE(WriteFileBytes(batch, "@echo %1> \"" + marker + "\"\r\n"));
    ProtectionRecord record{"pw", MakeCommandLine(batch, "hello"), ""};
    CommandLineParts program = SplitCommandLine(record.commandLine);
    ASSERT_TRUE(program.ok);
    EXPECT_EQ(program.targetPath, batch);
    ASSERT_EQ(StartProgram(record, program), 0u);
    const ULONGLONG deadline = GetTickCount64() + 15000;
    // The file appears before the batch file has written into it.
    while (ReadFileBytes(marker).value_or(std::string()).size() < 5 && GetTickCount64() < deadline)
        Sleep(50);
    EXPECT_EQ(ReadFileBytes(marker).value_or(std::string()).substr(0, 5), "hello");
}

} // namespace

namespace {

// Protected means: the target is the launcher in the system folder. A copy of the launcher
// elsewhere, or a program whose name ends like it, is an ordinary program; and only a local .lki
// file is opened as a record, whatever the arguments name.
TEST_F(Hardening, OnlyTheSystemLaunchersShortcutIsProtectedAndOnlyALocalRecordIsRead)
{
    const std::string record = programFolder + "\\06022026101010.lki";
    const std::string recordBytes = FormatProtectionRecord({"pw", shortProgram + " -x", ""});
    ASSERT_TRUE(WriteWholeFile(record, recordBytes));
    const std::string renamed = programFolder + "\\06022026101010.txt";
    ASSERT_TRUE(WriteWholeFile(renamed, recordBytes));
    const std::string toolsLauncher = programFolder + "\\lkrun3.exe";
    const std::string lookAlike = programFolder + "\\xlkrun3.exe";
    ASSERT_TRUE(WriteFileBytes(toolsLauncher, "MZ"));
    ASSERT_TRUE(WriteFileBytes(lookAlike, "MZ"));
    const std::string systemLauncher = SystemFolder() + "\\lkrun3.exe";

    struct Case {
        const char* name;
        std::string target;
        std::string recordPath;
        bool isProtected;
    } cases[] = {
        {"the system launcher, a local record", systemLauncher, record, true},
        {"in another case", LowerAscii(systemLauncher), record, true},
        {"a launcher copy in another folder", toolsLauncher, record, false},
        {"a program whose name ends like the launcher", lookAlike, record, false},
        {"a record that is no .lki file", systemLauncher, renamed, false},
        {"a record by its device path", systemLauncher, "\\\\?\\" + record, false},
        {"a record on a server", systemLauncher, "\\\\lk-no-such-server\\share\\06022026101010.lki", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = folder / "Look.lnk";
        LinkSpec wanted;
        wanted.target = c.target;
        wanted.arguments = Scramble(c.recordPath);
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
        const std::optional<std::string> bytes = ReadFileBytes(link);
        const bool launcherTarget = c.target == systemLauncher || c.target == LowerAscii(systemLauncher);
        EXPECT_EQ(IsProtectedShortcut(link), launcherTarget);
        LoadedProtection loaded = LoadProtectedShortcut(link);
        EXPECT_EQ(loaded.Ready(), c.isProtected);
        if (!c.isProtected)
            EXPECT_EQ(loaded.result, RemoveResult::NotProtected);
        // Protect takes it for what it is: refused when protected, else an ordinary program.
        EXPECT_EQ(LoadShortcutForProtection(link).result,
                  launcherTarget ? ProtectResult::AlreadyProtected : ProtectResult::Ready);
        EXPECT_EQ(ReadFileBytes(link), bytes);
    }
    EXPECT_EQ(ReadFileBytes(record), recordBytes);
}

// A program on a server is refused before anything is written: its record could never be read
// by remove, which opens no server's file.
TEST_F(Hardening, AProgramOnAServerIsRefused)
{
    const std::string link = folder / "Share.lnk";
    LinkSpec wanted;
    wanted.target = "\\\\lk-no-such-server\\share\\tool.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    const std::optional<std::string> bytes = ReadFileBytes(link);
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    EXPECT_EQ(loaded.result, ProtectResult::NetworkTarget);
    EXPECT_EQ(ReadFileBytes(link), bytes);
}

} // namespace

namespace {

// A held folder answers for itself: reached through a link it is not held at all, and once its
// path names another folder it is no longer there.
TEST_F(Hardening, AHeldFolderKnowsWhenItsPathNamesAnotherFolder)
{
    const std::string other = folder.Folder("Other");
    HeldFolder held(programFolder);
    ASSERT_TRUE(held.IsHeld());
    EXPECT_TRUE(held.StillThere());
    EXPECT_TRUE(HeldFolder(shortFolder).StillThere()) << "the short form is the same folder";

    const std::string unixFolder = UnixPath(programFolder);
    const std::string viaLink = folder / "Linked";
    const std::string unixLink = UnixPath(folder.Path()) + "/Linked";
    ASSERT_EQ(RunLinux("ln -s " + ShellQuote(UnixPath(other)) + " " + ShellQuote(unixLink)), 0);
    EXPECT_FALSE(HeldFolder(viaLink).IsHeld()) << "a folder reached through a link";
    EXPECT_FALSE(HeldFolder(viaLink + "\\").StillThere());

    ASSERT_EQ(RunLinux("mv " + ShellQuote(unixFolder) + " " + ShellQuote(unixFolder + " moved") + " && ln -s " +
                       ShellQuote(UnixPath(other)) + " " + ShellQuote(unixFolder)),
              0);
    EXPECT_FALSE(held.StillThere()) << "the path names another folder now";
    RunLinux("rm -f " + ShellQuote(unixFolder) + " " + ShellQuote(unixLink) + " && mv " +
             ShellQuote(unixFolder + " moved") + " " + ShellQuote(unixFolder));
    EXPECT_TRUE(held.StillThere()) << "back in its place";
    EXPECT_FALSE(HeldFolder(folder / "Missing").IsHeld());
}

} // namespace

namespace {

// Every block of memory this test program gives back passes here first: a block that still
// holds a watched text is a copy of a password that was not cleared before it was let go.
struct FreedMemoryWatch {
    std::string texts[2];
    bool on = false;
    int copiesFound = 0;
};

FreedMemoryWatch& FreedWatch()
{
    static FreedMemoryWatch watch;
    return watch;
}

void CheckFreed(const void* block, std::size_t size)
{
    FreedMemoryWatch& watch = FreedWatch();
    if (!watch.on || !block)
        return;
    const char* begin = static_cast<const char*>(block);
    for (const std::string& text : watch.texts) {
        if (!text.empty() && std::search(begin, begin + size, text.begin(), text.end()) != begin + size)
            ++watch.copiesFound;
    }
}

TEST_F(Hardening, NoCopyOfAPasswordOutlivesItsUse)
{
    // Made at run time, longer than a string keeps inline.
    std::string needle = "Zq7-lingering-" + std::to_string(GetCurrentProcessId()) + "-password";
    const std::string link = folder / "Secret.lnk";
    LinkSpec wanted;
    wanted.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    LinkSpec protectedLink;
    FreedMemoryWatch& watch = FreedWatch();
    watch.texts[0] = needle;
    watch.texts[1] = Scramble(needle);
    watch.on = true;
    {
        std::string typed = needle; // as the dialog hands it over
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready);
        EXPECT_EQ(ApplyProtection(link, loaded, typed, false, "07022026101010").result,
                  ProtectResult::Succeeded);
        ClearSecret(typed);
    }
    {
        LoadedProtection loaded = LoadProtectedShortcut(link);
        EXPECT_TRUE(loaded.Ready());
        EXPECT_TRUE(loaded.record.password == needle);
        ClearSecret(loaded.record.password); // as the remove command does once its dialog has it
    }
    EXPECT_HRESULT_SUCCEEDED(ReadLink(link, protectedLink));
    {
        LaunchRequest request = ReadLaunchRequest(protectedLink.arguments, &ReadWholeFile);
        EXPECT_TRUE(request.problem == LaunchProblem::None);
        ClearSecret(request.record.password); // as the launcher does once its dialog has it
    }
    {
        // The master password: written, read back and decided on.
        std::string typed = needle;
        const std::string masterPath = folder / "master2.lki";
        EXPECT_TRUE(WriteMasterFile(masterPath, typed));
        ClearSecret(typed);
        MasterFileRead read = ReadMasterFile(masterPath);
        MasterPasswordDecision decision = DecideMasterPassword(read.bytes);
        EXPECT_TRUE(decision.required == needle);
        if (read.bytes)
            ClearSecret(*read.bytes);
        ClearSecret(decision.required);
    }
    watch.on = false;
    EXPECT_EQ(watch.copiesFound, 0) << "blocks holding the password were given back uncleared";
    ClearSecret(needle);
    ClearSecret(watch.texts[0]);
    ClearSecret(watch.texts[1]);
}

} // namespace

// Replacing the program's deallocation lets the watch above see every block given back.
void operator delete(void* block) noexcept
{
    CheckFreed(block, block ? _msize(block) : 0);
    std::free(block);
}

void operator delete(void* block, std::size_t size) noexcept
{
    CheckFreed(block, size);
    std::free(block);
}
