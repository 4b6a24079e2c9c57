// The history of the launcher's attempts and the tool's changes: its entries, the line each is
// stored as, and the CSV of /history. Texts are UTF-8.
//
// The history file is shared by every user, who may append to it but not change it: each line is
// checked on reading, and whatever does not read as an entry is passed over. An entry is stored as
// a line feed, then time, user, result, shortcut and program separated by tabs, then CR LF; the
// leading line feed ends any unfinished line that someone else left, so it cannot swallow ours.
#pragma once

#include <string>
#include <vector>

enum class HistoryResult {
    Started,
    WrongPassword,
    LockedOut,
    Protected,
    Removed,
    ProtectedAgain,
    RecordRestored,
};

// "Started", "Wrong password", ... as the history, its CSV and its window show them.
const char* HistoryResultText(HistoryResult result);

// The Windows Event Log's event id of each result (the message table's ids).
unsigned HistoryEventId(HistoryResult result);

struct HistoryEntry {
    std::string time;     // local time, YYYY-MM-DD HH:MM:SS
    std::string user;     // the Windows user name
    std::string shortcut; // the shortcut used, where known; else empty
    std::string program;  // the program's path
    HistoryResult result = HistoryResult::Started;

    bool operator==(const HistoryEntry& other) const
    {
        return time == other.time && user == other.user && shortcut == other.shortcut && program == other.program &&
               result == other.result;
    }
};

// The entry as stored; a control character in a field becomes '?' (no file name holds one).
std::string FormatHistoryLine(const HistoryEntry& entry);

// Every entry of a history file's bytes, oldest first; lines that are no entry are left out.
std::vector<HistoryEntry> ParseHistory(const std::string& bytes);

// The newest entries whose lines fit in maxBytes, as a history file's bytes.
std::string NewestHistory(const std::vector<HistoryEntry>& entries, size_t maxBytes);

// The CSV of /history: UTF-8 with a byte-order mark, CR LF lines, the header
// Time,User,Shortcut,Program,Result, then one row per entry in the order given, quoted as the
// shortcut report quotes.
std::string HistoryCsv(const std::vector<HistoryEntry>& entries);
