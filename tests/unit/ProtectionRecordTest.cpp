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

TEST(RecordName, TheNextSecondCarriesTheCalendar)
{
    struct Case {
        const char* stamp;
        const char* next;
    } cases[] = {
        {"07122026090552", "07122026090553"},
        {"07122026090559", "07122026090600"},
        {"07122026095959", "07122026100000"},
        {"07122026235959", "08122026000000"},
        {"30042026235959", "01052026000000"},
        {"28022026235959", "01032026000000"},
        {"28022028235959", "29022028000000"}, // a leap year
        {"28022100235959", "01032100000000"}, // a century is not, unless divisible by 400
        {"29022000235959", "01032000000000"},
        {"31122026235959", "01012027000000"},
        {"31129999235959", ""},
        {"32122026000000", ""},
        {"0712202609055", ""},
        {"07122026O90552", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextTimeStamp(c.stamp), c.next) << c.stamp;
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
        // A tab ends an unquoted program name as a blank does.
        {"C:\\APPS\\ODD\tNAME.EXE", "a", "\"C:\\APPS\\ODD\tNAME.EXE\" a"},
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
