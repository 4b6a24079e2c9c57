#include "framework/Framework.h"

#include "core/Paths.h"
#include "core/Secret.h"
#include "win/Strings.h"
#include "win/Unattended.h"

namespace {

// Posted to a dialog that opens normally whatever the program's start-up show command says.
constexpr UINT RestoreMessage = WM_APP + 0x4C4B;

// The one application object registers itself here when it is constructed.
CWinApp*& CurrentApp()
{
    static CWinApp* app = nullptr;
    return app;
}

std::string ModuleTitle(HINSTANCE instance)
{
    return ToAnsi(BaseName(ModulePath(instance).value_or(std::wstring()))).value_or(std::string());
}

// Our templates give no position: like the framework this stands in for, open each dialog centred
// over its owner, or over the screen's work area when it has none, and never off the screen.
void CentreDialog(HWND dialog)
{
    RECT window;
    if (!GetWindowRect(dialog, &window))
        return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    HWND owner = GetWindow(dialog, GW_OWNER);
    bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
    if (!GetMonitorInfoA(MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    RECT area = monitor.rcWork;
    if (overOwner)
        GetWindowRect(owner, &area);

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = (area.left + area.right - width) / 2;
    LONG y = (area.top + area.bottom - height) / 2;
    const RECT& work = monitor.rcWork;
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CWinApp::CWinApp()
{
    CurrentApp() = this;
}

CWinApp::~CWinApp()
{
    if (CurrentApp() == this)
        CurrentApp() = nullptr;
}

void CWinApp::InitInstance() {}

int CWinApp::ExitInstance()
{
    return 0;
}

HICON CWinApp::LoadIcon(UINT id) const
{
    return ::LoadIconA(m_instance, MAKEINTRESOURCEA(id));
}

int CWinApp::Run(HINSTANCE instance)
{
    m_instance = instance;
    m_title = ModuleTitle(instance);
    InitInstance();
    return ExitInstance();
}

CWinApp* AfxGetApp()
{
    return CurrentApp();
}

HINSTANCE AfxGetResourceHandle()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_instance ? app->m_instance : GetModuleHandleA(nullptr);
}

HICON AfxLoadSmallIcon(UINT id)
{
    return static_cast<HICON>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

std::string AfxAppTitle()
{
    CWinApp* app = AfxGetApp();
    if (app && !app->AppTitle().empty())
        return app->AppTitle();
    return ModuleTitle(nullptr);
}

HWND AfxGetMainHwnd()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
}

int AfxMessageBox(const std::string& text, UINT type)
{
    return AfxMessageBox(ToWide(text), type);
}

int AfxMessageBox(const std::wstring& text, UINT type)
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_noBoxes) {
        WriteStandardError(text);
        const UINT buttons = type & MB_TYPEMASK;
        return buttons == MB_OK ? IDOK : buttons == MB_YESNO ? IDNO : IDCANCEL;
    }
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    // Owned by whatever window of ours is active (a dialog over the main window), else the main window.
    HWND owner = GetActiveWindow();
    if (!owner)
        owner = AfxGetMainHwnd();
    return MessageBoxW(owner, text.c_str(), ToWide(AfxAppTitle()).c_str(), type);
}

std::string GetWindowString(HWND window)
{
    int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::optional<std::string> GetWindowAnsiString(HWND window)
{
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    std::optional<std::string> ansi = ToAnsi(text);
    ClearSecret(text); // it may be a password
    return ansi;
}

void DDX_Text(CDataExchange* pDX, int controlId, std::string& value)
{
    HWND control = GetDlgItem(pDX->m_dialog, controlId);
    if (!control) {
        pDX->Fail();
        return;
    }
    if (pDX->m_saveAndValidate) {
        // The old text is cleared, and the new one taken over rather than copied: a password
        // leaves no copy behind in freed memory.
        std::optional<std::string> text = GetWindowAnsiString(control);
        ClearSecret(value);
        if (text)
            value.swap(*text);
        else
            pDX->Fail();
    } else
        SetWindowTextA(control, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int controlId, std::wstring& value)
{
    HWND control = GetDlgItem(pDX->m_dialog, controlId);
    if (!control) {
        pDX->Fail();
        return;
    }
    if (pDX->m_saveAndValidate) {
        const int length = GetWindowTextLengthW(control);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const int copied = GetWindowTextW(control, &text[0], static_cast<int>(text.size()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        value.swap(text);
    } else
        SetWindowTextW(control, value.c_str());
}

void DDX_Check(CDataExchange* pDX, int controlId, bool& value)
{
    if (!GetDlgItem(pDX->m_dialog, controlId)) {
        pDX->Fail();
        return;
    }
    if (pDX->m_saveAndValidate)
        value = IsDlgButtonChecked(pDX->m_dialog, controlId) == BST_CHECKED;
    else
        CheckDlgButton(pDX->m_dialog, controlId, value ? BST_CHECKED : BST_UNCHECKED);
}

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    HWND owner = m_parent ? m_parent : AfxGetMainHwnd();
    return DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId), owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(m_hWnd, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return dx.m_failed ? FALSE : TRUE;
}

void CDialog::GotoDlgCtrl(int controlId)
{
    if (HWND control = GetDlgItem(m_hWnd, controlId))
        SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(UINT, UINT)
{
    return FALSE;
}

BOOL CDialog::OnNotify(UINT, NMHDR*, LRESULT&)
{
    return FALSE;
}

INT_PTR CDialog::OnMessage(UINT, WPARAM, LPARAM, bool&)
{
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->m_hWnd = window;
        CentreDialog(window);
        // Asked for once the dialog manager has shown the dialog: only a later call is honoured.
        if (self->m_openNormally)
            PostMessageA(window, RestoreMessage, 0, 0);
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;

    if (message == WM_COMMAND) {
        UINT id = LOWORD(wParam);
        UINT code = HIWORD(wParam);
        if (id == IDOK && code == BN_CLICKED) {
            self->OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            self->OnCancel();
            return TRUE;
        }
        return self->OnCommand(id, code);
    }
    if (message == RestoreMessage) {
        if (IsIconic(window) || IsZoomed(window))
            ShowWindow(window, SW_RESTORE);
        return TRUE;
    }
    if (message == WM_NOTIFYFORMAT) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, NFR_UNICODE);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const auto header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (!self->OnNotify(static_cast<UINT>(header->idFrom), header, result))
            return FALSE;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY)
        self->m_hWnd = nullptr;

    bool handled = false;
    INT_PTR result = self->OnMessage(message, wParam, lParam, handled);
    return handled ? result : FALSE;
}
