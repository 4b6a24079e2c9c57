// Who tried, and not forever: the launcher's lock-out after wrong passwords, the history of every
// attempt and change (Latchkey.exe /history and the History window) and the Event Log's entries,
// all through the real programs. The launcher is opened as the shell opens a shortcut: with the
// shortcut's path as its title (STARTF_TITLEISLINKNAME).
#include "LauncherResource.h"
#include "core/LockOut.h"
#include "core/Paths.h"
#include "core/Scramble.h"
#include "resource.h"
#include "tests/support/Csv.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/UiDriver.h"
#include "win/ProtectFiles.h"

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kPrompt[] = "This program is password protected. Enter its password to start it.";
constexpr char kWaitText[] = "Too many wrong passwords. You can try again in 0:";
constexpr char kHeader[] = "\xEF\xBB\xBFTime,User,Shortcut,Program,Result\r\n";
constexpr char LockOutKey[] = "Software\\Latchkey\\LockOut";

using Rows = std::vector<std::vector<std::string>>;

std::string ProgramData()
{
    char folder[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) ? folder
                                                                                                           : "";
}

std::string HistoryFolder()
{
    return ProgramData() + "\\Latchkey\\History";
}

std::string HistoryFile()
{
    return HistoryFolder() + "\\history.txt";
}

std::string UserName()
{
    char name[256] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? name : "";
}

// The rows of a /history CSV, header left out.
Rows CsvRows(const std::string& csv)
{
    return lktest::CsvRows(csv, kHeader, 5);
}

// Runs Latchkey.exe /history and returns the rows it wrote.
Rows HistoryRows(const std::string& csvPath)
{
    Process tool = Process::Start(LatchkeyExe(), DistDir(), "/history \"" + csvPath + "\"");
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(tool.WaitForExit(&exitCode)) << "/history did not end";
    EXPECT_EQ(exitCode, 0u);
    return CsvRows(ReadFileBytes(csvPath).value_or(""));
}

// The launcher opened as the shell opens a protected shortcut, in a job that counts what it starts.
class ShellLaunch {
public:
    ShellLaunch(const std::string& link, const std::string& folder)
    {
        LinkSpec stored;
        EXPECT_HRESULT_SUCCEEDED(ReadLink(link, stored));
        std::string commandLine = "\"" + stored.target + "\" " + stored.arguments;
        std::string title = link;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_TITLEISLINKNAME;
        startup.lpTitle = &title[0];
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(stored.target.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            folder.c_str(), &startup, &started)) {
            ADD_FAILURE() << "the launcher did not start: " << GetLastError();
            return;
        }
        m_hProcess = started.hProcess;
        m_dwId = started.dwProcessId;
        EXPECT_TRUE(m_job.Add(m_hProcess));
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        m_hDialog = WaitForWindow(m_dwId, kSecurity);
        EXPECT_NE(m_hDialog, nullptr) << "the launcher asked for no password";
    }
    ~ShellLaunch()
    {
        if (m_hProcess && WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_hProcess, 1);
        if (m_hProcess)
            CloseHandle(m_hProcess);
    }
    ShellLaunch(const ShellLaunch&) = delete;
    ShellLaunch& operator=(const ShellLaunch&) = delete;

    HWND Dialog() const { return m_hDialog; }
    DWORD Id() const { return m_dwId; }
    bool Waiting() const { return m_hDialog && !IsWindowEnabled(Control(m_hDialog, IDOK)); }
    std::string Prompt() const { return WindowText(Control(m_hDialog, IDC_PROMPT)); }
    // The exit code once it ended; STILL_ACTIVE when it did not.
    DWORD WaitForExit() const
    {
        DWORD exitCode = STILL_ACTIVE;
        if (m_hProcess && WaitForSingleObject(m_hProcess, kWaitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_hProcess, &exitCode);
        return exitCode;
    }
    DWORD ProcessesInJob() const { return m_job.ProcessesEver(); }

private:
    HANDLE m_hProcess = nullptr;
    DWORD m_dwId = 0;
    HWND m_hDialog = nullptr;
    Job m_job;
};

