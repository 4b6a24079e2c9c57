#include "app/MasterPromptDlg.h"

#include "resource.h"

CMasterPromptDlg::CMasterPromptDlg(HWND parent) : CDialog(IDD_MASTERPROMPT, parent) {}

void CMasterPromptDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

void CMasterPromptDlg::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}
