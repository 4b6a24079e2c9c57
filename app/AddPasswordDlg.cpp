#include "app/AddPasswordDlg.h"

#include "core/Messages.h"
#include "core/ProtectRules.h"
#include "core/Secret.h"
#include "resource.h"

CAddPasswordDlg::CAddPasswordDlg(HWND parent) : CDialog(IDD_ADDPASSWORD, parent) {}

CAddPasswordDlg::~CAddPasswordDlg()
{
    ClearSecret(m_strPassword);
    ClearSecret(m_strRetype);
}

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
    if (!UpdateData(TRUE) || ScramblesToLineEnd(m_strPassword)) {
        AfxMessageBox(text::PasswordNotStorable);
        return;
    }
    if (m_strPassword.empty()) {
        AfxMessageBox(text::EmptyPassword);
        return;
    }
    if (m_strPassword != m_strRetype) {
        AfxMessageBox(text::RetypeDiffers);
        return;
    }
    EndDialog(IDOK);
}
