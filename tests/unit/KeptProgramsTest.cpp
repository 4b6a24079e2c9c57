#include "core/KeptPrograms.h"
#include "core/Messages.h"
#include "core/Scramble.h"

#include <gtest/gtest.h>

TEST(KeptPrograms, WrittenAndReadBack)
{
    const std::vector<KeptProgram> programs = {
        {"C:\\Program Files\\Game\\game.exe", "Open sesame"},
        {"C:\\Tools\\\xCE\xB1.exe", "x y\tz"},
    };
    const std::string bytes = FormatKeptPrograms(programs);
    EXPECT_EQ(bytes.substr(0, 26), "Latchkey kept programs 1\r\n");
    EXPECT_EQ(bytes.find("Open sesame"), std::string::npos); // scrambled, not plain
    const auto read = ParseKeptPrograms(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[1].programPath, programs[1].programPath);
    EXPECT_EQ((*read)[1].password, programs[1].password);

    const auto none = ParseKeptPrograms(FormatKeptPrograms({}));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST(KeptPrograms, WhatIsNotSuchAFile)
{
    const std::string head = "Latchkey kept programs 1\r\n";
    for (const std::string& bytes : {
             std::string(),
             std::string("Latchkey kept programs 2\r\n"),
             head + "C:\\game.exe\r\n",                      // no password line
             head + "C:\\game.exe\r\n" + Scramble("pw"),      // cut short
             head + "\r\n" + Scramble("pw") + "\r\n",         // no program
             head + "C:\\game.exe\r\n\r\n",                   // no password
             head + "C:\\a\nb.exe\r\n" + Scramble("pw") + "\r\n",
         })
        EXPECT_FALSE(ParseKeptPrograms(bytes)) << bytes;
}

TEST(KeptPrograms, SameProgramAsWindowsComparesNames)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Games\\Game.exe", "c:\\GAMES\\game.EXE", true},
        {"C:\\Spiele\\\xC3\x84pfel.exe", "C:\\SPIELE\\\xC3\xA4PFEL.EXE", true},       // Ä, ä
        {"C:\\\xCE\xA3\xCE\xA0.exe", "C:\\\xCF\x83\xCF\x80.exe", true},                  // ΣΠ, σπ
        {"C:\\\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.exe", "C:\\\xD0\xB8\xD0\xB3\xD1\x80\xD0\xB0.exe", true}, // ИГРА, игра
        {"C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA.exe", "C:\\\xC5\x82\xC3\x93" "D\xC5\xB9.EXE", true}, // Łódź, łÓDŹ
        {"C:\\Games\\Game.exe", "C:\\Games\\Game.exe ", false},
        {"C:\\Games\\Game.exe", "C:\\Games\\Gamf.exe", false},
        {"C:\\Games\\Game.exe", "C:\\Games\\Game", false},
        {"C:\\\xC3\x84.exe", "C:\\A.exe", false},
        {"C:\\\xC3.exe", "C:\\\xC3.exe", true}, // bytes that are no UTF-8 compare as they are
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameProgram(c.a, c.b), c.same) << c.a << " | " << c.b;
        EXPECT_EQ(SameProgram(c.b, c.a), c.same) << c.b << " | " << c.a;
    }
}

TEST(KeptPrograms, WhatACheckWouldChange)
{
    const std::vector<std::string> kept = {"C:\\Games\\Game.exe", "C:\\Tools\\Paint.exe"};
    struct Case {
        const char* program;
        ShortcutState state;
        bool changes;
    } cases[] = {
        {"c:\\games\\GAME.exe", ShortcutState::NotProtected, true},
        {"C:\\Tools\\Paint.exe", ShortcutState::StartsProtectedProgram, true},
        {"C:\\Tools\\Paint.exe", ShortcutState::RecordMissing, true}, // its kept copy names it
        {"", ShortcutState::RecordMissing, false},                     // no copy to give back
        {"C:\\Games\\Game.exe", ShortcutState::Protected, false},
        {"C:\\Games\\Game.exe", ShortcutState::LauncherMissing, false},
        {"", ShortcutState::RecordDamaged, false},
        {"C:\\Games\\Other.exe", ShortcutState::NotProtected, false},
        {"", ShortcutState::NotProtected, false},
    };
    for (const Case& c : cases) {
        FoundShortcut row;
        row.path = "C:\\Users\\Ann\\Desktop\\Game.lnk";
        row.program = c.program;
        row.state = c.state;
        EXPECT_EQ(CheckWouldChange(row, kept), c.changes) << c.program << " " << ShortcutStateText(c.state);
        EXPECT_FALSE(CheckWouldChange(row, {}));
    }
}
