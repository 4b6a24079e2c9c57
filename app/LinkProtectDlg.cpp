#include "app/LinkProtectDlg.h"

#include "resource.h"

CLinkProtectDlg::CLinkProtectDlg() : CDialog(IDD_LATCHKEY_DIALOG), m_hMainIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME))
{
    CoInitialize(nullptr);
}

BOOL CLinkProtectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CLinkProtectDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_CREATE: OnCreate(); return TRUE;
    case IDC_REMOVE: OnRemove(); return TRUE;
    case IDC_SETMASTER: SetMasterPassword(); return TRUE;
    case IDC_README: OnReadMe(); return TRUE;
    case IDC_ABOUT: OnAbout(); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CLinkProtectDlg::OnMessage(UINT, WPARAM, LPARAM, bool&)
{
    return 0;
}

void CLinkProtectDlg::OnReadMe() {}
void CLinkProtectDlg::OnAbout() {}
