#include "app/RemovePasswordDlg.h"

#include "core/Messages.h"
#include "core/Secret.h"
#include "resource.h"

#include <algorithm>

CRemovePasswordDlg::CRemovePasswordDlg(HWND parent) : CDialog(IDD_REMOVEPASSWORD, parent) {}

CRemovePasswordDlg::~CRemovePasswordDlg()
{
    ClearSecret(m_strPassword);
    ClearSecret(m_strLinkPassword);
    for (std::string& password : m_vecLinkPasswords)
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
    const bool known = m_vecLinkPasswords.empty()
                           ? m_strPassword == m_strLinkPassword
                           : std::find(m_vecLinkPasswords.begin(), m_vecLinkPasswords.end(), m_strPassword) !=
                                 m_vecLinkPasswords.end();
    if (!read || !known) {
        AfxMessageBox(text::PasswordNotCorrect);
        return;
    }
    EndDialog(IDOK);
}
