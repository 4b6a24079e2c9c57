#include "app/CommandResult.h"

#include "core/Messages.h"
#include "framework/Framework.h"
#include "win/SystemError.h"

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
