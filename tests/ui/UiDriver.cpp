#include "tests/ui/UiDriver.h"

#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"
#include "tools/ScreenPicture.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace ui {

namespace {

constexpr DWORD PollMs = 15;

// A text read through WM_GETTEXT with a timeout, so a hung program cannot hang the driver.
std::string ReadText(HWND window)
{
    if (!window)
        return std::string();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &length))
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             kWaitMs, &copied))
        return std::string();
    text.resize(static_cast<size_t>(copied) <= length ? static_cast<size_t>(copied) : static_cast<size_t>(length));
    return text;
}

std::string Utf8(const std::wstring& text)
{
    std::string utf8(text.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0],
                                      static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return utf8;
}

} // namespace

std::string DistDir()
{
    const char* dist = std::getenv("LK_DIST_DIR");
    return dist ? lktest::DosPath(dist) : std::string();
}

// ---- processes

Job::Job() = default;

Job::~Job()
{
    if (m_hJob)
        CloseHandle(m_hJob);
}

Job::Job(Job&& other) noexcept : m_hJob(other.m_hJob)
{
    other.m_hJob = nullptr;
}

Job& Job::operator=(Job&& other) noexcept
{
    if (this != &other) {
        if (m_hJob)
            CloseHandle(m_hJob);
        m_hJob = other.m_hJob;
        other.m_hJob = nullptr;
    }
    return *this;
}

bool Job::Add(HANDLE process)
{
    if (!m_hJob)
        m_hJob = CreateJobObjectA(nullptr, nullptr);
    return m_hJob && AssignProcessToJobObject(m_hJob, process);
}

DWORD Job::ProcessesEver() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!m_hJob || !QueryInformationJobObject(m_hJob, JobObjectBasicAccountingInformation, &accounting,
                                              sizeof accounting, nullptr))
        return 0;
    return accounting.TotalProcesses;
}

Process::~Process()
{
    Kill();
}

Process::Process(Process&& other) noexcept
    : m_hProcess(other.m_hProcess), m_dwId(other.m_dwId), m_job(std::move(other.m_job))
{
    other.m_hProcess = nullptr;
    other.m_dwId = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Kill();
        m_hProcess = other.m_hProcess;
        m_dwId = other.m_dwId;
        m_job = std::move(other.m_job);
        other.m_hProcess = nullptr;
        other.m_dwId = 0;
    }
    return *this;
}

Process Process::Start(const std::string& exePath, const std::string& currentDir, const std::string& arguments)
{
    return Start(exePath, currentDir, lktest::Widen(arguments), Way{});
}

Process Process::StartWide(const std::string& exePath, const std::string& currentDir, const std::wstring& arguments)
{
    return Start(exePath, currentDir, arguments, Way{});
}

Process Process::StartInJob(const std::string& exePath, const std::string& currentDir, const std::string& arguments)
{
    Way way;
    way.inJob = true;
    return Start(exePath, currentDir, lktest::Widen(arguments), way);
}

Process Process::StartWithStandardHandles(const std::string& exePath, const std::string& currentDir,
                                          const std::string& arguments, HANDLE input, HANDLE error)
{
    Way way;
    way.redirected = true;
    way.input = input;
    way.error = error;
    return Start(exePath, currentDir, lktest::Widen(arguments), way);
}

Process Process::Start(const std::string& exePath, const std::string& currentDir, const std::wstring& arguments,
                       const Way& way)
{
    Process process;
    const std::wstring widePath = lktest::Widen(exePath), wideDir = lktest::Widen(currentDir);
    std::wstring commandLine = L"\"" + widePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (way.redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = way.input;
        startup.hStdError = way.error;
    }
    PROCESS_INFORMATION info = {};
    auto create = [&] {
        return CreateProcessW(widePath.c_str(), &commandLine[0], nullptr, nullptr, way.redirected ? TRUE : FALSE,
                              way.inJob ? CREATE_SUSPENDED : 0, nullptr, wideDir.empty() ? nullptr : wideDir.c_str(),
                              &startup, &info) != FALSE;
    };
    bool created = create();
    // Wine gives ERROR_INTERNAL_ERROR when the new process ended before it had started: its Unix
    // process went away before the loader was done, so nothing of the program ran (seen starting
    // Latchkey.exe, now and then). It is started once more, as a user would, and said.
    if (!created && GetLastError() == ERROR_INTERNAL_ERROR) {
        std::fprintf(stderr, "note: %s ended before it had started (error 1359); starting it once more\n",
                     exePath.c_str());
        Sleep(200);
        created = create();
    }
    if (!created) {
        ADD_FAILURE() << "cannot start " << exePath << " in " << currentDir << ": error " << GetLastError();
        return process;
    }
    process.m_hProcess = info.hProcess;
    process.m_dwId = info.dwProcessId;
    if (way.inJob && !process.m_job.Add(info.hProcess))
        ADD_FAILURE() << "cannot put " << exePath << " into a job: error " << GetLastError();
    if (way.inJob)
        ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return process;
}

