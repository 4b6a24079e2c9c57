// Reading and writing real shortcut files through the shell link object.
#include "win/Files.h"
#include "win/ShellLink.h"
#include "tests/support/Files.h"
#include "tests/support/LinkBytes.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

using namespace lktest;

namespace {

class ShortcutFiles : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        program = folder / "Long Program Folder\\Long Editor Name.exe";
        ASSERT_TRUE(MakeFolders(folder / "Long Program Folder"));
        ASSERT_TRUE(WriteFileBytes(program, "MZ not really a program"));
    }

    ScratchFolder folder{"lk shortcut files"};
    std::string program;
};

} // namespace

TEST_F(ShortcutFiles, EveryCarriedPropertyRoundTrips)
{
    const std::string link = folder / "My Editor.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = "-open \"two words.txt\" /x";
    wanted.workingDirectory = folder.Path();
    wanted.description = "Edits long things";
    wanted.iconPath = folder / "Long Program Folder\\editor icons.dll";
    wanted.iconIndex = 7;
    wanted.hotKey = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT);
    wanted.showCommand = SW_SHOWMINNOACTIVE;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));

    ShortcutInfo read;
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, read));
    EXPECT_EQ(read.targetPath, program);
    EXPECT_EQ(read.arguments, wanted.arguments);
    EXPECT_EQ(read.workingDirectory, wanted.workingDirectory);
    EXPECT_EQ(read.description, ToWide(wanted.description));
    EXPECT_EQ(read.iconPath, ToWide(wanted.iconPath));
    EXPECT_EQ(read.iconIndex, 7);
    EXPECT_EQ(read.hotKey, wanted.hotKey);
    // Wine's shell link object keeps neither the show command nor the run-as flag in the file
    // (what it saves reads back as a normal window, not run as administrator); Windows keeps
    // both, and ReadShortcut and WriteShortcut carry them like the hot key.

    // Written back over the same file: they survive.
    ASSERT_HRESULT_SUCCEEDED(WriteShortcut(link, read));
    ShortcutInfo again;
    again.iconIndex = -99; // the icon step overwrites the caller's values
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, again));
    EXPECT_EQ(again.targetPath, read.targetPath);
    EXPECT_EQ(again.arguments, read.arguments);
    EXPECT_EQ(again.workingDirectory, read.workingDirectory);
    EXPECT_EQ(again.description, read.description);
    EXPECT_EQ(again.iconPath, read.iconPath);
    EXPECT_EQ(again.iconIndex, 7);
    EXPECT_EQ(again.hotKey, wanted.hotKey);
    LinkSpec onDisk; // a successful read has filled every field
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, onDisk));
    EXPECT_EQ(onDisk.hotKey, wanted.hotKey);
}

TEST_F(ShortcutFiles, WritingCreatesANewFileAndReadingEmptiesTheTexts)
{
    const std::string link = folder / "New.lnk";
    ShortcutInfo info;
    info.targetPath = program;
    ASSERT_FALSE(FileExists(link));
    ASSERT_HRESULT_SUCCEEDED(WriteShortcut(link, info));
    ASSERT_TRUE(FileExists(link));

    ShortcutInfo read;
    read.arguments = "stale";
    read.workingDirectory = "stale";
    read.description = L"stale";
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, read));
    EXPECT_EQ(read.targetPath, program);
    EXPECT_EQ(read.arguments, "");
    EXPECT_EQ(read.workingDirectory, "");
    EXPECT_EQ(read.description, L"");
    EXPECT_EQ(read.iconPath, L"");
    EXPECT_EQ(read.iconIndex, 0);
}

TEST_F(ShortcutFiles, AFileThatIsNoShortcutFailsToLoad)
{
    ShortcutInfo info;
    info.targetPath = "stale";
    info.iconPath = L"caller's";
    info.iconIndex = 4;
    HRESULT hr = ReadShortcut(program, info);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(info.targetPath, "");
    EXPECT_EQ(info.iconPath, L"caller's");
    EXPECT_EQ(info.iconIndex, 4);
    EXPECT_EQ(ReadFileBytes(program), "MZ not really a program");
}

TEST_F(ShortcutFiles, ALinkPathTooLongForTheWideBufferFailsCleanly)
{
    // 259 characters and the terminator fill the 260 units exactly; one more does not fit.
    const std::string fits = "C:\\" + std::string(252, 'a') + ".lnk";
    const std::string tooLong = "C:\\" + std::string(253, 'a') + ".lnk";
    ASSERT_EQ(fits.size(), 259u);
    const HRESULT rangeError = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    ShortcutInfo info;
    info.targetPath = program;
    EXPECT_EQ(ReadShortcut(tooLong, info), rangeError);
    EXPECT_EQ(WriteShortcut(tooLong, info), rangeError);
    HRESULT hr = ReadShortcut(fits, info);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(hr, rangeError); // got as far as loading a file that is not there
}

