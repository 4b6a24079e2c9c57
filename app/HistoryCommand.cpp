#include "app/HistoryCommand.h"

#include "core/Messages.h"
#include "framework/Framework.h"
#include "win/Files.h"
#include "win/History.h"
#include "win/SystemError.h"

CommandResult WriteHistoryCsv(const std::string& path, const std::vector<HistoryEntry>& entries)
{
    if (!ReplaceWholeFile(path, HistoryCsv(entries))) {
        AfxMessageBox(HistoryWriteFailedText(path, SystemErrorText(GetLastError())));
        return CommandResult::Failed;
    }
    return CommandResult::Succeeded;
}

CommandResult WriteHistoryReport(const std::string& path)
{
    return WriteHistoryCsv(path, ReadHistory());
}
