#include "launcher/LaunchPasswordDlg.h"

#include "LauncherResource.h"
#include "core/Messages.h"
#include "core/Secret.h"
#include "win/History.h"
#include "win/LockOutStore.h"

namespace {

constexpr UINT_PTR WaitTimer = 1;

} // namespace

CLaunchPasswordDlg::CLaunchPasswordDlg(const std::string& program, const std::string& expectedPassword,
                                       const std::string& recordPath, const std::wstring& shortcut,
                                       const std::string& targetPath)
    : CDialog(IDD_LAUNCHPASSWORD), m_program(program), m_strExpected(expectedPassword), m_strRecordPath(recordPath),
      m_strShortcut(shortcut), m_target(targetPath)
{
}

CLaunchPasswordDlg::~CLaunchPasswordDlg()
{
    ClearSecret(m_password);
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
    m_strPrompt = GetWindowString(GetDlgItem(m_hWnd, IDC_PROMPT));
    if (ShowLockOut())
        AddToHistory(NewHistoryEntry(HistoryResult::LockedOut, m_strShortcut, m_target));
    return TRUE;
}

void CLaunchPasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PROGRAM, m_program);
    DDX_Text(pDX, IDC_PASSWORD, m_password);
}

void CLaunchPasswordDlg::OnOK()
{
    ClearSecret(m_password);
    // No password is tried while the wait runs, right or wrong: OK is disabled, and Enter or a
    // click that gets here anyway is not counted.
    if (ShowLockOut())
        return;
    // A typed text that does not convert could only match a stored password by accident.
    if (!UpdateData(TRUE) || m_password != m_strExpected) {
        SaveLockOut(m_strRecordPath, AfterWrongPassword(LoadLockOut(m_strRecordPath), UtcSecondsNow()));
        AddToHistory(NewHistoryEntry(HistoryResult::WrongPassword, m_strShortcut, m_target));
        AfxMessageBox(text::PasswordNotCorrect);
        ShowLockOut();
        // The next try replaces the wrong text: the box takes the focus with all of it selected.
        GotoDlgCtrl(IDC_PASSWORD);
        return;
    }
    SaveLockOut(m_strRecordPath, LockOutState());
    EndDialog(IDOK);
}

INT_PTR CLaunchPasswordDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled)
{
    if (message == WM_TIMER && wParam == WaitTimer) {
        handled = true;
        ShowLockOut();
    }
    return 0;
}

bool CLaunchPasswordDlg::ShowLockOut()
{
    // Read each time: another launcher of this record may have counted meanwhile. A wait that
    // ends too far ahead (the clock was set back) is kept from now, so that it runs out.
    const long long now = UtcSecondsNow();
    const LockOutState stored = LoadLockOut(m_strRecordPath);
    const LockOutState state = Anchored(stored, now);
    if (state.lockedUntil != stored.lockedUntil)
        SaveLockOut(m_strRecordPath, state);
    const long long left = SecondsLeft(state, now);
    SetDlgItemTextA(m_hWnd, IDC_PROMPT, left > 0 ? LockedOutText(left).c_str() : m_strPrompt.c_str());
    EnableWindow(GetDlgItem(m_hWnd, IDOK), left == 0);
    const bool waiting = left > 0;
    if (waiting != m_bWaiting) {
        m_bWaiting = waiting;
        if (waiting)
            SetTimer(m_hWnd, WaitTimer, 250, nullptr);
        else
            KillTimer(m_hWnd, WaitTimer);
        // Where typing goes on: OK may have had the focus.
        GotoDlgCtrl(IDC_PASSWORD);
    }
    return waiting;
}
