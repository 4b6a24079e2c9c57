// What a look over the machine's shortcuts found, and how it is told: the line that sums it up
// and the CSV report of /report. Texts are UTF-8.
#pragma once

#include "core/ShortcutState.h"

#include <string>
#include <vector>

// True for the three states of a protected shortcut that cannot start its program.
bool IsBroken(ShortcutState state);

struct FoundShortcut {
    std::string path;    // the shortcut file, full path
    // The program it really starts: a protected one's record's target; where that record is missing,
    // the target of the copy Latchkey kept of it, when there is one.
    std::string program;
    ShortcutState state = ShortcutState::NotProtected;
    std::string recordPath; // a protected one's record, as its arguments name it, unscrambled
};

// The most a look takes in: past them it stops, and says so. They bound its memory and its time
// whatever other users put in their places.
inline constexpr size_t MaxLookShortcuts = 50000;
inline constexpr size_t MaxLookFolders = 20000;

// The line that sums up what was found (LookSummaryText); limitReached: the look stopped at one
// of its limits.
std::string LookSummary(const std::vector<FoundShortcut>& found, int unreadable, bool limitReached);

// The CSV report: UTF-8 with a byte-order mark (so spreadsheets read it as such), CR LF lines,
// fields as CsvField makes them (quoted where they must be, never a formula), the header
// Shortcut,Program,State, then one line per shortcut in the order given.
std::string ShortcutReportCsv(const std::vector<FoundShortcut>& found);
