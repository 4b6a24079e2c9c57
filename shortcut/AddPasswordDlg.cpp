#include "shortcut/AddPasswordDlg.h"

#include "resource.h"

CAddPasswordDlg::CAddPasswordDlg(HWND parent) : CDialog(IDD_ADDPASSWORD, parent) {}

CAddPasswordDlg::~CAddPasswordDlg() = default;

void CAddPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROGRAM, m_strProgram);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_RETYPE, m_strRetype);
    DDX_Text(pDX, IDC_TARGET, m_strTarget);
    DDX_Check(pDX, IDC_USEORIGINALICON, m_bUseOriginalIcon);
}

void CAddPasswordDlg::OnOK()
{
    UpdateData(TRUE);
    if (m_strPassword.empty()) {
        AfxMessageBox("You cannot have empty password.");
        return;
    }
    if (m_strPassword != m_strRetype) {
        AfxMessageBox("The password you retyped is not the same as the first one. Try again.");
        return;
    }
    EndDialog(IDOK);
}
