#include "launcher/LaunchPasswordDlg.h"

#include "LauncherResource.h"
#include "core/Messages.h"
#include "core/Secret.h"

CLaunchPasswordDlg::CLaunchPasswordDlg(const std::string& program, const std::string& expectedPassword)
    : CDialog(IDD_LAUNCHPASSWORD), m_strProgram(program), m_strExpected(expectedPassword)
{
}

CLaunchPasswordDlg::~CLaunchPasswordDlg()
{
    ClearSecret(m_strPassword);
    ClearSecret(m_strExpected);
}

BOOL CLaunchPasswordDlg::OnInitDialog()
{
    // The dialog is the launcher's only window: it carries the icon on its title bar and task bar button.
    if (HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr)
        SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (HICON icon = AfxLoadSmallIcon(IDR_MAINFRAME))
        SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    CDialog::OnInitDialog();
    // Started from the shell, the launcher may open behind the window that was active.
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

void CLaunchPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PROGRAM, m_strProgram);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

void CLaunchPasswordDlg::OnOK()
{
    ClearSecret(m_strPassword);
    // A typed text that does not convert could only match a stored password by accident.
    if (!UpdateData(TRUE) || m_strPassword != m_strExpected) {
        AfxMessageBox(text::PasswordNotCorrect);
        // The next try replaces the wrong text: the box takes the focus with all of it selected.
        GotoDlgCtrl(IDC_PASSWORD);
        return;
    }
    EndDialog(IDOK);
}
