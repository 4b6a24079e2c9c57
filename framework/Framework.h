// The least of an application framework that Latchkey's dialogs need: an application object,
// modal dialogs over DialogBoxParamA with data exchange and their controls' notifications, and
// the standard message box. Beside it: ListView.h (a list view whose rows the dialog keeps) and
// BackgroundJob.h (a dialog's work on a thread of its own).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class CDialog;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's whole work: a dialog-based tool shows its dialogs here, modally, and the
    // program ends when it returns (there is no message loop after it).
    virtual void InitInstance();
    // Called when InitInstance is done; its result is the process exit code (0 by default).
    virtual int ExitInstance();
    // The icon at the large-icon size (SM_CXICON), as LoadIcon loads it.
    HICON LoadIcon(UINT id) const;
    // The executable's file name without folder and extension: every AfxMessageBox caption.
    const std::string& AppTitle() const { return m_title; }

    // Entered by the framework's WinMain; returns the process exit code.
    int Run(HINSTANCE instance);

    HINSTANCE m_instance = nullptr;
    CDialog* m_pMainWnd = nullptr;
    // Set for a command that nobody can answer (a script's, a task's): AfxMessageBox then shows
    // nothing and writes its text to standard error.
    bool m_noBoxes = false;

private:
    std::string m_title;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
std::string AfxAppTitle();
// The main window, owner of dialogs created without a parent; null before it exists.
HWND AfxGetMainHwnd();

// An icon of the program's resources at the small-icon size (SM_CXSMICON) for a title bar and
// task bar button: its own image of that size, not the large one scaled down. Shared, never freed.
HICON AfxLoadSmallIcon(UINT id);

// The standard message box: the application title as caption, owned by whatever window of ours
// is active (a dialog over the main window) or else the main window, the exclamation icon unless
// the type asks for another. Where the application shows no boxes, the text goes to standard
// error and the answer is OK to a box that only tells, else No or Cancel: nobody said yes.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}
    // Marks the exchange as failed; UpdateData then returns FALSE.
    void Fail() { m_failed = true; }

    HWND m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
};

// Each fails the exchange when the dialog has no such control. DDX_Text also fails it, and
// empties value, when the typed text holds a character the ANSI code page has no form for: it
// would come back as '?', which could even match a stored password.
void DDX_Text(CDataExchange* pDX, int controlId, std::string& value);
// UTF-16 for a text that may hold any character: a shortcut's name.
void DDX_Text(CDataExchange* pDX, int controlId, std::wstring& value);
void DDX_Check(CDataExchange* pDX, int controlId, bool& value);

// The whole text of a window, however long.
std::string GetWindowString(HWND window);
// The same, nullopt when it holds a character the ANSI code page has no form for.
std::optional<std::string> GetWindowAnsiString(HWND window);

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // IDOK, IDCANCEL or another end code; -1 when the dialog cannot be created.
    virtual INT_PTR DoModal();
    // Opens the dialog as a normal window even when the program was asked to start minimised or
    // maximised: Windows gives that request to the first window shown, and it may be meant for
    // a program this one starts.
    void OpenNormally() { m_openNormally = true; }
    // Runs DoDataExchange; FALSE when the exchange failed, so that OnOK can stop on it.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Moves the focus to a control as the Tab key does: an edit box gets all its text selected.
    void GotoDlgCtrl(int controlId);
    void EndDialog(int result);
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Commands other than OK and Cancel; TRUE when handled.
    virtual BOOL OnCommand(UINT id, UINT notifyCode);
    // A control's notification (WM_NOTIFY, in UTF-16: every dialog asks for that); TRUE when
    // handled, with the answer in result.
    virtual BOOL OnNotify(UINT controlId, NMHDR* header, LRESULT& result);
    // Any other window message; set handled to answer it instead of the default dialog procedure.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    bool m_openNormally = false;
};
