#include "storage/MasterPasswordDlg.h"

#include "resource.h"

CMasterPasswordDlg::CMasterPasswordDlg(HWND parent) : CDialog(IDD_MASTERPASSWORD, parent) {}

void CMasterPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_RETYPE, m_strRetype);
}

void CMasterPasswordDlg::OnOK()
{
    UpdateData(TRUE);
    if (m_strPassword != m_strRetype) {
        AfxMessageBox("The password you retyped is not the same as the first one. Try again.");
        return;
    }
    if (m_strPassword.empty() &&
        MessageBoxA(m_hWnd,
                    "You didn't enter anything as the master password.\n"
                    "Blank master password means everyone can access this program.\n"
                    "Are you sure to do it?",
                    "Disabling master password", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    CDialog::OnOK();
}
