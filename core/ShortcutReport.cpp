#include "core/ShortcutReport.h"

bool IsBroken(ShortcutState state)
{
    return state == ShortcutState::RecordMissing || state == ShortcutState::RecordDamaged ||
           state == ShortcutState::LauncherMissing;
}

std::string CsvField(const std::string& text)
{
    // A spreadsheet would run a field that starts like a formula; a quote mark before it keeps it text.
    const bool formula = !text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos;
    const std::string field = formula ? "'" + text : text;
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string ScanSummary(const std::vector<FoundShortcut>& found, int unreadable)
{
    size_t protectedCount = 0, startsProtected = 0, broken = 0;
    for (const FoundShortcut& shortcut : found) {
        if (shortcut.state == ShortcutState::Protected)
            ++protectedCount;
        else if (shortcut.state == ShortcutState::StartsProtectedProgram)
            ++startsProtected;
        else if (IsBroken(shortcut.state))
            ++broken;
    }
    return ScanSummaryText(found.size(), protectedCount, startsProtected, broken, unreadable);
}

std::string ShortcutReportCsv(const std::vector<FoundShortcut>& found)
{
    std::string csv = "\xEF\xBB\xBF" "Shortcut,Program,State\r\n";
    for (const FoundShortcut& shortcut : found)
        csv += CsvField(shortcut.path) + ',' + CsvField(shortcut.program) + ',' +
               CsvField(ShortcutStateText(shortcut.state)) + "\r\n";
    return csv;
}
