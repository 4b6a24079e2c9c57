#include "app/MainWindow.h"

#include "app/AboutDlg.h"
#include "app/HistoryDlg.h"
#include "app/MasterPasswordCommand.h"
#include "app/ProtectCommand.h"
#include "app/RemoveCommand.h"
#include "app/ShortcutCommand.h"
#include "app/ShortcutsDlg.h"
#include "core/Paths.h"
#include "core/Messages.h"
#include "resource.h"
#include "win/Process.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemError.h"
#include "win/SystemLibrary.h"

#include <shellapi.h>
#include <shlobj.h> // DROPFILES

CMainWindow::CMainWindow()
    : CDialog(IDD_LATCHKEY_DIALOG), m_mainIcon(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

BOOL CMainWindow::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        std::string about = LoadResourceString(AfxGetResourceHandle(), IDS_ABOUTBOX).value_or(std::string());
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_mainIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AfxLoadSmallIcon(IDR_MAINFRAME)));

    m_startDir = CurrentDirectory().value_or(std::string());

    // Shortcuts may be dropped on the window. The tool runs elevated, and Windows keeps the
    // messages of a drop from a non-elevated Explorer away unless this window lets them in.
    SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    constexpr UINT CopyGlobalData = 0x0049; // carries the dropped file list across the boundary
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), CopyGlobalData})
        ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);
    return TRUE; // the focus goes to the first control, the protect button
}

template <class Command>
void CMainWindow::RunCommand(Command command)
{
    // The dialogs of a command keep dispatching this window's posted messages: a second command
    // started from there would work on the same shortcut, or the same master file, at once.
    if (m_commandRunning)
        return;
    m_commandRunning = true;
    command();
    m_commandRunning = false;
}

BOOL CMainWindow::OnCommand(UINT id, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_CREATE: RunCommand([] { PickAndProtectShortcut(); }); return TRUE;
    case IDC_REMOVE: RunCommand([] { PickAndRemoveProtection(); }); return TRUE;
    case IDC_SETMASTER: RunCommand([] { SetMasterPassword(); }); return TRUE;
    case IDC_README: RunCommand([this] { OnHelp(); }); return TRUE;
    case IDC_ABOUT: RunCommand([this] { OnAbout(); }); return TRUE;
    case IDC_SHORTCUTS: RunCommand([] { ShowShortcutsWindow(); }); return TRUE;
    case IDC_HISTORY: RunCommand([this] { ShowHistoryWindow(m_hWnd); }); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled)
{
    switch (message) {
    case WM_SYSCOMMAND:
        handled = OnSysCommand(static_cast<UINT>(wParam));
        return TRUE;
    case WM_PAINT:
        handled = OnPaint();
        return 0;
    case WM_DROPFILES:
        handled = true;
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_QUERYDRAGICON:
        handled = true;
        return reinterpret_cast<INT_PTR>(m_mainIcon);
    default:
        return 0;
    }
}

bool CMainWindow::OnSysCommand(UINT id)
{
    if ((id & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    RunCommand([this] { OnAbout(); });
    return true;
}

bool CMainWindow::OnPaint()
{
    if (!IsIconic(m_hWnd))
        return false;
    PaintScope paint(m_hWnd);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
    int iconWidth = GetSystemMetrics(SM_CXICON);
    int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - iconWidth + 1) / 2;
    int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(paint.Dc(), x, y, m_mainIcon);
    return true;
}

void CMainWindow::OnDropFiles(HDROP drop)
{
    // The wide form: the code-page one would turn look-alikes (a full-width backslash) into the real thing.
    auto queryFile = SystemFunction<decltype(&DragQueryFileW)>("shell32.dll", "DragQueryFileW");
    auto finish = SystemFunction<decltype(&DragFinish)>("shell32.dll", "DragFinish");
    if (!queryFile || !finish)
        return;
    // Any program may post this message to the window, so its handle is released only when it
    // is a file list this process holds: freeing anything else would corrupt our memory.
    const SIZE_T size = GlobalSize(drop);
    const UINT count = size > sizeof(DROPFILES) ? queryFile(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    std::wstring widePath;
    if (count == 1) {
        const UINT length = queryFile(drop, 0, nullptr, 0);
        widePath.assign(length + 1, L'\0');
        widePath.resize(queryFile(drop, 0, &widePath[0], length + 1));
    }
    if (count > 0)
        finish(drop);
    if (m_commandRunning)
        return;

    RunCommand([&] {
        // The name may hold any character; only its extension is compared.
        const std::string ending = ToUtf8(widePath.size() > 4 ? widePath.substr(widePath.size() - 4) : widePath);
        const DWORD attributes = GetFileAttributesW(widePath.c_str());
        if (widePath.empty() || LowerAscii(ending) != ".lnk" || attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            AfxMessageBox(text::DropOneShortcut);
            return;
        }
        RunShortcutCommand(ToolAction::Decide, widePath);
    });
}

void CMainWindow::OnHelp()
{
    // The shortcut pickers leave the current directory elsewhere; the read-me lives where we started.
    SetCurrentDirectoryA(m_startDir.c_str());

    // By its full path: a bare name is looked for in our own folder and the current one first.
    const std::optional<std::string> windows = WindowsDirectory();
    const std::string notepad = windows ? *windows + "\\notepad.exe" : std::string();
    DWORD error = windows ? StartProcess(notepad, "\"" + notepad + "\" LatchkeyReadMe.txt", std::string(), true)
                          : GetLastError();
    if (error == 0)
        return;
    AfxMessageBox(text::HelpFailed);
    AfxMessageBox(SystemErrorText(error), MB_OK | MB_ICONINFORMATION);
}

void CMainWindow::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}
