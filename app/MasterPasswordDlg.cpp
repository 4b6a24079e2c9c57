#include "app/MasterPasswordDlg.h"

#include "core/MasterPassword.h"
#include "core/Messages.h"
#include "core/ProtectRules.h"
#include "core/Secret.h"
#include "resource.h"

CMasterPasswordDlg::CMasterPasswordDlg(HWND parent) : CDialog(IDD_MASTERPASSWORD, parent) {}

CMasterPasswordDlg::~CMasterPasswordDlg()
{
    ClearSecret(m_password);
    ClearSecret(m_retype);
}

void CMasterPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_password);
    DDX_Text(pDX, IDC_RETYPE, m_retype);
}

void CMasterPasswordDlg::OnOK()
{
    // A password whose scrambled form holds a line end would be read back cut short, maybe to
    // nothing; the marker word would be read back as "no master password".
    if (!UpdateData(TRUE) || ScramblesToLineEnd(m_password)) {
        AfxMessageBox(text::PasswordNotStorable);
        return;
    }
    if (m_password != m_retype) {
        AfxMessageBox(text::RetypeDiffers);
        return;
    }
    if (m_password.empty() &&
        MessageBoxA(m_hWnd, text::BlankMasterQuestion, text::BlankMasterCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (m_password == OpenAccessMarker) {
        AfxMessageBox(text::MarkerNotAPassword);
        return;
    }
    EndDialog(IDOK);
}