// Reading looks for nothing and changes nothing: a target that moved away is read as the
// shortcut stores it, and the file keeps its bytes and its time, so that a cancel afterwards
// leaves the shortcut exactly as it was.
TEST_F(ShortcutFiles, ReadingAMovedTargetNeitherSearchesNorWrites)
{
    const std::string link = folder / "Moved.lnk";
    LinkSpec wanted;
    wanted.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    ASSERT_TRUE(MakeFolders(folder / "Elsewhere"));
    const std::string moved = folder / "Elsewhere\\Long Editor Name.exe";
    ASSERT_TRUE(MoveFileA(program.c_str(), moved.c_str()));
    const std::optional<std::string> bytes = ReadFileBytes(link);
    WIN32_FILE_ATTRIBUTE_DATA before = {}, after = {};
    ASSERT_TRUE(GetFileAttributesExA(link.c_str(), GetFileExInfoStandard, &before));

    ShortcutInfo read;
    const ULONGLONG started = GetTickCount64();
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, read));
    EXPECT_LT(GetTickCount64() - started, 2000u); // no search that runs into its time-out
    EXPECT_EQ(read.targetPath, program);
    EXPECT_EQ(ReadFileBytes(link), bytes);
    ASSERT_TRUE(GetFileAttributesExA(link.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
}

// A shortcut is written beside the old one and put in its place in one step: a reader that had
// the old file open still reads it whole, the new file keeps the old one's attributes, and
// nothing is left beside it. A replacement that fails leaves the old file and nothing else.
TEST_F(ShortcutFiles, WritingReplacesTheOldFileInOneStepKeepingItsAttributes)
{
    const std::string link = folder / "Kept.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = "-old";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    const std::optional<std::string> oldBytes = ReadFileBytes(link);
    const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesA(link.c_str(), attributes));
    const std::vector<std::string> entries = FolderEntries(folder.Path());

    ShortcutInfo info;
    info.targetPath = program;
    info.arguments = "-new";
    {
        HANDLE reader = CreateFileA(link.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        ASSERT_HRESULT_SUCCEEDED(WriteShortcut(link, info));
        std::string seen(oldBytes->size() + 16, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(reader, &seen[0], static_cast<DWORD>(seen.size()), &read, nullptr));
        seen.resize(read);
        CloseHandle(reader);
        EXPECT_EQ(seen, oldBytes) << "the old file was written over";
    }
    ShortcutInfo read;
    ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, read));
    EXPECT_EQ(read.arguments, "-new");
    EXPECT_EQ(GetFileAttributesA(link.c_str()) & (attributes | FILE_ATTRIBUTE_SYSTEM), attributes);
    EXPECT_EQ(FolderEntries(folder.Path()), entries);

    const std::optional<std::string> newBytes = ReadFileBytes(link);
    info.arguments = "-never";
    {
        ScopedImmutable fixed(link);
        ASSERT_TRUE(fixed.IsSet());
        EXPECT_TRUE(FAILED(WriteShortcut(link, info)));
    }
    EXPECT_EQ(ReadFileBytes(link), newBytes);
    EXPECT_EQ(GetFileAttributesA(link.c_str()) & (attributes | FILE_ATTRIBUTE_SYSTEM), attributes);
    EXPECT_EQ(FolderEntries(folder.Path()), entries);
    SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Every text comes back whole whatever its length: around the first room a read gives it (a long
// path's), and far beyond it. (Wine's shell link object loads no text of 32,767 characters or more,
// so the longest a shortcut holds, which the read tells as too long, cannot be shown here.)
TEST_F(ShortcutFiles, TextsOfEveryLengthComeBackWhole)
{
    const std::string link = folder / "Long Texts.lnk";
    for (const std::size_t length : {1022, 1023, 1024, 1025, 5000, 32766}) {
        SCOPED_TRACE(length);
        LinkFixture fixture;
        fixture.target = program;
        fixture.description = std::u16string(length, u'd');
        fixture.arguments = std::u16string(length, u'a');
        ASSERT_TRUE(WriteFileBytes(link, MakeLinkBytes(fixture)));
        ShortcutInfo read;
        ShortcutTextProblem problem = ShortcutTextProblem::NotInCodePage;
        ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, read, &problem));
        EXPECT_EQ(problem, ShortcutTextProblem::None);
        // Compared whole; only their lengths are printed.
        EXPECT_EQ(read.description.size(), length);
        EXPECT_EQ(read.arguments.size(), length);
        EXPECT_TRUE(read.description == std::wstring(length, L'd'));
        EXPECT_TRUE(read.arguments == std::string(length, 'a'));
        EXPECT_EQ(read.targetPath, program);
    }
}

// The new shortcut is written beside the old one under a name nobody can work out beforehand: a link
// planted at the name a process id would give (which anyone can work out) is neither followed nor
// removed, whether what it leads to is there or not.
TEST_F(ShortcutFiles, ALinkPlantedBesideIsNeitherFollowedNorRemoved)
{
    const std::string link = folder / "Beside.lnk";
    const std::string planted = folder / ("lk" + std::to_string(GetCurrentProcessId()) + ".new");
    const std::string victim = folder / "victim.txt";
    const std::string missing = folder / "never made.txt";
    ASSERT_TRUE(WriteFileBytes(victim, "keep me"));
    LinkFixture fixture;
    fixture.target = program;
    for (const std::string& leadsTo : {victim, missing}) {
        SCOPED_TRACE(leadsTo);
        fixture.arguments = u"-old";
        ASSERT_TRUE(WriteFileBytes(link, MakeLinkBytes(fixture)));
        ASSERT_EQ(RunLinux("ln -sfn " + ShellQuote(UnixPath(leadsTo)) + " " + ShellQuote(UnixPath(planted))), 0);
        const std::vector<std::string> entries = FolderEntries(folder.Path());

        fixture.arguments = u"-new";
        const std::string newBytes = MakeLinkBytes(fixture);
        EXPECT_HRESULT_SUCCEEDED(PutShortcutBytes(ToWide(link), newBytes));
        EXPECT_EQ(ReadFileBytes(link), newBytes);
        ShortcutInfo info;
        info.targetPath = program;
        EXPECT_HRESULT_SUCCEEDED(WriteShortcut(link, info));
        EXPECT_EQ(ReadFileBytes(victim), "keep me");
        EXPECT_FALSE(FileExists(missing));
        EXPECT_EQ(FolderEntries(folder.Path()), entries);
    }
}
