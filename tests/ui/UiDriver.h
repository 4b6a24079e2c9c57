// A small driver that works the real Latchkey programs like a user does: it starts a program,
// finds its windows by caption and class, types into controls, presses buttons, reads and
// answers message boxes and the common file-open dialog, and waits for the program to end.
//
// Rules it keeps, so that tests stay fast and robust on a shared machine under Wine:
// - every wait polls quickly and gives up after a generous deadline (kWaitMs); no fixed sleeps;
// - anything that may open a modal window is posted, never sent, so the driver never blocks
//   inside the program's modal loop;
// - windows are matched only when visible and, where a process is given, owned by it.
// On the first failure of a test a screenshot of the screen is saved next to the test log
// (the test's working folder, or LK_UI_SHOT_DIR) and its path printed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

// How long any single wait may last.
constexpr DWORD kWaitMs = 15000;

// The folder of the shippable programs (environment LK_DIST_DIR) as a Windows path.
std::string DistDir();

// A job object: every process put into it, and every process those start in turn, is counted
// there. "It started nothing" then cannot be confused by process ids, which Wine reuses quickly.
class Job {
public:
    Job();
    ~Job();
    Job(Job&& other) noexcept;
    Job& operator=(Job&& other) noexcept;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Puts a running process into the job, made on first use (the handle needs
    // PROCESS_SET_QUOTA and PROCESS_TERMINATE); what it starts from then on is counted too.
    bool Add(HANDLE process);
    // How many processes have ever been in the job, ended ones included; 0 without a job.
    DWORD ProcessesEver() const;

private:
    HANDLE m_hJob = nullptr;
};

// The program behind a window that the driver did not start (the shell or the tool started it):
// its image path and its exit code. Killed when the object goes while it still runs. inJob puts it
// into a job at once, so that whatever it starts from then on is counted.
class WindowProcess {
public:
    explicit WindowProcess(HWND window, bool inJob = false);
    ~WindowProcess();
    WindowProcess(const WindowProcess&) = delete;
    WindowProcess& operator=(const WindowProcess&) = delete;

