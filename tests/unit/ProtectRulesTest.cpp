#include "core/Messages.h"
#include "core/ProtectRules.h"

#include <gtest/gtest.h>

TEST(ProtectRules, OnlyTheLauncherInTheSystemFolderIsProtected)
{
    const std::string system = "C:\\Windows\\System32", shortSystem = "C:\\WINDOWS\\SYSTE~1";
    struct Case {
        const char* target;
        bool isProtected;
    } cases[] = {
        {"C:\\Windows\\System32\\lkrun3.exe", true},
        {"C:\\WINDOWS\\SYSTEM32\\LKRUN3.EXE", true},
        {"c:\\windows\\system32\\LkRun3.Exe", true},
        {"C:\\WINDOWS\\SYSTE~1\\LKRUN3.EXE", true}, // the short form
        {"C:\\Tools\\lkrun3.exe", false},            // another folder's copy is an ordinary program
        {"C:\\Windows\\System32\\xlkrun3.exe", false},
        {"C:\\Tools\\xlkrun3.exe", false},
        {"lkrun3.exe", false},
        {"C:\\Windows\\System32\\lkrun3.exe.bak", false},
        {"C:\\Windows\\System32\\sub\\lkrun3.exe", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSystemLauncher(c.target, system, shortSystem), c.isProtected) << c.target;
    // A folder without a short form gives none; nothing matches through the empty one.
    EXPECT_FALSE(IsSystemLauncher("\\lkrun3.exe", system, ""));
}

TEST(ProtectRules, OnlyALocalLkiFileIsARecord)
{
    struct Case {
        const char* path;
        bool local;
    } cases[] = {
        {"C:\\PROGRA~1\\EDITOR\\07122026090552.lki", true},
        {"d:\\x\\A.LKI", true},
        {"C:\\x.lki", true},
        {"\\\\server\\share\\07122026090552.lki", false}, // opening it would call the server
        {"\\\\?\\C:\\x\\07122026090552.lki", false},
        {"\\\\.\\pipe\\x.lki", false},
        {"//server/share/x.lki", false},
        {"C:x.lki", false},
        {"\\x.lki", false},
        {"C:\\x\\notes.txt", false},
        {"C:\\x\\.lki", false},
        {"C:\\x\\a.lki:stream", false},
        {"C:\\x\\a:b.lki", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLocalRecordPath(c.path), c.local) << c.path;
    EXPECT_FALSE(IsLocalRecordPath(std::string("C:\\a.lki\0\\b.lki", 15)));
}

TEST(ProtectRules, OnlyAnAbsoluteFileSystemPathCanBeProtected)
{
    struct Case {
        const char* target;
        bool storable;
    } cases[] = {
        {"C:\\PROGRA~1\\EDIT.EXE", true},
        {"d:\\x", true},
        {"\\\\server\\share\\tool.exe", true},
        {"", false},                                         // a virtual item such as This PC
        {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", false}, // its parsing name
        {"C:", false},
        {"C:tool.exe", false},                               // relative to the drive's current folder
        {"\\tool.exe", false},
        {"tool.exe", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\?\\C:\\x.exe", false},
        {"\\\\.\\pipe\\x", false},
        {"C:\\a\"b.exe", false},
        {"C:\\a|b.exe", false},
        {"C:\\exp\\??\\tool.exe", false}, // characters lost on the way to ANSI
        {"C:\\a*.exe", false},
        // Control characters: no file name holds one, and a tab ends a program's name on a
        // command line, so the program after it would not be the one checked.
        {"C:\\Apps\\odd\tname.exe", false},
        {"C:\\Apps\\odd\nname.exe", false},
        {"C:\\Apps\\odd\x01.exe", false},
        {"C:\\Apps\\\x7F\xE9t\xE9.exe", true}, // any other byte may be part of a name
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAbsoluteFileSystemPath(c.target), c.storable) << c.target;
}

TEST(ProtectRules, ARecordWhoseScrambledFieldsHoldALineEndIsNotStorable)
{
    // 0x14 scrambles to LF at positions 10 on, 0x0E to LF at position 5 (shift 4); 0x17 to CR from 10 on.
    EXPECT_TRUE(IsStorableRecord({"pw", "C:\\E.EXE -a", "C:\\Work"}));
    EXPECT_FALSE(IsStorableRecord({"pw", "C:\\E.EXE -a\x14", ""}));
    EXPECT_FALSE(IsStorableRecord({"abcde\x0E", "C:\\E.EXE ", ""}));
    EXPECT_FALSE(IsStorableRecord({"pw", "C:\\E.EXE ", "C:\\Work\\dir\x17"}));
    EXPECT_TRUE(ScramblesToLineEnd(std::string(10, 'a') + "\x14"));
    EXPECT_FALSE(ScramblesToLineEnd(std::string(10, 'a') + "\x15"));
}

TEST(ProtectRules, OriginalIconChoice)
{
    const std::wstring sys = L"C:\\windows\\system32";
    struct Case {
        const wchar_t* iconPath;
        int iconIndex;
        const wchar_t* target;
        const wchar_t* copyFrom; // empty: nothing is copied
        int copyIndex;
        std::wstring chosenPath;
        int chosenIndex;
    } cases[] = {
        // No icon of its own: the target's icon, at the shortcut's index.
        {L"", 0, L"C:\\PROGRA~1\\EDITOR\\EDIT.EXE", L"C:\\PROGRA~1\\EDITOR\\EDIT.EXE", 0, L"", 0},
        {L"D:\\Icons\\Pretty.ICO", 5, L"C:\\EDIT.EXE", L"D:\\Icons\\Pretty.ICO", 5, L"", 0},
        {L"C:\\x.dll", -7, L"C:\\EDIT.EXE", L"C:\\x.dll", -7, L"", 0},
        // An icon file in a profile named outside the code page: copied like any other.
        {L"C:\\Users\\\x0393\x03B9\x03CE\x03C1\x03B3\x03BF\x03C2\\app.ico", 0, L"C:\\EDIT.EXE",
         L"C:\\Users\\\x0393\x03B9\x03CE\x03C1\x03B3\x03BF\x03C2\\app.ico", 0, L"", 0},
        // A target without an extension (a folder): the shell's folder icon, nothing copied.
        {L"", 0, L"C:\\PROGRA~1\\EDITOR", L"", 0, sys + L"\\SHELL32.dll", 3},
        {L"D:\\Icons\\Pretty.ico", 5, L"C:\\DATA.D\\FOLDER", L"", 0, sys + L"\\SHELL32.dll", 3},
        {L"", 0, L"", L"", 0, sys + L"\\SHELL32.dll", 3},
    };
    for (const Case& c : cases) {
        IconChoice choice = ChooseOriginalIcon(c.iconPath, c.iconIndex, c.target, sys);
        EXPECT_EQ(choice.copyFrom, c.copyFrom) << c.copyFrom;
        EXPECT_EQ(choice.copyIndex, c.copyIndex) << c.copyFrom;
        EXPECT_EQ(choice.iconPath, c.chosenPath) << c.copyFrom;
        EXPECT_EQ(choice.iconIndex, c.chosenIndex) << c.copyFrom;
    }
    EXPECT_EQ(IconCopyPath("C:\\windows\\system32", "07122026090552"), "C:\\windows\\system32\\07122026090552.ico");
}

TEST(ProtectRules, MessagesNameTheShortcutAndTheRecord)
{
    EXPECT_EQ(ProtectMessageText(ProtectResult::Succeeded, "My Editor", "ignored"),
              "Password protection link for\nMy Editor\nhas been created successfully!");
    EXPECT_EQ(ProtectMessageText(ProtectResult::RecordWriteFailed, "ignored", "C:\\PROG~1\\07122026090552.lki"),
              "Failed to write the protection record file:\nC:\\PROG~1\\07122026090552.lki\n"
              "The shortcut has not been changed.");
    EXPECT_EQ(ProtectMessageText(ProtectResult::ReadFailed, "", ""),
              "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)");
    EXPECT_EQ(ProtectMessageText(ProtectResult::Ready, "x", "y"), "");
}
