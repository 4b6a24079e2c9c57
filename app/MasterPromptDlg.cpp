#include "app/MasterPromptDlg.h"

#include "core/Secret.h"
#include "resource.h"

CMasterPromptDlg::CMasterPromptDlg(HWND parent) : CDialog(IDD_MASTERPROMPT, parent) {}

CMasterPromptDlg::~CMasterPromptDlg()
{
    ClearSecret(m_password);
}

void CMasterPromptDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_password);
}

void CMasterPromptDlg::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}
