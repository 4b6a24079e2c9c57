#include "app/RemovePasswordDlg.h"

#include "core/Messages.h"
#include "core/Secret.h"
#include "resource.h"

#include <algorithm>

CRemovePasswordDlg::CRemovePasswordDlg(HWND parent) : CDialog(IDD_REMOVEPASSWORD, parent) {}

CRemovePasswordDlg::~CRemovePasswordDlg()
{
    ClearSecret(m_strPassword);
    for (std::string& password : m_linkPasswords)
        ClearSecret(password);
}

void CRemovePasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_TARGET, m_strTarget);
    DDX_Text(pDX, IDC_PROGRAM, m_strProgram);
}

void CRemovePasswordDlg::OnOK()
{
    // A typed text that does not convert could only match a stored password by accident.
    const bool read = UpdateData(TRUE);
    const bool known =
        std::find(m_linkPasswords.begin(), m_linkPasswords.end(), m_strPassword) != m_linkPasswords.end();
    if (!read || !known) {
        AfxMessageBox(text::PasswordNotCorrect);
        return;
    }
    EndDialog(IDOK);
}