// Clicks the title of a column of a report-style list view of another process.
void ClickColumnTitle(HWND list, int column)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(list, LVM_GETHEADER, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &result);
    HWND header = reinterpret_cast<HWND>(result);
    RemoteMemory rectangle(ProcessOf(list), sizeof(RECT));
    RECT r = {};
    if (!header || !rectangle.Address() ||
        !SendMessageTimeoutA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(rectangle.Address()),
                             SMTO_ABORTIFHUNG, kWaitMs, &result) ||
        !result || !rectangle.Read(&r, sizeof r)) {
        ADD_FAILURE() << "no title of column " << column;
        return;
    }
    const LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(header, WM_LBUTTONUP, 0, middle);
}

// The launcher's stored count for a record, as text; empty when none is stored.
std::string StoredLockOut(const std::string& recordPath)
{
    char value[128] = {};
    DWORD size = sizeof value - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, LockOutKey, LowerAscii(recordPath).c_str(), RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return "";
    return value;
}

void StoreLockOut(const std::string& recordPath, const std::string& text)
{
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, LockOutKey, LowerAscii(recordPath).c_str(), REG_SZ, text.c_str(),
                              static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

// The access rules of a file or folder, as descriptor text.
std::string AccessOf(const std::string& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return "(unreadable)";
    char* text = nullptr;
    std::string sddl = "(none)";
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        sddl = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return sddl;
}

// True when a file's access rules, once set, read back as set.
bool KeepsAccessRules(const std::string& probe)
{
    constexpr char kRules[] = "D:P(A;;FA;;;SY)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!WriteFileBytes(probe, "") ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorA(kRules, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const bool set = SetFileSecurityA(probe.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                      descriptor);
    LocalFree(descriptor);
    return set && AccessOf(probe) == kRules;
}

// The insertion strings of each report to the Event Log that the eventlog channel carried, with
// its level ("warn" or "trace"), in the order written.
Rows ChannelEvents(const std::string& log)
{
    Rows events;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(start, end - start);
        start = end + 1;
        const size_t channel = line.find(":eventlog:ReportEventW L\"");
        if (channel == std::string::npos)
            continue;
        const std::string level = line.substr(0, channel);
        std::string text = line.substr(line.find("L\"", channel) + 2);
        text = text.substr(0, text.rfind('"'));
        // Wine writes a backslash doubled.
        for (size_t at = 0; (at = text.find("\\\\", at)) != std::string::npos; ++at)
            text.erase(at, 1);
        if (events.empty() || events.back().size() == 4)
            events.push_back({level.substr(level.rfind(':') == std::string::npos ? 0 : level.rfind(':') + 1)});
        events.back().push_back(text);
    }
    return events;
}

class HistoryUi : public LauncherInstalledTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_FALSE(ProbeProgram().empty());
        ASSERT_FALSE(ProgramData().empty());
        ExpectProbeReportAt(report);
        // Each test starts from no history: Latchkey makes folder and file again as it must.
        RemoveTree(HistoryFolder());
    }
    void TearDown() override
    {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, LockOutKey, LowerAscii(m_recordPath).c_str());
        ComTest::TearDown();
    }

    // A shortcut to the probe, protected with the protect command's own file work (no history).
    std::string ProtectedByFileWork(const std::string& name)
    {
        LinkSpec plain;
        plain.target = program;
        const std::string link = scratch / (name + ".lnk");
        EXPECT_HRESULT_SUCCEEDED(MakeLink(link, plain));
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready);
        EXPECT_EQ(ApplyProtection(link, loaded, "right", false, "01012026" + std::to_string(100000 + m_nStamp++))
                      .result,
                  ProtectResult::Succeeded);
        RememberRecord(link);
        return link;
    }

    void RememberRecord(const std::string& link)
    {
        LinkSpec stored;
        EXPECT_HRESULT_SUCCEEDED(ReadLink(link, stored));
        m_recordPath = Unscramble(stored.arguments);
    }

    // Opens the shortcut, gives the right password and expects the program to start.
    void StartWithTheRightPassword(const std::string& link)
    {
        ExpectProbeReportAt(report);
        ShellLaunch launcher(link, scratch.Path());
        ASSERT_NE(launcher.Dialog(), nullptr);
        EXPECT_FALSE(launcher.Waiting());
        SetControlText(launcher.Dialog(), IDC_PASSWORD, "right");
        Press(launcher.Dialog(), IDOK);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(launcher.ProcessesInJob(), 2u) << "the program was not started";
        EXPECT_TRUE(WaitForProbeReport(report).arrived);
    }

    ScratchFolder scratch{"lk history ui"};
    const std::string report = scratch / "report.bin";
    const std::string program = PlaceProbe(scratch, "Guarded Game\\Guarded Game.exe");
    std::string m_recordPath;

