#include "launcher/LauncherApp.h"

#include "launcher/LaunchPasswordDlg.h"
#include "launcher/LaunchRequest.h"
#include "launcher/StartProgram.h"

// The one application object.
CLauncherApp theApp;

BOOL CLauncherApp::InitInstance()
{
    m_nExitCode = Launch(GetCommandLineA());
    return FALSE;
}

int CLauncherApp::ExitInstance()
{
    return m_nExitCode;
}

int CLauncherApp::Launch(const std::string& commandLine)
{
    LaunchRequest request = ReadLaunchRequest(LauncherArgument(commandLine));
    if (request.problem != LaunchProblem::None) {
        AfxMessageBox(LaunchProblemText(request));
        return 1;
    }

    INT_PTR answer;
    {
        CLaunchPasswordDlg dlg(ProgramDisplayName(request.program.targetPath), request.record.password);
        ClearSecret(request.record.password);
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
        AfxMessageBox(StartFailureText(request.program.targetPath, error));
        return 1;
    }
    return 0;
}