    DWORD Id() const { return m_dwId; }
    std::string ImagePath() const;
    // The exit code once it has ended within the time; STILL_ACTIVE when it has not.
    DWORD WaitForExit();
    // How many processes have been in its job, itself included: 1 while it started nothing.
    DWORD ProcessesInJob() const { return m_job.ProcessesEver(); }

private:
    DWORD m_dwId = 0;
    HANDLE m_hProcess = nullptr;
    Job m_job;
};

// A program the driver started. Killed when the object goes while the program still runs.
class Process {
public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts exePath in currentDir (empty: the driver's own); arguments follow the quoted path.
    // Returns a process with Id() 0 when it cannot be started.
    static Process Start(const std::string& exePath, const std::string& currentDir,
                         const std::string& arguments = std::string());
    // Starts as Start does, inside a job of its own from its first instruction on (created
    // suspended, put into the job, then resumed), so that ProcessesInJob() counts everything
    // it starts.
    static Process StartInJob(const std::string& exePath, const std::string& currentDir,
                              const std::string& arguments = std::string());
    // Starts as Start does, with arguments in UTF-16: names the code page cannot hold.
    static Process StartWide(const std::string& exePath, const std::string& currentDir, const std::wstring& arguments);
    // Starts as Start does, with this standard input and error (null: none), as a script runs it.
    // Both are inherited, so they must be inheritable.
    static Process StartWithStandardHandles(const std::string& exePath, const std::string& currentDir,
                                            const std::string& arguments, HANDLE input, HANDLE error);

    DWORD Id() const { return m_dwId; }
    bool Running() const;
    // True when the program ended within the time; its exit code then goes to exitCode.
    bool WaitForExit(DWORD* exitCode = nullptr, DWORD timeoutMs = kWaitMs);
    void Kill();
    // How many processes have been in its job, the program itself included (1: it started
    // nothing); 0 when it was not started in a job.
    DWORD ProcessesInJob() const { return m_job.ProcessesEver(); }

private:
    // How a program is started beyond its path, folder and arguments.
    struct Way {
        bool inJob = false;
        bool redirected = false;
        HANDLE input = nullptr;
        HANDLE error = nullptr;
    };
    static Process Start(const std::string& exePath, const std::string& currentDir, const std::wstring& arguments,
                         const Way& way);

    HANDLE m_hProcess = nullptr;
    DWORD m_dwId = 0;
    Job m_job;
};

// Closes a top-level window of a program the driver did not start (one the tested program
// started, such as Notepad) and waits for that program to end; kills it when it does not.
bool CloseProgramOf(HWND window, DWORD timeoutMs = kWaitMs);

// Polls condition until it holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);

// Visible top-level windows of process pid (0: of any process), optionally of one class.
std::vector<HWND> TopWindows(DWORD pid, const char* className = nullptr);
// The visible top-level window of pid with exactly this caption and class; null when none.
HWND FindTopWindow(DWORD pid, const std::string& caption, const char* className = "#32770");
HWND WaitForWindow(DWORD pid, const std::string& caption, const char* className = "#32770",
                   DWORD timeoutMs = kWaitMs);
// Waits for the first visible top-level window of pid that match accepts.
HWND WaitForWindowWhere(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs = kWaitMs);
// True once the window is gone or hidden.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kWaitMs);

std::string WindowText(HWND window);
std::string ClassName(HWND window);
DWORD ProcessOf(HWND window);

// The window that has the keyboard focus in the thread of window (a control of a dialog, say);
// null when none has.
HWND FocusedWindow(HWND window);

HWND Control(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
// The same in UTF-16, for a text the code page cannot hold (a shortcut's name).
std::wstring WideControlText(HWND dialog, int id);
// Replaces the text of a control (an edit box, or the file dialog's file-name box).
void SetControlText(HWND dialog, int id, const std::string& text);
// Memory lent in another process, for a message whose parameter points there (a control of that
// process reads and writes it); no address when it cannot be had.
class RemoteMemory {
public:
    RemoteMemory(DWORD pid, size_t bytes);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* Address() const { return m_address; }
    bool Write(const void* data, size_t bytes, size_t offset = 0) const;
    bool Read(void* data, size_t bytes, size_t offset = 0) const;

private:
    HANDLE m_process;
    char* m_address;
};

// The rows of a report-style list view of another process, each cell's text in UTF-8 (the list
// is asked in UTF-16 through memory lent in that process); empty when it cannot be read.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);
// Selects exactly the given rows of a list view of another process.
void SelectListViewRows(HWND list, const std::vector<int>& rows);
// The items of a list box of another process, in UTF-8 (the system carries list box texts across
// processes itself); and selects exactly the given items of a multiple-selection one.
std::vector<std::string> ListBoxItems(HWND list);
void SelectListBoxItems(HWND list, const std::vector<int>& items);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

// Clicks a button by id: the dialog gets the button's click notification.
void Press(HWND dialog, int id);
// A key pressed and released, sent where a real key goes: to the control of window's thread
// that has the focus (modal loops and menus take it from there).
void PressKey(HWND window, WORD virtualKey);
// A key pressed with Ctrl held, typed on the keyboard: control of window's dialog gets the focus
// and the dialog comes to the front, so that the program reads Ctrl's state as for a real key.
// False when the keys could not be typed.
bool TypeCtrlKey(HWND dialog, int control, WORD virtualKey);
// The Escape key as the dialog's modal loop sees it.
void PressEscape(HWND window);
// The close box of the title bar.
void PressCloseBox(HWND window);

// The ways a user gives up a dialog without confirming it: its Cancel button (the main window's
// Exit), the Escape key and the close box. Tests run the same case once with each.
struct WayToCancel {
    const char* how;
    void (*press)(HWND dialog);
};
extern const WayToCancel kWaysToCancel[3];
// A system-menu command (for example an entry a program added to its system menu).
void PostSysCommand(HWND window, WPARAM command);
// Opens the window's system menu as Alt+Space does; returns the visible menu (class #32768),
// null when none opened. Choose its entries with PressKey (VK_UP, VK_DOWN, VK_END, VK_RETURN).
HWND OpenSystemMenu(HWND window, DWORD timeoutMs = kWaitMs);

// A message box: a #32770 window of statics and buttons whose text is the static control 0xFFFF.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
bool IsMessageBox(HWND window);
// Waits for a visible message box of pid; window stays null when none came.
MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs = kWaitMs);
// Presses a button of a message box or dialog (OK by default) and waits until it is gone.
bool PressToClose(HWND window, int button = IDOK);

// The common file-open dialog: its caption is the title the program gave it.
HWND WaitForFileDialog(DWORD pid, const std::string& title, DWORD timeoutMs = kWaitMs);
// Picks path as a user does: types its folder into the file-name box (control 1148 in Wine) and
// presses Open, which takes the dialog there, then types the file name, presses Open and waits
// until the dialog closes.
bool PickFile(HWND fileDialog, const std::string& path);

} // namespace ui
