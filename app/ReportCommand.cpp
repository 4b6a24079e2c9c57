#include "app/ReportCommand.h"

#include "core/Messages.h"
#include "core/Paths.h"
#include "core/ShortcutReport.h"
#include "framework/Framework.h"
#include "win/Files.h"
#include "win/HeldFolder.h"
#include "win/Scoped.h"
#include "win/ShortcutLook.h"
#include "win/Strings.h"
#include "win/SystemError.h"

CommandResult WriteShortcutReport(const std::string& reportPath)
{
    // A device or a file's stream is no report: writing there would not make a file anyone reads.
    if (IsDeviceOrStreamPath(reportPath)) {
        AfxMessageBox(ReportWriteFailedText(reportPath, text::ReportNotAFile));
        return CommandResult::Failed;
    }
    // Held from before the look until the write, so that the report lands in the folder named,
    // never through a link or junction someone put on the way.
    const std::string fullPath = FullPathName(reportPath).value_or(reportPath);
    const HeldFolder folder(FolderOf(fullPath));
    if (!folder.IsHeld()) {
        const bool missing = GetFileAttributesA(FolderOf(fullPath).c_str()) == INVALID_FILE_ATTRIBUTES;
        AfxMessageBox(ReportWriteFailedText(reportPath, missing ? SystemErrorText(GetLastError())
                                                                : std::string(text::ReportFolderNotHeld)));
        return CommandResult::Failed;
    }
    ComApartment com;
    const ShortcutLook look = LookForShortcuts(ShortcutFolders());
    if (!ReplaceWholeFile(folder, fullPath, ShortcutReportCsv(look.found))) {
        const DWORD error = GetLastError();
        AfxMessageBox(ReportWriteFailedText(reportPath, folder.StillThere() ? SystemErrorText(error)
                                                                            : std::string(text::ReportFolderNotHeld)));
        return CommandResult::Failed;
    }
    return CommandResult::Succeeded;
}