bool Process::Running() const
{
    return m_hProcess && WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD* exitCode, DWORD timeoutMs)
{
    if (!m_hProcess || WaitForSingleObject(m_hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_hProcess, exitCode);
    return true;
}

void Process::Kill()
{
    if (!m_hProcess)
        return;
    if (WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_hProcess, 1);
        WaitForSingleObject(m_hProcess, kWaitMs);
    }
    CloseHandle(m_hProcess);
    m_hProcess = nullptr;
    m_dwId = 0;
}

bool CloseProgramOf(HWND window, DWORD timeoutMs)
{
    DWORD pid = ProcessOf(window);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid) : nullptr;
    if (!process)
        return false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kWaitMs);
    }
    CloseHandle(process);
    return ended;
}

// ---- waiting and finding

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(PollMs);
    }
}

std::string WindowText(HWND window)
{
    return ReadText(window);
}

std::string ClassName(HWND window)
{
    char name[256] = {};
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

namespace {

struct WindowFilter {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

// An EnumWindows callback: a plain lambda would have the wrong calling convention on 32-bit Windows.
BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* f = reinterpret_cast<WindowFilter*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    if (f->pid && ProcessOf(window) != f->pid)
        return TRUE;
    if (f->className && ClassName(window) != f->className)
        return TRUE;
    f->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopWindows(DWORD pid, const char* className)
{
    WindowFilter filter{pid, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&filter));
    return filter.found;
}

HWND FindTopWindow(DWORD pid, const std::string& caption, const char* className)
{
    for (HWND window : TopWindows(pid, className))
        if (WindowText(window) == caption)
            return window;
    return nullptr;
}

HWND WaitForWindowWhere(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows(pid))
                if (match(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitForWindow(DWORD pid, const std::string& caption, const char* className, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(pid, caption, className)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

// ---- controls

HWND FocusedWindow(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND Control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

std::string ControlText(HWND dialog, int id)
{
    return ReadText(Control(dialog, id));
}

std::wstring WideControlText(HWND dialog, int id)
{
    const HWND control = Control(dialog, id);
    DWORD_PTR length = 0;
    if (!control || !SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &length))
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             kWaitMs, &copied))
        return std::wstring();
    text.resize(static_cast<size_t>(copied) <= length ? static_cast<size_t>(copied) : static_cast<size_t>(length));
    return text;
}

RemoteMemory::RemoteMemory(DWORD pid, size_t bytes)
    : m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)),
      m_address(m_process ? static_cast<char*>(VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE))
                          : nullptr)
{
}

RemoteMemory::~RemoteMemory()
{
    if (m_address)
        VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    if (m_process)
        CloseHandle(m_process);
}

bool RemoteMemory::Write(const void* data, size_t bytes, size_t offset) const
{
    return m_address && WriteProcessMemory(m_process, m_address + offset, data, bytes, nullptr);
}

bool RemoteMemory::Read(void* data, size_t bytes, size_t offset) const
{
    return m_address && ReadProcessMemory(m_process, m_address + offset, data, bytes, nullptr);
}

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns)
{
    std::vector<std::vector<std::string>> rows;
    constexpr int kChars = 1024;
    const RemoteMemory remote(ProcessOf(list), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    DWORD_PTR count = 0;
    if (!remote.Address() || !SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &count))
        return rows;
    for (int row = 0; row < static_cast<int>(count); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.cchTextMax = kChars;
            item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(LVITEMW));
            std::wstring text(kChars, L'\0');
            DWORD_PTR length = 0;
            if (!remote.Write(&item, sizeof item) ||
                !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()),
                                     SMTO_ABORTIFHUNG, kWaitMs, &length) ||
                !remote.Read(&text[0], kChars * sizeof(wchar_t), sizeof(LVITEMW)))
                break;
            text.resize(wcsnlen(text.c_str(), text.size()));
            cells.push_back(Utf8(text));
        }
        rows.push_back(cells);
    }
    return rows;
}

