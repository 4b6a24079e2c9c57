#include "app/LatchkeyApp.h"

#include "app/HistoryCommand.h"
#include "app/MainWindow.h"
#include "app/MasterPasswordCommand.h"
#include "app/ReportCommand.h"
#include "app/ShortcutCommand.h"
#include "core/LaunchRequest.h"
#include "core/ProtectRules.h"
#include "core/ToolArguments.h"
#include "core/Messages.h"
#include "win/Strings.h"
#include "win/Wow64.h"

namespace {

// A file that exists and is no folder.
bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// The one application object.
CLatchkeyApp theApp;

void CLatchkeyApp::InitInstance()
{
    // A 32-bit tool on 64-bit Windows would see another system folder than the shell and the
    // 64-bit tool: another master file, icon copies and launcher. Refused before touching any.
    if (IsWow64()) {
        AfxMessageBox(text::Wrong32BitTool);
        m_nExitCode = 1;
        return;
    }

    // The arguments are checked first: a mistake is reported before anything else happens.
    ToolRequest request;
    // Taken in UTF-16: the code-page form would hold Windows' look-alikes, a full-width backslash
    // or quote in a name made into a real one. A name the code page cannot hold exactly is refused.
    if (const std::optional<std::string> arguments = ToAnsi(FromUtf8(LauncherArgument(ToUtf8(GetCommandLineW()))))) {
        request = ParseToolArguments(*arguments);
    } else {
        request.action = ToolAction::Invalid;
        request.error = ProtectMessageText(ProtectResult::NotInCodePage, std::string(), std::string());
    }
    if (request.action == ToolAction::Usage) {
        AfxMessageBox(ToolUsageText(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (request.action != ToolAction::MainWindow && request.action != ToolAction::Invalid) {
        request.path = FullPathName(request.path).value_or(request.path);
        const bool writesFile = request.action == ToolAction::Report || request.action == ToolAction::History;
        if (!writesFile && !IsFile(request.path)) {
            request.action = ToolAction::Invalid;
            request.error = NotAShortcutFileText(request.path);
        }
    }
    if (request.action == ToolAction::Invalid) {
        AfxMessageBox(request.error);
        m_nExitCode = 1;
        return;
    }

    // Giving up at the gate ends the program, with exit code 0, before any window opens; a
    // master password file that cannot be read, or a prompt that cannot be opened, ends it with
    // exit code 1.
    switch (PassMasterPasswordGate()) {
    case GateResult::Open: break;
    case GateResult::Closed:
        // Giving up at the prompt is a cancel to a script that asked for a command.
        m_nExitCode = request.action == ToolAction::MainWindow ? 0 : 2;
        return;
    case GateResult::Unreadable:
    case GateResult::NoDialog: m_nExitCode = 1; return;
    }

    if (request.action == ToolAction::Report) {
        m_nExitCode = ExitCodeOf(WriteShortcutReport(request.path));
        return;
    }
    if (request.action == ToolAction::History) {
        m_nExitCode = ExitCodeOf(WriteHistoryReport(request.path));
        return;
    }
    if (request.action != ToolAction::MainWindow) {
        // One command, owned by no window, then the program ends with its result.
        m_nExitCode = ExitCodeOf(RunShortcutCommand(request.action, request.path));
        return;
    }

    CMainWindow window;
    m_pMainWnd = &window;
    if (window.DoModal() == -1) {
        ShowWindowNotOpened(GetLastError());
        m_nExitCode = 1;
    }
    m_pMainWnd = nullptr;
}
