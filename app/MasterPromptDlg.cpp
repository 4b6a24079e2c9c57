#include "app/MasterPromptDlg.h"

#include "resource.h"

CMasterPromptDlg::CMasterPromptDlg(HWND parent) : CDialog(IDD_MASTERPROMPT, parent) {}

void CMasterPromptDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

bool PromptForMasterPassword(const std::string& required)
{
    CMasterPromptDlg prompt;
    for (;;) {
        if (prompt.DoModal() != IDOK)
            return false;
        if (prompt.m_strPassword == required)
            return true;
        AfxMessageBox("Password not correct!");
    }
}
