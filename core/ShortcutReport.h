// What a look over the machine's shortcuts found, and how it is told: the line that sums it up
// and the CSV report of /report. Texts are UTF-8.
#pragma once

#include "core/Messages.h"

#include <string>
#include <vector>

// True for the three states of a protected shortcut that cannot start its program.
bool IsBroken(ShortcutState state);

struct FoundShortcut {
    std::string path;    // the shortcut file, full path
    std::string program; // the program it really starts: a protected one's record's target
    ShortcutState state = ShortcutState::NotProtected;
};

// One CSV field: quoted where it must be (a comma, a quote or a line end: quotes doubled), and a
// field that starts as a formula would (=, +, -, @, tab, CR) with a ' before it.
std::string CsvField(const std::string& text);

// The line that sums up what was found (ScanSummaryText).
std::string ScanSummary(const std::vector<FoundShortcut>& found, int unreadable);

// The CSV report: UTF-8 with a byte-order mark (so spreadsheets read it as such), CR LF lines,
// fields quoted where they must be (a comma, a quote or a line end: quotes doubled), the header
// Shortcut,Program,State, then one line per shortcut in the order given.
std::string ShortcutReportCsv(const std::vector<FoundShortcut>& found);