private:
    int m_nStamp = 0;
};

TEST_F(HistoryUi, FiveWrongPasswordsLockOutUntilTheWaitEndsAndTheHistoryAndEventLogTellIt)
{
    // The programs started from here write the Event Log's channel into the log of this test.
    const char* wineLog = std::getenv("LK_WINE_LOG");
    ASSERT_NE(wineLog, nullptr) << "LK_WINE_LOG is not set";
    ASSERT_TRUE(SetEnvironmentVariableA("WINEDEBUG", "warn+eventlog,trace+eventlog"));

    // Protected by the tool, which makes the history and writes its first row.
    LinkSpec plain;
    plain.target = program;
    const std::string link = scratch / "Guarded Game.lnk";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, plain));
    {
        Process tool = Process::Start(LatchkeyExe(), DistDir(), "/protect \"" + link + "\"");
        HWND add = WaitForWindow(tool.Id(), kAddPasswordCaption);
        ASSERT_NE(add, nullptr);
        SetControlText(add, IDC_PASSWORD, "right");
        SetControlText(add, IDC_RETYPE, "right");
        Press(add, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        EXPECT_EQ(box.caption, "Succeed!") << box.text;
        ASSERT_TRUE(PressToClose(box.window));
        DWORD exitCode = 1;
        ASSERT_TRUE(tool.WaitForExit(&exitCode));
        ASSERT_EQ(exitCode, 0u);
    }
    RememberRecord(link);
    // Administrators and SYSTEM may do anything; users may pass through the folder and append to
    // the file, nothing more. Wine enforces no access rules, and keeps them only on a file system
    // that takes extended attributes: where it does not, they cannot be read back.
    if (KeepsAccessRules(scratch / "rules probe")) {
        EXPECT_EQ(AccessOf(HistoryFolder()), "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x100020;;;BU)");
        EXPECT_EQ(AccessOf(HistoryFile()), "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x100084;;;BU)");
    } else {
        std::printf("NOTE: the access rules of the history are not checked: this file system keeps none\n");
    }

    // Five runs, one wrong password each: the fifth starts the wait.
    for (int run = 1; run <= 5; ++run) {
        SCOPED_TRACE("wrong password " + std::to_string(run));
        ShellLaunch launcher(link, scratch.Path());
        ASSERT_NE(launcher.Dialog(), nullptr);
        EXPECT_FALSE(launcher.Waiting());
        EXPECT_EQ(launcher.Prompt(), kPrompt);
        SetControlText(launcher.Dialog(), IDC_PASSWORD, "wrong");
        Press(launcher.Dialog(), IDOK);
        MessageBoxInfo box = WaitForMessageBox(launcher.Id());
        EXPECT_EQ(box.text, "Password not correct!");
        ASSERT_TRUE(PressToClose(box.window));
        if (run == 5) {
            EXPECT_TRUE(WaitUntil([&] { return launcher.Waiting(); })) << "OK is still enabled";
            EXPECT_EQ(launcher.Prompt().rfind(kWaitText, 0), 0u) << launcher.Prompt();
        } else {
            EXPECT_FALSE(launcher.Waiting());
        }
        Press(launcher.Dialog(), IDCANCEL);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(launcher.ProcessesInJob(), 1u);
    }
    const LockOutState stored = ParseLockOut(StoredLockOut(m_recordPath));
    EXPECT_EQ(stored.failures, 5u);

    // Within the wait even the right password starts nothing; the dialog says how long is left.
    {
        ShellLaunch launcher(link, scratch.Path());
        ASSERT_NE(launcher.Dialog(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return launcher.Waiting(); })) << "OK is enabled within the wait";
        EXPECT_EQ(launcher.Prompt().rfind(kWaitText, 0), 0u) << launcher.Prompt();
        SetControlText(launcher.Dialog(), IDC_PASSWORD, "right");
        // Enter, and a click as if it reached the disabled button; then Cancel, after both.
        PressKey(launcher.Dialog(), VK_RETURN);
        PostMessageA(launcher.Dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(launcher.Dialog(), IDOK)));
        Press(launcher.Dialog(), IDCANCEL);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(launcher.ProcessesInJob(), 1u) << "the right password started the program within the wait";
        EXPECT_FALSE(FileExists(report));
    }

    // The wait over (its end put back in the stored state), the right password starts it and the
    // count is gone.
    StoreLockOut(m_recordPath, FormatLockOut(LockOutState{stored.failures, stored.lockedUntil - FirstWaitSeconds}));
    StartWithTheRightPassword(link);
    EXPECT_EQ(StoredLockOut(m_recordPath), "");

    // /history: exactly these rows, oldest first.
    const std::string programPath = LongPath(program);
    const std::string user = UserName();
    const Rows rows = HistoryRows(scratch / "history.csv");
    std::vector<std::string> results;
    for (const std::vector<std::string>& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[4]);
        results.push_back(row[4]);
        EXPECT_EQ(row[0].size(), 19u) << row[0];
        EXPECT_EQ(row[1], user);
        EXPECT_EQ(row[2], link);
        EXPECT_EQ(row[3], programPath);
    }
    EXPECT_EQ(results, (std::vector<std::string>{"Protected", "Wrong password", "Wrong password", "Wrong password",
                                                 "Wrong password", "Wrong password", "Locked out", "Started"}));
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_LE(rows[i - 1][0], rows[i][0]) << "not oldest first";

    // The History window shows the same rows, newest first; a click on a column's title sorts by
    // it (rows alike keep their order), Time again sorts newest first, then oldest first; Save as
    // writes what /history writes.
    {
        Latchkey app = StartLatchkey();
        ASSERT_NE(app.main, nullptr);
        Press(app.main, IDC_HISTORY);
        HWND window = WaitForWindow(app.Id(), "History");
        ASSERT_NE(window, nullptr);
        HWND list = Control(window, IDC_HISTORYLIST);
        const Rows newestFirst(rows.rbegin(), rows.rend());
        // Read on a thread of the window's own: the rows come in while it answers.
        EXPECT_TRUE(WaitUntil([&] { return ListViewRows(list, 5) == newestFirst; }));
        EXPECT_EQ(ControlText(window, IDC_HISTORYCOUNT), "8 entries, newest first.");

        Rows byResult = newestFirst;
        std::stable_sort(byResult.begin(), byResult.end(),
                         [](const std::vector<std::string>& a, const std::vector<std::string>& b) { return a[4] < b[4]; });
        for (const auto& [column, expected] : {std::pair<int, const Rows&>{4, byResult}, {0, newestFirst}, {0, rows}}) {
            SCOPED_TRACE("a click on column " + std::to_string(column));
            ClickColumnTitle(list, column);
            EXPECT_TRUE(WaitUntil([&] { return ListViewRows(list, 5) == expected; }));
        }

        const std::string saved = scratch / "saved history.csv";
        Press(window, IDC_SAVEHISTORY);
        HWND save = WaitForFileDialog(app.Id(), "Save the history as");
        ASSERT_NE(save, nullptr);
        ASSERT_TRUE(PickFile(save, saved));
        EXPECT_TRUE(WaitUntil([&] { return FileExists(saved); }));
        EXPECT_EQ(ReadFileBytes(saved), ReadFileBytes(scratch / "history.csv"));
        EXPECT_TRUE(PressToClose(window, IDCANCEL));

        // The shortcuts window opens it too.
        Press(app.main, IDC_SHORTCUTS);
        HWND shortcuts = WaitForWindow(app.Id(), "Protected shortcuts");
        ASSERT_NE(shortcuts, nullptr);
        Press(shortcuts, IDC_HISTORY);
        window = WaitForWindow(app.Id(), "History");
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return ListViewRows(Control(window, IDC_HISTORYLIST), 5) == newestFirst; }));
        EXPECT_TRUE(PressToClose(window, IDCANCEL));
        EXPECT_TRUE(PressToClose(shortcuts, IDCANCEL));
        Press(app.main, IDCANCEL);
        EXPECT_TRUE(app.process.WaitForExit());
    }

    // The Event Log got each entry: its user, shortcut and program, a warning for a wrong password
    // and a lock-out.
    Rows expectedEvents;
    for (const std::vector<std::string>& row : rows) {
        const bool warning = row[4] == "Wrong password" || row[4] == "Locked out";
        expectedEvents.push_back({warning ? "warn" : "trace", row[1], row[2], row[3]});
    }
    EXPECT_EQ(ChannelEvents(ReadFileBytes(DosPath(wineLog)).value_or("")), expectedEvents);
}

