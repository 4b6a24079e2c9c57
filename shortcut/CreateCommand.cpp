// The create command's windows: file picker, password dialog and messages around the file work.
#include "app/LinkProtectDlg.h"

#include "shortcut/AddPasswordDlg.h"
#include "shortcut/PickShortcut.h"
#include "shortcut/ProtectShortcut.h"
#include "storage/ProtectionRecord.h"

#include <ctime>

void CLinkProtectDlg::OnCreate()
{
    std::string pickedPath;
    if (PickShortcut("SELECT THE SHORTCUT YOU WANT TO ADD PASSWORD PROTECTION", pickedPath))
        CreateProtection(pickedPath);
}

HRESULT CLinkProtectDlg::CreateProtection(const std::string& pickedPath)
{
    LoadedShortcut loaded = LoadShortcutForProtection(pickedPath);
    if (loaded.message != ProtectMessage::None) {
        AfxMessageBox(ProtectMessageText(loaded.message, std::string(), std::string()));
        return loaded.status;
    }

    CAddPasswordDlg dlg;
    dlg.m_strTarget = loaded.info.targetPath;
    dlg.m_strProgram = BaseName(pickedPath);
    if (dlg.DoModal() != IDOK)
        return loaded.status;

    // One stamp names both the record and any icon copy.
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (const std::tm* converted = std::localtime(&now))
        local = *converted;
    std::string stamp = FormatTimeStamp(local);
    ProtectOutcome outcome =
        ApplyProtection(pickedPath, loaded.info, dlg.m_strPassword, dlg.m_bUseOriginalIcon == 1, stamp);

    std::string text = ProtectMessageText(outcome.message, dlg.m_strProgram, outcome.recordPath);
    if (outcome.message == ProtectMessage::Succeeded)
        MessageBoxA(m_hWnd, text.c_str(), "Succeed!", MB_OK | MB_ICONINFORMATION);
    else if (!text.empty())
        AfxMessageBox(text);
    return outcome.status;
}
