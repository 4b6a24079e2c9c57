#include "app/MasterPasswordCommand.h"

#include "app/CommandResult.h"
#include "app/MasterPasswordDlg.h"
#include "app/MasterPromptDlg.h"
#include "core/Messages.h"
#include "core/MasterPassword.h"
#include "core/Secret.h"
#include "framework/Framework.h"
#include "win/MasterFile.h"

namespace {

// Runs one prompt until `required` is typed exactly (Open), answering every other text with
// "Password not correct!". Closed when the user gives up (Cancel, Escape, the close box);
// NoDialog, told in a message, when the prompt cannot be opened or nobody could answer it.
GateResult PromptForMasterPassword(const std::string& required)
{
    // A script's or a task's run would wait for the prompt forever.
    if (AfxGetApp()->m_noBoxes) {
        AfxMessageBox(text::MasterNotAskedUnattended);
        return GateResult::NoDialog;
    }
    CMasterPromptDlg prompt;
    for (;;) {
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(prompt.DoModal()))
            return *unanswered == CommandResult::NoDialog ? GateResult::NoDialog : GateResult::Closed;
        if (prompt.m_password == required)
            return GateResult::Open;
        AfxMessageBox(text::PasswordNotCorrect);
    }
}

} // namespace

GateResult PassMasterPasswordGate()
{
    std::optional<std::string> path = MasterFilePath();
    if (!path) {
        AfxMessageBox(text::GateNoSystemFolder);
        return GateResult::Closed;
    }
    // Fails closed: a file that exists but cannot be read may hold a password.
    MasterFileRead file = ReadMasterFile(*path);
    if (!file.missing && !file.bytes) {
        AfxMessageBox(MasterUnreadableText(*path, true));
        return GateResult::Unreadable;
    }
    MasterPasswordDecision decision = DecideMasterPassword(file.bytes);
    SecretWiper clearRequired(decision.required);
    if (file.bytes)
        ClearSecret(*file.bytes);
    return decision.promptNeeded ? PromptForMasterPassword(decision.required) : GateResult::Open;
}

void SetMasterPassword()
{
    std::optional<std::string> path = MasterFilePath();
    if (!path) {
        AfxMessageBox(text::GateNoSystemFolder);
        return;
    }
    MasterFileRead file = ReadMasterFile(*path);
    if (!file.missing && !file.bytes) {
        AfxMessageBox(MasterUnreadableText(*path, false));
        return;
    }
    MasterPasswordDecision current = DecideMasterPassword(file.bytes);
    if (file.bytes)
        ClearSecret(*file.bytes);
    const bool passed = !current.promptNeeded || PromptForMasterPassword(current.required) == GateResult::Open;
    ClearSecret(current.required);
    if (!passed)
        return;

    CMasterPasswordDlg dlg;
    if (UnansweredDialog(dlg.DoModal()))
        return;
    std::string stored = MasterStoredValue(dlg.m_password);
    SecretWiper clearStored(stored);

    path = MasterFilePath();
    if (!path) {
        AfxMessageBox(text::SetNoSystemFolder);
        return;
    }
    if (!WriteMasterFile(*path, stored)) {
        AfxMessageBox(MasterSaveFailedText(*path));
        return;
    }
    MessageBoxA(AfxGetMainHwnd(), text::MasterUpdated, text::MasterUpdatedCaption, MB_OK | MB_ICONINFORMATION);
}
