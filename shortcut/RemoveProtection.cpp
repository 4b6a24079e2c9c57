// The remove command's windows: file picker, Security dialog and messages around the file work.
#include "app/LinkProtectDlg.h"

#include "shortcut/PickShortcut.h"
#include "shortcut/ProtectRules.h"
#include "shortcut/RemovePasswordDlg.h"
#include "shortcut/UnprotectShortcut.h"

HRESULT CLinkProtectDlg::RemoveProtection(const std::string& pickedPath)
{
    // A missing or damaged record is reported before anyone is asked for a password.
    LoadedProtection loaded = LoadProtectedShortcut(pickedPath);
    if (loaded.message != RemoveMessage::None)
        AfxMessageBox(RemoveMessageText(loaded.message, std::string(), loaded.recordPath));
    if (!loaded.Ready())
        return loaded.status;

    const std::string baseName = BaseName(pickedPath);
    CRemovePasswordDlg dlg;
    dlg.m_strLinkPassword = loaded.record.password;
    dlg.m_strTarget = "Target shortcut: " + pickedPath;
    dlg.m_strProgram = baseName;
    if (dlg.DoModal() != IDOK)
        return -1;

    RemoveOutcome outcome = RestoreShortcut(pickedPath, loaded);
    const std::string text = RemoveMessageText(outcome.message, baseName, loaded.recordPath);
    if (outcome.message == RemoveMessage::Succeeded)
        MessageBoxA(GetSafeHwnd(), text.c_str(), "Removal Succeed", MB_OK | MB_ICONINFORMATION);
    else
        AfxMessageBox(text);
    return outcome.status;
}

void CLinkProtectDlg::OnRemove()
{
    std::string pickedPath;
    if (PickShortcut("*** REMOVE password protection -- select the shortcut you want to remove password protection",
                     pickedPath))
        RemoveProtection(pickedPath);
}
