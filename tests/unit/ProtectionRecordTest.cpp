#include "core/ProtectionRecord.h"
#include "core/Scramble.h"

#include <gtest/gtest.h>

namespace {

std::tm MakeTime(int day, int month, int year, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

} // namespace

TEST(RecordName, TimeStampIsDayFirstAndZeroPadded)
{
    EXPECT_EQ(FormatTimeStamp(MakeTime(7, 12, 2026, 9, 5, 52)), "07122026090552");
    EXPECT_EQ(FormatTimeStamp(MakeTime(31, 1, 2027, 23, 59, 0)), "31012027235900");
}

TEST(RecordName, PathIsInTheTargetsFolder)
{
    EXPECT_EQ(MakeRecordPath("C:\\PROGRA~1\\EDITOR\\EDIT.EXE", "07122026090552"),
              "C:\\PROGRA~1\\EDITOR\\07122026090552.lki");
    EXPECT_EQ(MakeRecordPath("C:\\EDIT.EXE", "07122026090552"), "C:\\07122026090552.lki");
    // No backslash: an empty folder, so the record lands at the root of the current drive.
    EXPECT_EQ(MakeRecordPath("", "07122026090552"), "\\07122026090552.lki");
    EXPECT_EQ(MakeRecordPath("EDIT.EXE", "07122026090552"), "\\07122026090552.lki");
}

TEST(RecordCommandLine, QuotesOnlyTargetsThatKeptABlank)
{
    struct Case {
        const char* target;
        const char* arguments;
        const char* commandLine;
    } cases[] = {
        {"C:\\PROGRA~1\\EDITOR\\EDIT.EXE", "-a -b", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE -a -b"},
        {"C:\\PROGRA~1\\EDITOR\\EDIT.EXE", "", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE "},
        {"C:\\Gone Away\\edit.exe", "x y", "\"C:\\Gone Away\\edit.exe\" x y"},
        {"C:\\Gone Away\\edit.exe", "", "\"C:\\Gone Away\\edit.exe\" "},
        {"", "", " "},
        // Characters the command interpreter acts on: a batch file must be started as itself.
        {"C:\\TOOLS\\R&D.BAT", "-x", "\"C:\\TOOLS\\R&D.BAT\" -x"},
        {"C:\\TOOLS\\A^B.CMD", "", "\"C:\\TOOLS\\A^B.CMD\" "},
        {"C:\\TOOLS(X)\\RUN.BAT", "a", "\"C:\\TOOLS(X)\\RUN.BAT\" a"},
        {"C:\\100%\\RUN.CMD", "a", "\"C:\\100%\\RUN.CMD\" a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeCommandLine(c.target, c.arguments), c.commandLine);
        CommandLineParts parts = SplitCommandLine(c.commandLine);
        EXPECT_TRUE(parts.ok) << c.commandLine;
        EXPECT_EQ(parts.targetPath, c.target);
        EXPECT_EQ(parts.arguments, c.arguments);
    }
}

TEST(RecordCommandLine, SplitRefusesALineWithoutSeparator)
{
    for (const char* bad : {"", "C:\\EDIT.EXE", "\"C:\\A B\\E.EXE", "\"C:\\A B\\E.EXE\"", "\"C:\\A B\\E.EXE\"x"})
        EXPECT_FALSE(SplitCommandLine(bad).ok) << bad;
    CommandLineParts parts = SplitCommandLine("C:\\E.EXE  two  blanks ");
    EXPECT_EQ(parts.targetPath, "C:\\E.EXE");
    EXPECT_EQ(parts.arguments, " two  blanks ");
}

TEST(RecordFile, ExactBytes)
{
    ProtectionRecord record{"abc", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE -a", "C:\\Work"};
    EXPECT_EQ(FormatProtectionRecord(record), Scramble("abc") + "\r\n" +
                                                  Scramble("C:\\PROGRA~1\\EDITOR\\EDIT.EXE -a") + "\r\n" +
                                                  Scramble("C:\\Work") + "\r\n.");
    EXPECT_EQ(FormatProtectionRecord(record).substr(0, 5), "abb\r\n");

    // No arguments: the command line ends in its blank. No working directory: an empty line 3.
    ProtectionRecord bare{"pw", "C:\\E.EXE ", ""};
    std::string bytes = FormatProtectionRecord(bare);
    EXPECT_EQ(bytes, "pw\r\n" + Scramble("C:\\E.EXE ") + "\r\n\r\n.");
    EXPECT_EQ(bytes.substr(bytes.size() - 5), "\r\n\r\n.");
}
