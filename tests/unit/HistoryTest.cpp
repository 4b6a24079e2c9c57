#include "core/History.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HistoryEntry Entry(HistoryResult result, const std::string& user = "anna")
{
    return HistoryEntry{"2026-12-10 09:15:02", user, "C:\\Users\\anna\\Desktop\\Game.lnk", "C:\\Games\\Game.exe",
                        result};
}

TEST(History, EveryEntryReadsBackInItsOrder)
{
    const std::vector<HistoryEntry> entries = {
        Entry(HistoryResult::Protected, "Administrator"),   Entry(HistoryResult::WrongPassword),
        Entry(HistoryResult::LockedOut),                    Entry(HistoryResult::Started),
        Entry(HistoryResult::Removed, "Administrator"),     Entry(HistoryResult::ProtectedAgain),
        Entry(HistoryResult::RecordRestored),
        HistoryEntry{"2026-01-01 00:00:00", "Jos\xC3\xA9", "", "D:\\\xE6\x97\xA5\\a,b \"c\".exe", HistoryResult::Started},
    };
    std::string file;
    for (const HistoryEntry& entry : entries)
        file += FormatHistoryLine(entry);
    EXPECT_EQ(ParseHistory(file), entries);
}

TEST(History, WhatOthersAppendedIsPassedOverAndCannotSwallowTheNextEntry)
{
    const HistoryEntry started = Entry(HistoryResult::Started);
    const std::string line = FormatHistoryLine(started);
    const std::string junk[] = {
        "garbage without a line end",
        "2026-12-10 09:15:02\tanna\tStarted\t\tC:\\a.exe\n",         // LF alone
        "2026-12-10 09:15:02\tanna\tStarted\tC:\\a.exe\r\n",          // a field missing
        "2026-12-10 09:15:02\tanna\tStarted\t\tC:\\a.exe\tx\r\n",     // a field more
        "2026-12-10 9:15:02\tanna\tStarted\t\tC:\\a.exe\r\n",         // not the time's form
        "2026-12-10 09:15:02\t\tStarted\t\tC:\\a.exe\r\n",            // no user
        "2026-12-10 09:15:02\tanna\tstarted\t\tC:\\a.exe\r\n",        // no such result
        "2026-12-10 09:15:02\tanna\tStarted\t\t\r\n",                 // no program
        "2026-12-10 09:15:02\tan\xFFna\tStarted\t\tC:\\a.exe\r\n",    // not UTF-8
        "2026-12-10 09:15:02\tan\xC0\xAEna\tStarted\t\tC:\\a.exe\r\n", // overlong
        "2026-12-10 09:15:02\tanna\tStarted\t\tC:\\a\xE2\x82.exe\r\n", // cut short
        "2026-12-10 09:15:02\tanna\tStarted\t\tC:\\\x01.exe\r\n",     // a control character
        std::string("\0\0\0\r\n", 5),
    };
    for (const std::string& bad : junk) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(ParseHistory(line + bad + line), (std::vector<HistoryEntry>{started, started}));
    }
    // An entry still being written at the end is not one yet.
    EXPECT_EQ(ParseHistory(line + line.substr(0, line.size() - 1)), std::vector<HistoryEntry>{started});
}

TEST(History, FieldsCannotBreakTheirLine)
{
    HistoryEntry sneaky = Entry(HistoryResult::Started);
    sneaky.user = "anna\r\n2026-12-10 09:15:02\tbert\tStarted\t\tC:\\x.exe";
    const std::vector<HistoryEntry> read = ParseHistory(FormatHistoryLine(sneaky));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].user, "anna??2026-12-10 09:15:02?bert?Started??C:\\x.exe");
}

TEST(History, TheNewestEntriesThatFitAreKept)
{
    std::vector<HistoryEntry> entries;
    for (int i = 0; i < 10; ++i)
        entries.push_back(Entry(HistoryResult::Started, "user" + std::to_string(i)));
    const size_t lineSize = FormatHistoryLine(entries[0]).size();
    const std::vector<HistoryEntry> kept = ParseHistory(NewestHistory(entries, lineSize * 3 + lineSize / 2));
    EXPECT_EQ(kept, std::vector<HistoryEntry>(entries.end() - 3, entries.end()));
    EXPECT_EQ(NewestHistory(entries, lineSize - 1), "");
}

TEST(History, CsvHasTheHeaderAndQuotesAndDisarmsFields)
{
    const std::vector<HistoryEntry> entries = {
        Entry(HistoryResult::WrongPassword),
        HistoryEntry{"2026-12-10 10:00:00", "=cmd|' /C calc'!A0", "", "C:\\a,b\\\"c\".exe", HistoryResult::Protected},
    };
    EXPECT_EQ(HistoryCsv(entries), "\xEF\xBB\xBFTime,User,Shortcut,Program,Result\r\n"
                                   "2026-12-10 09:15:02,anna,C:\\Users\\anna\\Desktop\\Game.lnk,C:\\Games\\Game.exe,"
                                   "Wrong password\r\n"
                                   "2026-12-10 10:00:00,'=cmd|' /C calc'!A0,,\"C:\\a,b\\\"\"c\"\".exe\",Protected\r\n");
    EXPECT_EQ(HistoryCsv({}), "\xEF\xBB\xBFTime,User,Shortcut,Program,Result\r\n");
}

TEST(History, EachResultHasItsOwnEventId)
{
    const HistoryResult results[] = {HistoryResult::Started,   HistoryResult::WrongPassword,
                                     HistoryResult::LockedOut, HistoryResult::Protected,
                                     HistoryResult::Removed,   HistoryResult::ProtectedAgain,
                                     HistoryResult::RecordRestored};
    unsigned id = 1;
    for (HistoryResult result : results)
        EXPECT_EQ(HistoryEventId(result), id++) << HistoryResultText(result);
}

} // namespace
