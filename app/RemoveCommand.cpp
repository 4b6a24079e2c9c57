#include "app/RemoveCommand.h"

#include "app/PickShortcut.h"
#include "app/RemovePasswordDlg.h"
#include "core/Paths.h"
#include "core/Secret.h"
#include "framework/Framework.h"
#include "win/HeldFolder.h"
#include "win/RemoveFiles.h"
#include "win/Scoped.h"

CommandResult RemoveProtection(const std::string& pickedPath)
{
    // Shortcut access needs COM; it is started here, not with the program.
    ComApartment com;
    // A missing or damaged record is reported before anyone is asked for a password.
    LoadedProtection loaded = LoadProtectedShortcut(pickedPath);
    if (loaded.result != RemoveResult::None)
        AfxMessageBox(RemoveMessageText(loaded.result, std::string(), loaded.recordPath));
    if (!loaded.Ready())
        return CommandResult::Failed;

    // Held from the read to the write: the restored shortcut lands where the protected one was.
    HeldFolder linkFolder(FolderOf(pickedPath));
    if (!linkFolder.StillThere()) {
        AfxMessageBox(text::FolderNotHeld);
        return CommandResult::Failed;
    }

    const std::string baseName = BaseName(pickedPath);
    CRemovePasswordDlg dlg;
    dlg.m_strLinkPassword = loaded.record.password;
    ClearSecret(loaded.record.password); // the dialog's copy is the one still needed
    dlg.m_strTarget = "Target shortcut: " + pickedPath;
    dlg.m_strProgram = baseName;
    if (dlg.DoModal() != IDOK)
        return CommandResult::Cancelled;
    if (!linkFolder.StillThere()) {
        AfxMessageBox(text::FolderNotHeld);
        return CommandResult::Failed;
    }

    RemoveOutcome outcome = RestoreShortcut(pickedPath, loaded);
    if (outcome.iconRefused)
        AfxMessageBox(text::SetIconFailed);
    const std::string message = RemoveMessageText(outcome.result, baseName, loaded.recordPath);
    if (outcome.result == RemoveResult::Succeeded) {
        MessageBoxA(AfxGetMainHwnd(), message.c_str(), text::RemoveSucceededCaption, MB_OK | MB_ICONINFORMATION);
        return CommandResult::Succeeded;
    }
    AfxMessageBox(message);
    return CommandResult::Failed;
}

CommandResult PickAndRemoveProtection()
{
    std::string pickedPath;
    if (!PickShortcut(text::PickToRemoveTitle, pickedPath))
        return CommandResult::Cancelled;
    return RemoveProtection(pickedPath);
}