// A dialog left open through the wait takes the password once the wait is over.
TEST_F(HistoryUi, TheDialogTakesThePasswordAsSoonAsTheWaitEnds)
{
    const std::string link = ProtectedByFileWork("Short Wait");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const long long seconds =
        static_cast<long long>(((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) /
                                   10000000ull -
                               11644473600ull);
    // Long enough for the launcher to open within it on a busy machine.
    StoreLockOut(m_recordPath, FormatLockOut(LockOutState{FreeTries, seconds + 5}));

    ExpectProbeReportAt(report);
    ShellLaunch launcher(link, scratch.Path());
    ASSERT_NE(launcher.Dialog(), nullptr);
    EXPECT_TRUE(launcher.Waiting());
    EXPECT_EQ(launcher.Prompt().rfind(kWaitText, 0), 0u) << launcher.Prompt();
    EXPECT_TRUE(WaitUntil([&] { return !launcher.Waiting(); })) << "OK stayed disabled";
    EXPECT_EQ(launcher.Prompt(), kPrompt);
    SetControlText(launcher.Dialog(), IDC_PASSWORD, "right");
    Press(launcher.Dialog(), IDOK);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(WaitForProbeReport(report).arrived);
    EXPECT_EQ(StoredLockOut(m_recordPath), "");
}

TEST_F(HistoryUi, ADamagedOrOversizedHistoryStopsNoStartAndItsGoodEntriesStillRead)
{
    const std::string link = ProtectedByFileWork("Damaged History");
    ASSERT_TRUE(MakeFolders(HistoryFolder()));
    const std::string entry = "\n2026-12-10 08:00:00\tsomeone\tStarted\t\tC:\\Games\\Old.exe\r\n";
    struct Case {
        const char* name;
        std::string bytes; // of the history file; empty: a folder stands in its place
        size_t rowsBefore;
    } cases[] = {
        // Junk around an entry, ending in half a line: the launcher's entry still comes out whole.
        {"junk", std::string("\x01\xFF junk\r\n\0\0\0", 12) + entry + "2026-12-10 08:00:01\tnobody\tStar", 1},
        // More than the launcher appends to: it adds nothing, and the tool reads its newest part.
        {"oversized", std::string(5u << 20, 'x') + entry, 1},
        {"a folder", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes.empty())
            ASSERT_TRUE(MakeFolders(HistoryFile()));
        else
            ASSERT_TRUE(WriteFileBytes(HistoryFile(), c.bytes));

        StartWithTheRightPassword(link);

        const Rows rows = HistoryRows(scratch / "history.csv");
        ASSERT_GE(rows.size(), c.rowsBefore);
        if (c.rowsBefore)
            EXPECT_EQ(rows[0], (std::vector<std::string>{"2026-12-10 08:00:00", "someone", "", "C:\\Games\\Old.exe",
                                                         "Started"}));
        const bool appended = c.name == std::string("junk");
        ASSERT_EQ(rows.size(), c.rowsBefore + (appended ? 1 : 0));
        if (appended) {
            EXPECT_EQ(rows.back()[2], link);
            EXPECT_EQ(rows.back()[4], "Started");
        }
        RemoveTree(HistoryFile());
        DeleteFileA(HistoryFile().c_str());
    }
}

} // namespace
