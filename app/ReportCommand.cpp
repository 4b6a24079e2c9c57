#include "app/ReportCommand.h"

#include "core/Messages.h"
#include "core/ShortcutReport.h"
#include "framework/Framework.h"
#include "win/Files.h"
#include "win/Scoped.h"
#include "win/ShortcutScan.h"
#include "win/SystemError.h"

CommandResult WriteShortcutReport(const std::string& reportPath)
{
    ComApartment com;
    const ShortcutScan scan = ScanShortcuts(ShortcutFolders());
    if (!ReplaceWholeFile(reportPath, ShortcutReportCsv(scan.found))) {
        AfxMessageBox(ReportWriteFailedText(reportPath, SystemErrorText(GetLastError())));
        return CommandResult::Failed;
    }
    return CommandResult::Succeeded;
}
