// /history <file>: the history of attempts and changes on this PC, written to a CSV file.
#pragma once

#include "app/CommandResult.h"
#include "core/History.h"

#include <string>
#include <vector>

// Writes the entries as CSV to path in one step, as /report writes its file: there whole, or as
// it was. Says in a message box why it could not be.
CommandResult WriteHistoryCsv(const std::string& path, const std::vector<HistoryEntry>& entries);

// /history: the whole history, oldest first.
CommandResult WriteHistoryReport(const std::string& path);
