#include "app/LatchkeyApp.h"

#include "app/HistoryCommand.h"
#include "app/KeepCommand.h"
#include "app/MainWindow.h"
#include "app/MasterPasswordCommand.h"
#include "app/ReportCommand.h"
#include "app/ShortcutCommand.h"
#include "core/LaunchRequest.h"
#include "core/ProtectRules.h"
#include "core/ToolArguments.h"
#include "core/Messages.h"
#include "win/Strings.h"
#include "win/Unattended.h"
#include "win/Wow64.h"

namespace {

// A file that exists and is no folder.
bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
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

    // The arguments are checked first: a mistake is reported before anything else happens. They
    // are taken in UTF-16 (the code-page form would hold Windows' look-alikes, a full-width
    // backslash or quote in a name made into a real one) and read in UTF-8, so request.error is
    // UTF-8 too. A shortcut's own name may hold any character; the other paths are used in the
    // code page, and one it cannot hold exactly is refused.
    ToolRequest request = ParseToolArguments(LauncherArgument(ToUtf8(GetCommandLineW())));
    if (request.action == ToolAction::Usage) {
        AfxMessageBox(ToolUsageText(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::wstring shortcutPath;
    if (request.action == ToolAction::Protect || request.action == ToolAction::Remove ||
        request.action == ToolAction::Decide) {
        shortcutPath = FullPathName(FromUtf8(request.path)).value_or(FromUtf8(request.path));
        if (!IsFile(shortcutPath)) {
            request.action = ToolAction::Invalid;
            request.error = NotAShortcutFileText(ToUtf8(shortcutPath));
        }
    } else if (request.action != ToolAction::Invalid) {
        const std::optional<std::string> path = ToAnsi(FromUtf8(request.path));
        const std::optional<std::string> passwordFile = ToAnsi(FromUtf8(request.passwordFile));
        if (path && passwordFile) {
            request.path = request.action == ToolAction::MainWindow || request.action == ToolAction::Check
                               ? *path
                               : FullPathName(*path).value_or(*path);
            request.passwordFile = *passwordFile;
        } else {
            request.action = ToolAction::Invalid;
            request.error = ProtectMessageText(ProtectResult::NotInCodePage, std::string(), std::string());
        }
    }

    // Scripts and tasks have nobody to press OK: their messages go to standard error.
    const bool keeping = request.action == ToolAction::Keep || request.action == ToolAction::Unkeep;
    const bool passwordGiven = keeping && (!request.passwordFile.empty() || StandardInputIsRedirected());
    const bool nobodyThere = !SomeoneCanAnswer();
    // A mistake in such a command line is told the same way.
    m_noBoxes = request.quiet || passwordGiven || !request.passwordFile.empty() ||
                 ((request.action == ToolAction::Report || request.action == ToolAction::Invalid) && nobodyThere);
    if (keeping && !passwordGiven && nobodyThere) {
        m_noBoxes = true;
        request.action = ToolAction::Invalid;
        request.error = text::NoPasswordSource;
    }
    if (request.action == ToolAction::Invalid) {
        AfxMessageBox(FromUtf8(request.error));
        m_nExitCode = 1;
        return;
    }

    // Giving up at the gate ends the program before any window opens: exit code 0 without a
    // command, 2 (cancelled) for one; a master password file that cannot be read, or a prompt
    // that cannot be opened, ends it with exit code 1. Keeping a program with a password from a
    // file or standard input, stopping that, and the check pass without it: only an
    // administrator runs them, the last two only add protection, /unkeep needs the kept
    // password, and nobody could answer the prompt.
    const bool ungated = request.action == ToolAction::Check || passwordGiven;
    switch (ungated ? GateResult::Open : PassMasterPasswordGate()) {
    case GateResult::Open: break;
    case GateResult::Closed:
        m_nExitCode = request.action == ToolAction::MainWindow ? 0 : 2;
        return;
    case GateResult::Unreadable:
    case GateResult::NoDialog: m_nExitCode = 1; return;
    }

    const PasswordSource source = !request.passwordFile.empty() ? PasswordSource::FromFile(request.passwordFile)
                                  : passwordGiven               ? PasswordSource::FromStandardInput()
                                                                : PasswordSource::FromDialog(nullptr);
    switch (request.action) {
    case ToolAction::Report: m_nExitCode = ExitCodeOf(WriteShortcutReport(request.path)); return;
    case ToolAction::History: m_nExitCode = ExitCodeOf(WriteHistoryReport(request.path)); return;
    case ToolAction::Keep: m_nExitCode = ExitCodeOf(KeepProgram(request.path, source)); return;
    case ToolAction::Unkeep: m_nExitCode = ExitCodeOf(UnkeepProgram(request.path, source)); return;
    case ToolAction::Check: m_nExitCode = ExitCodeOf(CheckKeptPrograms()); return;
    case ToolAction::Protect:
    case ToolAction::Remove:
    case ToolAction::Decide:
        // One command, owned by no window, then the program ends with its result.
        m_nExitCode = ExitCodeOf(RunShortcutCommand(request.action, shortcutPath));
        return;
    case ToolAction::MainWindow:
    case ToolAction::Usage:
    case ToolAction::Invalid: break;
    }

    CMainWindow window;
    m_pMainWnd = &window;
    if (window.DoModal() == -1) {
        ShowWindowNotOpened(GetLastError());
        m_nExitCode = 1;
    }
    m_pMainWnd = nullptr;
}
