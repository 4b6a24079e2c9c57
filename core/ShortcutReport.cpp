#include "core/ShortcutReport.h"

#include "core/Csv.h"
#include "core/Messages.h"

bool IsBroken(ShortcutState state)
{
    return state == ShortcutState::RecordMissing || state == ShortcutState::RecordDamaged ||
           state == ShortcutState::LauncherMissing;
}

std::string LookSummary(const std::vector<FoundShortcut>& found, int unreadable, bool limitReached)
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
    return LookSummaryText(found.size(), protectedCount, startsProtected, broken, unreadable, limitReached, MaxLookShortcuts,
                           MaxLookFolders);
}

std::string ShortcutReportCsv(const std::vector<FoundShortcut>& found)
{
    std::string csv = "\xEF\xBB\xBF" "Shortcut,Program,State\r\n";
    for (const FoundShortcut& shortcut : found)
        csv += CsvField(shortcut.path) + ',' + CsvField(shortcut.program) + ',' +
               CsvField(ShortcutStateText(shortcut.state)) + "\r\n";
    return csv;
}
