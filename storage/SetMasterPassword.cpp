#include "app/LinkProtectDlg.h"

#include "app/MasterPromptDlg.h"
#include "storage/MasterFile.h"
#include "storage/MasterPassword.h"
#include "storage/MasterPasswordDlg.h"

void CLinkProtectDlg::SetMasterPassword()
{
    std::optional<std::string> path = GetMasterFilePath();
    if (!path) {
        AfxMessageBox("GetSystemDirectory failed when finding master password info.");
        return;
    }
    MasterPasswordDecision current = DecideMasterPassword(ReadMasterFile(*path));
    if (current.promptNeeded && !PromptForMasterPassword(current.required))
        return;

    CMasterPasswordDlg dlg;
    if (dlg.DoModal() != IDOK)
        return;
    const std::string stored = MasterStoredValue(dlg.m_strPassword);

    path = GetMasterFilePath();
    if (!path) {
        AfxMessageBox("GetSystemDirectory failed when setting up master password!");
        return;
    }
    if (!WriteMasterFile(*path, stored)) {
        AfxMessageBox("Failed to save the master password:\n" + *path +
                      "\nThe master password has not been changed. Writing to the system folder needs "
                      "administrator rights.");
        return;
    }
    MessageBoxA(m_hWnd, "Master password has been updated.", "Succeed", MB_OK | MB_ICONINFORMATION);
}
