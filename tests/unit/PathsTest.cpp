#include "core/Paths.h"

#include <gtest/gtest.h>

TEST(Paths, FileNameAndFolderSplitAtTheLastSeparator)
{
    struct Case {
        const char* path;
        const char* fileName;
        const char* folder;
    } cases[] = {
        {"C:\\Tools\\edit.exe", "edit.exe", "C:\\Tools"},
        {"C:/Tools/edit.exe", "edit.exe", "C:/Tools"},
        {"C:\\edit.exe", "edit.exe", "C:"},
        {"\\\\server\\share\\x", "x", "\\\\server\\share"},
        {"edit.exe", "edit.exe", ""},
        {"C:\\Tools\\", "", "C:\\Tools"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileName(c.path), c.fileName) << c.path;
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    }
}

TEST(Paths, ADrivesRootIsAFolderOfItsOwn)
{
    const struct {
        const char* path;
        const char* folderToOpen;
        bool driveRoot;
    } cases[] = {
        {"C:\\edit.exe", "C:\\", false},
        {"C:\\Tools\\edit.exe", "C:\\Tools", false},
        {"\\\\server\\share\\x", "\\\\server\\share", false},
        {"C:\\", "C:\\", true},
        {"c:/", "c:\\", true},
        {"Z:", "", true},
        {"C:edit.exe", "", false},
        {"1:\\", "1:\\", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderToOpen(c.path), c.folderToOpen) << c.path;
        EXPECT_EQ(IsDriveRoot(c.path), c.driveRoot) << c.path;
    }
}

TEST(Paths, BaseNameIsTheFileNameWithoutFolderAndExtension)
{
    struct Case {
        const char* path;
        const char* baseName;
    } cases[] = {
        {"C:\\Users\\me\\Desktop\\My Editor.lnk", "My Editor"},
        {"C:\\Links\\editor.v2.lnk", "editor.v2"},  // only the last full stop starts the extension
        {"C:\\Links.old\\editor", "editor"},        // a full stop in a folder name is no extension
        {"C:\\Links\\.lnk", ""},
        {"editor.lnk", "editor"},
        {"C:\\Links\\", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BaseName(c.path), c.baseName) << c.path;
}

// A shortcut's own path in UTF-16: split at the real separators only, never at a look-alike such
// as the full-width backslash, whatever the name holds.
TEST(Paths, Utf16PathsSplitAsTheirCharactersSay)
{
    const struct {
        const wchar_t* path;
        const wchar_t* folderToOpen;
        const wchar_t* baseName;
    } cases[] = {
        {L"C:\\Links\\\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1.lnk", L"C:\\Links",
         L"\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1"},
        {L"C:/\u30EA\u30F3\u30AF/\u30D7\u30ED\u30B0\u30E9\u30E0.v2.lnk", L"C:/\u30EA\u30F3\u30AF",
         L"\u30D7\u30ED\u30B0\u30E9\u30E0.v2"},
        {L"C:\\Links\\Notes\uFF3C..\uFF3CMy Editor.lnk", L"C:\\Links", L"Notes\uFF3C..\uFF3CMy Editor"},
        {L"C:\\\u03B1.lnk", L"C:\\", L"\u03B1"},
        {L"\u03B1.lnk", L"", L"\u03B1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderToOpen(std::wstring(c.path)), c.folderToOpen);
        EXPECT_EQ(BaseName(std::wstring(c.path)), c.baseName);
        EXPECT_EQ(FileName(std::wstring(c.path)), std::wstring(c.baseName) + L".lnk");
    }
}

TEST(Paths, LowerAsciiLeavesOtherBytesAlone)
{
    EXPECT_EQ(LowerAscii("LKRUN3.EXE"), "lkrun3.exe");
    EXPECT_EQ(LowerAscii("\xC4\xD6@[`{"), "\xC4\xD6@[`{");
    EXPECT_EQ(LastCharacters("abcdef", 4), "cdef");
    EXPECT_EQ(LastCharacters("abc", 4), "abc");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(4294967295ul), "4294967295");
    EXPECT_EQ(DecimalText(7, 2), "07");
    EXPECT_EQ(DecimalText(2026, 2), "2026");
}

TEST(Paths, DriveLetterFormAndDevicePaths)
{
    const struct {
        const char* path;
        bool driveForm, deviceOrStream;
    } cases[] = {
        {"C:\\Reports\\a.csv", true, false},
        {"c:/Reports/a.csv", true, false},
        {"C:a.csv", false, false},
        {"a.csv", false, false},
        {"..\\a.csv", false, false},
        {"\\\\server\\share\\a.csv", false, false},
        {"\\\\.\\C:\\a.csv", false, true},
        {"\\\\?\\C:\\a.csv", false, true},
        {"//./pipe/x", false, true},
        {"\\??\\C:\\a.csv", false, true},
        {"C:\\Reports\\a.csv:hidden", true, true},
        {"a.csv::$DATA", false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasDriveLetterForm(std::string(c.path)), c.driveForm) << c.path;
        EXPECT_EQ(HasDriveLetterForm(std::wstring(c.path, c.path + std::string(c.path).size())), c.driveForm)
            << c.path;
        EXPECT_EQ(IsDeviceOrStreamPath(c.path), c.deviceOrStream) << c.path;
    }
}
