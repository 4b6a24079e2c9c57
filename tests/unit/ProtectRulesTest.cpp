#include "core/Messages.h"
#include "core/ProtectRules.h"

#include <gtest/gtest.h>

TEST(ProtectRules, ATargetEndingInTheLaunchersNameIsAlreadyProtected)
{
    struct Case {
        const char* target;
        bool isProtected;
    } cases[] = {
        {"C:\\windows\\system32\\lkrun3.exe", true},
        {"C:\\WINDOWS\\SYSTEM32\\LKRUN3.EXE", true},
        {"C:\\windows\\system32\\LkRun3.Exe", true},
        {"C:\\Tools\\mylkrun3.exe", true}, // only the end of the path counts
        {"lkrun3.exe", true},
        {"C:\\Tools\\lkrun3.exe.bak", false},
        {"C:\\Tools\\lkrun2.exe", false},
        {"krun3.exe", false}, // shorter than the launcher's name
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAlreadyProtected(c.target), c.isProtected) << c.target;
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
    const std::string sys = "C:\\windows\\system32";
    const std::string stamp = "07122026090552";
    struct Case {
        const char* iconPath;
        int iconIndex;
        const char* target;
        const char* copyFrom;
        std::string chosenPath;
        int chosenIndex;
    } cases[] = {
        // No icon of its own: the target is copied, its extension lower-cased.
        {"", 0, "C:\\PROGRA~1\\EDITOR\\EDIT.EXE", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE", sys + "\\" + stamp + ".exe", 0},
        // An icon file of its own is copied, keeping its index.
        {"D:\\Icons\\Pretty.ICO", 5, "C:\\EDIT.EXE", "D:\\Icons\\Pretty.ICO", sys + "\\" + stamp + ".ico", 5},
        {"C:\\x.dll", 7, "C:\\EDIT.EXE", "C:\\x.dll", sys + "\\" + stamp + ".dll", 7},
        // A source shorter than four characters gives all of it.
        {"abc", 1, "C:\\EDIT.EXE", "abc", sys + "\\" + stamp + "abc", 1},
        // A target without an extension (a folder): the shell's folder icon, nothing copied.
        {"", 0, "C:\\PROGRA~1\\EDITOR", "", sys + "\\SHELL32.dll", 3},
        {"D:\\Icons\\Pretty.ico", 5, "C:\\DATA.D\\FOLDER", "", sys + "\\SHELL32.dll", 3},
        {"", 0, "", "", sys + "\\SHELL32.dll", 3},
    };
    for (const Case& c : cases) {
        IconChoice choice = ChooseOriginalIcon(c.iconPath, c.iconIndex, c.target, sys, stamp);
        EXPECT_EQ(choice.copyFrom, c.copyFrom) << c.target;
        EXPECT_EQ(choice.iconPath, c.chosenPath) << c.target;
        EXPECT_EQ(choice.iconIndex, c.chosenIndex) << c.target;
    }
}

TEST(ProtectRules, MessagesNameTheShortcutAndTheRecord)
{
    EXPECT_EQ(ProtectMessageText(ProtectMessage::Succeeded, "My Editor", "ignored"),
              "Password protection link for\nMy Editor\nhas been created successfully!");
    EXPECT_EQ(ProtectMessageText(ProtectMessage::RecordWriteFailed, "ignored", "C:\\PROG~1\\07122026090552.lki"),
              "Failed to write the protection record file:\nC:\\PROG~1\\07122026090552.lki\n"
              "The shortcut has not been changed.");
    EXPECT_EQ(ProtectMessageText(ProtectMessage::ReadFailed, "", ""),
              "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)");
    EXPECT_EQ(ProtectMessageText(ProtectMessage::None, "x", "y"), "");
}
