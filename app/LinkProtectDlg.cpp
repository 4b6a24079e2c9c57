#include "app/LinkProtectDlg.h"

#include "app/AboutDlg.h"
#include "resource.h"

#include <vector>

namespace {

std::string LoadResourceString(UINT id)
{
    std::vector<char> buffer(256);
    for (;;) {
        int length = LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) < buffer.size() - 1 || buffer.size() >= 65536)
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string CurrentDirectory()
{
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0)
        return std::string();
    std::string directory(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, &directory[0]);
    if (length == 0 || length >= needed)
        return std::string();
    directory.resize(length);
    return directory;
}

} // namespace

CLinkProtectDlg::CLinkProtectDlg() : CDialog(IDD_LATCHKEY_DIALOG), m_hMainIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME))
{
    // Shortcut access needs COM on this thread, the only one. Nothing here depends on the result,
    // and COM stays initialised for the life of the process.
    CoInitialize(nullptr);
}

BOOL CLinkProtectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
        std::string about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hMainIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hMainIcon));

    m_szStartDir = CurrentDirectory();
    return TRUE; // the focus goes to the first control, the CREATE button
}

BOOL CLinkProtectDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_CREATE: OnCreate(); return TRUE;
    case IDC_REMOVE: OnRemove(); return TRUE;
    case IDC_SETMASTER: SetMasterPassword(); return TRUE;
    case IDC_README: OnReadMe(); return TRUE;
    case IDC_ABOUT: OnAbout(); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CLinkProtectDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled)
{
    switch (message) {
    case WM_SYSCOMMAND:
        handled = OnSysCommand(static_cast<UINT>(wParam));
        return TRUE;
    case WM_PAINT:
        handled = OnPaint();
        return 0;
    case WM_QUERYDRAGICON:
        handled = true;
        return reinterpret_cast<INT_PTR>(m_hMainIcon);
    default:
        return 0;
    }
}

bool CLinkProtectDlg::OnSysCommand(UINT id)
{
    if ((id & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    OnAbout();
    return true;
}

bool CLinkProtectDlg::OnPaint()
{
    if (!IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int iconWidth = GetSystemMetrics(SM_CXICON);
    int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - iconWidth + 1) / 2;
    int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hMainIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

void CLinkProtectDlg::OnReadMe()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);

    // The shortcut pickers leave the current directory elsewhere; the read-me lives where we started.
    SetCurrentDirectoryA(m_szStartDir.c_str());

    std::string commandLine = "notepad.exe LatchkeyReadMe.txt"; // CreateProcessA may write into it
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }

    DWORD error = GetLastError();
    AfxMessageBox("Failed to use notepad to read help file.");
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (length > 0 && text)
        AfxMessageBox(std::string(text, length), MB_OK | MB_ICONINFORMATION);
    else
        AfxMessageBox("System error " + std::to_string(error) + ".", MB_OK | MB_ICONINFORMATION);
    LocalFree(text);
}

void CLinkProtectDlg::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}
