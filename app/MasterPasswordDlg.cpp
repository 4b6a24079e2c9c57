#include "app/MasterPasswordDlg.h"

#include "core/Messages.h"
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
    if (!UpdateData(TRUE))
        return;
    if (m_strPassword != m_strRetype) {
        AfxMessageBox(text::RetypeDiffers);
        return;
    }
    if (m_strPassword.empty() &&
        MessageBoxA(m_hWnd, text::BlankMasterQuestion, text::BlankMasterCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    EndDialog(IDOK);
}
