#include "app/CommandResult.h"

#include "core/Messages.h"
#include "core/Paths.h"
#include "framework/Framework.h"
#include "win/Strings.h"
#include "win/SystemError.h"
#include "win/Unattended.h"

int ExitCodeOf(CommandResult result)
{
    switch (result) {
    case CommandResult::Succeeded: return 0;
    case CommandResult::Cancelled: return 2;
    case CommandResult::Failed:
    case CommandResult::NoDialog: break;
    }
    return 1;
}

std::optional<CommandResult> UnansweredDialog(INT_PTR modalResult)
{
    if (modalResult == IDOK)
        return std::nullopt;
    // DialogBoxParam's own failure: -1, or 0 for an owner that is no window.
    if (modalResult == -1 || modalResult == 0) {
        ShowWindowNotOpened(GetLastError());
        return CommandResult::NoDialog;
    }
    return CommandResult::Cancelled;
}

void ShowWindowNotOpened(DWORD error)
{
    AfxMessageBox(WindowNotOpenedText(SystemErrorText(error)));
}

void ShowInformation(HWND owner, const std::string& text, const std::string& caption)
{
    ShowInformation(owner, ToWide(text), caption);
}

void ShowInformation(HWND owner, const std::wstring& text, const std::string& caption)
{
    const CWinApp* app = AfxGetApp();
    if (app && app->m_noBoxes)
        WriteStandardError(text);
    else
        MessageBoxW(owner, text.c_str(), ToWide(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

std::wstring ToldText(const std::string& utf8)
{
    return FromUtf8(utf8);
}

std::string Utf8Part(const std::string& ansiPath)
{
    return ToUtf8(ToWide(ansiPath));
}

CommandResult TellOutcome(const CommandOutcome& told, const char* successCaption)
{
    if (told.iconRefused)
        AfxMessageBox(text::SetIconFailed);
    if (told.succeeded) {
        ShowInformation(AfxGetMainHwnd(), told.text, successCaption);
        return CommandResult::Succeeded;
    }
    if (!told.text.empty())
        AfxMessageBox(told.text);
    return CommandResult::Failed;
}

void BatchSummary::Add(const std::wstring& shortcutPath, const CommandOutcome& told)
{
    const std::string text =
        ToUtf8(told.iconRefused ? ToWide(text::SetIconFailed) + L"\n" + told.text : told.text);
    m_text += ToldText(BatchLineText(ToUtf8(BaseName(shortcutPath)), text));
    m_failed = m_failed || !told.succeeded;
    m_succeeded += told.succeeded ? 1 : 0;
}

CommandResult BatchSummary::Tell(HWND owner) const
{
    if (!m_text.empty())
        ShowInformation(owner, m_text, AfxAppTitle());
    return m_failed ? CommandResult::Failed : CommandResult::Succeeded;
}