void SelectListViewRows(HWND list, const std::vector<int>& rows)
{
    const RemoteMemory remote(ProcessOf(list), sizeof(LVITEMW));
    if (!remote.Address()) {
        ADD_FAILURE() << "cannot lend memory to the list's process";
        return;
    }
    auto setState = [&](int row, UINT state) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = state;
        DWORD_PTR result = 0;
        EXPECT_TRUE(remote.Write(&item, sizeof item) &&
                    SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(remote.Address()), SMTO_ABORTIFHUNG, kWaitMs, &result))
            << "row " << row;
    };
    setState(-1, 0); // every row
    for (int row : rows)
        setState(row, LVIS_SELECTED | LVIS_FOCUSED);
}

std::vector<std::string> ListBoxItems(HWND list)
{
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &count))
        return items;
    for (WPARAM i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kWaitMs, &length) ||
            static_cast<LRESULT>(length) == LB_ERR)
            break;
        std::wstring text(length + 1, L'\0');
        if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, kWaitMs,
                                 &length) ||
            static_cast<LRESULT>(length) == LB_ERR)
            break;
        text.resize(length);
        items.push_back(Utf8(text));
    }
    return items;
}

void SelectListBoxItems(HWND list, const std::vector<int>& items)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(list, LB_SETSEL, FALSE, -1, SMTO_ABORTIFHUNG, kWaitMs, &result); // every item
    for (int item : items)
        EXPECT_TRUE(SendMessageTimeoutW(list, LB_SETSEL, TRUE, item, SMTO_ABORTIFHUNG, kWaitMs, &result) &&
                    static_cast<LRESULT>(result) != LB_ERR)
            << "item " << item;
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    HWND control = Control(dialog, id);
    if (!control) {
        ADD_FAILURE() << "no control " << id << " in \"" << WindowText(dialog) << "\"";
        return;
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, kWaitMs,
                        &result);
}

bool IsChecked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(Control(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &state);
    return state == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0, SMTO_ABORTIFHUNG,
                        kWaitMs, &result);
}

void Press(HWND dialog, int id)
{
    HWND button = Control(dialog, id);
    if (!button) {
        ADD_FAILURE() << "no button " << id << " in \"" << WindowText(dialog) << "\"";
        return;
    }
    if (!IsWindowEnabled(button) || !IsWindowVisible(button)) {
        ADD_FAILURE() << "button " << id << " in \"" << WindowText(dialog) << "\" cannot be pressed";
        return;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressKey(HWND window, WORD virtualKey)
{
    HWND target = window;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    const LPARAM look = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, look | 1);
    PostMessageA(target, WM_KEYUP, virtualKey, look | 1 | static_cast<LPARAM>(0xC0000000u));
}

bool TypeCtrlKey(HWND dialog, int control, WORD virtualKey)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, control)), TRUE);
    SetForegroundWindow(dialog);
    if (!WaitUntil([&] { return GetForegroundWindow() == dialog; }))
        return false;
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_CONTROL, 0}, {virtualKey, 0}, {virtualKey, KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.dwFlags = order[i][1];
    }
    return SendInput(4, keys, sizeof(INPUT)) == 4;
}

void PressEscape(HWND window)
{
    // The dialog's loop turns it into Cancel.
    PressKey(window, VK_ESCAPE);
}

void PressCloseBox(HWND window)
{
    PostSysCommand(window, SC_CLOSE);
}

const WayToCancel kWaysToCancel[3] = {
    {"Cancel", [](HWND dialog) { Press(dialog, IDCANCEL); }},
    {"Escape", PressEscape},
    {"close box", PressCloseBox},
};

void PostSysCommand(HWND window, WPARAM command)
{
    PostMessageA(window, WM_SYSCOMMAND, command, 0);
}

HWND OpenSystemMenu(HWND window, DWORD timeoutMs)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> menus = TopWindows(ProcessOf(window), "#32768");
            menu = menus.empty() ? nullptr : menus.front();
            return menu != nullptr;
        },
        timeoutMs);
    return menu;
}

// ---- message boxes and the file dialog

bool IsMessageBox(HWND window)
{
    HWND text = GetDlgItem(window, 0xFFFF);
    if (ClassName(window) != "#32770" || !text || ClassName(text) != "Static")
        return false;
    // Other dialogs may carry a static 0xFFFF too, but a message box holds nothing but texts,
    // its icon and buttons.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = ClassName(child);
        if (kind != "Static" && kind != "Button")
            return false;
    }
    return true;
}

MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs)
{
    MessageBoxInfo box;
    box.window = WaitForWindowWhere(pid, IsMessageBox, timeoutMs);
    if (box.window) {
        box.caption = WindowText(box.window);
        box.text = ControlText(box.window, 0xFFFF);
    }
    return box;
}

bool PressToClose(HWND window, int button)
{
    if (!window)
        return false;
    Press(window, button);
    return WaitForWindowGone(window);
}

HWND WaitForFileDialog(DWORD pid, const std::string& title, DWORD timeoutMs)
{
    return WaitForWindow(pid, title, "#32770", timeoutMs);
}

bool PickFile(HWND fileDialog, const std::string& path)
{
    constexpr int kFileNameBox = 1148; // Wine's file-name box, a ComboBoxEx
    HWND box = Control(fileDialog, kFileNameBox);
    if (!box) {
        ADD_FAILURE() << "the file dialog has no file-name box";
        return false;
    }
    auto type = [&](const std::string& text) {
        SetControlText(fileDialog, kFileNameBox, text);
        if (WindowText(box) == text)
            return true;
        ADD_FAILURE() << "the file-name box did not take \"" << text << "\"";
        return false;
    };

    // Like a user, first go to the folder, then pick the file: going there is what moves the
    // current directory, as it does on Windows. Going to a folder opens no window, so Open is
    // sent here and the dialog is there when the call returns.
    std::string::size_type slash = path.find_last_of('\\');
    if (slash != std::string::npos) {
        std::string folder = path.substr(0, slash);
        if (folder.empty() || folder.back() == ':')
            folder += '\\';
        if (!type(folder))
            return false;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Control(fileDialog, IDOK)), SMTO_ABORTIFHUNG, kWaitMs,
                                 &result) ||
            !IsWindowVisible(fileDialog)) {
            ADD_FAILURE() << "the file dialog did not go to " << folder;
            return false;
        }
    }
    if (!type(path.substr(slash == std::string::npos ? 0 : slash + 1)))
        return false;
    Press(fileDialog, IDOK);
    if (!WaitForWindowGone(fileDialog)) {
        ADD_FAILURE() << "the file dialog did not take " << path;
        return false;
    }
    return true;
}

// ---- screenshot on failure

namespace {

// Saves the screen at a test's first failure, while the program's windows are still there.
class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { m_bTaken = false; }

    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!result.failed() || m_bTaken)
            return;
        m_bTaken = true;
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "failure";
        for (char& c : name)
            if (c == '/' || c == '\\' || c == ':')
                c = '_';
        std::string dir;
        if (const char* shots = std::getenv("LK_UI_SHOT_DIR"))
            dir = lktest::DosPath(shots);
        if (dir.empty())
            dir = lktest::CurrentFolder();
        if (dir.empty())
            dir = ".";
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string path = dir + "\\" + name + ".bmp";
        if (SaveScreenshot(path))
            std::printf("screenshot of the failure: %s\n", path.c_str());
        else
            std::printf("could not save a screenshot to %s\n", path.c_str());
        std::fflush(stdout);
    }

    bool m_bTaken = false;
};

// Registered when the driver is linked in, before gtest_main's main runs.
[[maybe_unused]] const bool kScreenshotsRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return true;
}();

} // namespace

WindowProcess::WindowProcess(HWND window, bool inJob) : m_dwId(window ? ProcessOf(window) : 0)
{
    if (m_dwId)
        m_hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_SET_QUOTA | PROCESS_TERMINATE,
                                 FALSE, m_dwId);
    if (inJob)
        EXPECT_TRUE(m_hProcess && m_job.Add(m_hProcess)) << "cannot put the process into a job";
}

WindowProcess::~WindowProcess()
{
    if (!m_hProcess)
        return;
    if (WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_hProcess, 99);
    CloseHandle(m_hProcess);
}

std::string WindowProcess::ImagePath() const
{
    // The call says only that the buffer was too small, not how large it must be.
    for (DWORD capacity = MAX_PATH; m_hProcess && capacity <= 32768; capacity *= 2) {
        std::string path(capacity, '\0');
        DWORD size = capacity;
        if (QueryFullProcessImageNameA(m_hProcess, 0, &path[0], &size)) {
            path.resize(size);
            return path;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return std::string();
}

DWORD WindowProcess::WaitForExit()
{
    DWORD code = STILL_ACTIVE;
    if (m_hProcess && WaitForSingleObject(m_hProcess, kWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_hProcess, &code);
    return code;
}

} // namespace ui
