#include "launcher/LauncherApp.h"

#include "core/LaunchRequest.h"
#include "core/Messages.h"
#include "core/Secret.h"
#include "launcher/LaunchPasswordDlg.h"
#include "launcher/StartProgram.h"
#include "win/Files.h"
#include "win/History.h"
#include "win/SystemError.h"

namespace {

// The shortcut the launcher was opened through, which Windows gives it as its title; empty when
// it was started otherwise.
std::wstring StartedFromShortcut()
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if ((startup.dwFlags & STARTF_TITLEISLINKNAME) && startup.lpTitle)
        return startup.lpTitle;
    return std::wstring();
}

} // namespace

// The one application object.
CLauncherApp theApp;

void CLauncherApp::InitInstance()
{
    m_exitCode = Launch(GetCommandLineA());
}

int CLauncherApp::ExitInstance()
{
    return m_exitCode;
}

int CLauncherApp::Launch(const std::string& commandLine)
{
    LaunchRequest request = ReadLaunchRequest(LauncherArgument(commandLine), &ReadWholeFile);
    if (request.problem != LaunchProblem::None) {
        AfxMessageBox(LaunchProblemText(request.problem, request.recordPath));
        return 1;
    }

    const std::wstring shortcut = StartedFromShortcut();
    const std::string& program = request.program.targetPath;

    INT_PTR answer;
    {
        CLaunchPasswordDlg dlg(ProgramDisplayName(program), request.record.password, request.recordPath, shortcut,
                               program);
        ClearSecret(request.record.password);
        // The shortcut's show command is for the program; the password is typed into a normal window.
        dlg.OpenNormally();
        m_pMainWnd = &dlg;
        answer = dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (answer == IDCANCEL)
        return 0;
    if (answer != IDOK)
        return 1; // the dialog could not be shown

    DWORD error = StartProgram(request.record, request.program);
    if (error != 0) {
        AfxMessageBox(StartFailureText(request.program.targetPath, SystemErrorText(error)));
        return 1;
    }
    AddToHistory(NewHistoryEntry(HistoryResult::Started, shortcut, program));
    return 0;
}
