// Reading back the CSV files Latchkey writes, as a spreadsheet would.
#pragma once

#include <string>
#include <vector>

namespace lktest {

// The rows of csv after its first line, each field unquoted; fails the test unless csv begins
// with header (byte-order mark and line end included), every line ends in CR LF and holds
// columns fields.
std::vector<std::vector<std::string>> CsvRows(const std::string& csv, const std::string& header, size_t columns);

} // namespace lktest
