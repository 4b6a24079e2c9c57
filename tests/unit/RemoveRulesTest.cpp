// What the remove command writes back, and the texts it shows.
#include "core/Messages.h"
#include "core/RemoveRules.h"

#include <gtest/gtest.h>

TEST(RemoveRules, TheRestoredShortcutComesFromTheRecordWithWhatTheProtectedOneKept)
{
    struct Case {
        const char* name;
        const wchar_t* protectedIcon;
        int protectedIndex;
        const char* commandLine;
        const char* workingDirectory;
        const char* target;
        const char* arguments;
    } cases[] = {
        {"icon copy kept", L"C:\\windows\\system32\\07122026090552.exe", 2, "C:\\PROGRA~1\\EDIT.EXE -a", "C:\\Work",
         "C:\\PROGRA~1\\EDIT.EXE", "-a"},
        // Left empty: the caller names the target, which it can turn into UTF-16.
        {"no icon", L"", 5, "C:\\PROGRA~1\\EDIT.EXE -a", "", "C:\\PROGRA~1\\EDIT.EXE", "-a"},
        {"quoted target", L"", 0, "\"C:\\No Short\\tool.exe\" \"b c\"", "%HOMEPATH%", "C:\\No Short\\tool.exe",
         "\"b c\""},
    };
    for (const Case& c : cases) {
        ShortcutInfo protectedLink;
        protectedLink.targetPath = "C:\\windows\\system32\\lkrun3.exe";
        protectedLink.arguments = "scrambled";
        protectedLink.description = L"a description \x4E2D\x6587";
        protectedLink.hotKey = 0x0645; // Ctrl+Alt+E
        protectedLink.showCommand = 3; // maximised
        protectedLink.runAsAdministrator = true;
        protectedLink.iconPath = c.protectedIcon;
        protectedLink.iconIndex = c.protectedIndex;
        ProtectionRecord record{"pw", c.commandLine, c.workingDirectory};
        ShortcutInfo restored = RestoredShortcutInfo(protectedLink, record, SplitCommandLine(record.commandLine));
        EXPECT_EQ(restored.targetPath, c.target) << c.name;
        EXPECT_EQ(restored.arguments, c.arguments) << c.name;
        EXPECT_EQ(restored.workingDirectory, c.workingDirectory) << c.name;
        // What protect kept on the protected shortcut comes back.
        EXPECT_EQ(restored.description, L"a description \x4E2D\x6587") << c.name;
        EXPECT_EQ(restored.hotKey, 0x0645) << c.name;
        EXPECT_EQ(restored.showCommand, 3) << c.name;
        EXPECT_TRUE(restored.runAsAdministrator) << c.name;
        EXPECT_EQ(restored.iconPath, c.protectedIcon) << c.name;
        EXPECT_EQ(restored.iconIndex, c.protectedIndex) << c.name;
    }
}

TEST(RemoveRules, AFieldLongerThanAShortcutHoldsDoesNotFit)
{
    ShortcutInfo restored;
    restored.targetPath = "C:\\PROGRA~1\\EDIT.EXE";
    restored.arguments = std::string(MaxShortcutText, 'a');
    EXPECT_TRUE(FitsInShortcut(restored));
    restored.arguments += 'a';
    EXPECT_FALSE(FitsInShortcut(restored));
    restored.arguments.clear();
    restored.workingDirectory = std::string(40000, 'w');
    EXPECT_FALSE(FitsInShortcut(restored));
    restored.workingDirectory.clear();
    restored.description = std::wstring(MaxShortcutText + 1, L'd');
    EXPECT_FALSE(FitsInShortcut(restored));
}

TEST(RemoveRules, MessagesNameTheShortcutAndTheRecord)
{
    EXPECT_EQ(RemoveMessageText(RemoveResult::NotProtected, "x", "y"),
              "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)");
    EXPECT_EQ(RemoveMessageText(RemoveResult::RecordDamaged, "x", "C:\\P\\1.lki"),
              "The protection record of this shortcut is damaged:\nC:\\P\\1.lki\nThe shortcut has not been changed.");
    EXPECT_EQ(RemoveMessageText(RemoveResult::RestoreFailed, "x", "y"), "Failed to restore original Link.");
    EXPECT_EQ(RemoveMessageText(RemoveResult::Succeeded, "My Editor", "y"),
              "Password protection for\nMy Editor\nhas been removed successfully.");
    EXPECT_EQ(RemoveMessageText(RemoveResult::ReadFailed, "x", "y"), "This file could not be read as a shortcut.");
    EXPECT_EQ(RemoveMessageText(RemoveResult::Ready, "x", "y"), "");
}
