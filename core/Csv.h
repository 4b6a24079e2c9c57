// One field of a CSV file as spreadsheets read it back: the text itself, never a formula.
#pragma once

#include <string>

// text as one CSV field: quoted where it must be (a comma, a quote or a line end; quotes doubled),
// and led by a single quote where a spreadsheet would take it for a formula (a first character
// of =, +, -, @, a tab or a carriage return), so that a name someone else chose cannot run there.
std::string CsvField(const std::string& text);
