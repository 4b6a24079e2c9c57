#include "app/RemoveCommand.h"

#include "app/PickShortcut.h"
#include "app/RemovePasswordDlg.h"
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/Secret.h"
#include "framework/Framework.h"
#include "win/HeldFolder.h"
#include "win/History.h"
#include "win/RemoveFiles.h"
#include "win/Scoped.h"

#include <memory>

namespace {

// A protected shortcut whose record has been read, its folder held from the read to the write:
// the restored shortcut lands where the protected one was.
struct Candidate {
    explicit Candidate(const std::string& pickedPath)
        : path(pickedPath), loaded(LoadProtectedShortcut(pickedPath)), linkFolder(FolderToOpen(pickedPath))
    {
    }

    std::string path;
    LoadedProtection loaded;
    HeldFolder linkFolder;
};


CommandOutcome Restore(Candidate& candidate)
{
    CommandOutcome told;
    if (!candidate.linkFolder.StillThere()) {
        told.text = text::FolderNotHeld;
        return told;
    }
    const RemoveOutcome outcome = RestoreShortcut(candidate.path, candidate.loaded);
    told.iconRefused = outcome.iconRefused;
    told.succeeded = outcome.result == RemoveResult::Succeeded;
    if (told.succeeded)
        RecordChange(HistoryResult::Removed, candidate.path, candidate.loaded.commandLine.targetPath);
    told.text = RemoveMessageText(outcome.result, BaseName(candidate.path), candidate.loaded.recordPath);
    return told;
}

} // namespace

CommandResult RemoveProtection(const std::string& pickedPath)
{
    // Shortcut access needs COM; it is started here, not with the program.
    ComApartment com;
    // A missing or damaged record is reported before anyone is asked for a password; a file that
    // is no shortcut at all ends the command without a word.
    Candidate candidate(pickedPath);
    LoadedProtection& loaded = candidate.loaded;
    if (!loaded.Ready()) {
        if (loaded.result != RemoveResult::ReadFailed)
            AfxMessageBox(RemoveMessageText(loaded.result, std::string(), loaded.recordPath));
        return CommandResult::Failed;
    }
    if (!candidate.linkFolder.StillThere()) {
        AfxMessageBox(text::FolderNotHeld);
        return CommandResult::Failed;
    }

    CRemovePasswordDlg dlg;
    dlg.m_strLinkPassword = loaded.record.password;
    ClearSecret(loaded.record.password); // the dialog's copy is the one still needed
    dlg.m_strTarget = TargetShortcutText(pickedPath);
    dlg.m_strProgram = BaseName(pickedPath);
    if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
        return *unanswered;

    const CommandOutcome told = Restore(candidate);
    if (told.iconRefused)
        AfxMessageBox(text::SetIconFailed);
    if (told.succeeded) {
        MessageBoxA(AfxGetMainHwnd(), told.text.c_str(), text::RemoveSucceededCaption, MB_OK | MB_ICONINFORMATION);
        return CommandResult::Succeeded;
    }
    AfxMessageBox(told.text);
    return CommandResult::Failed;
}

void RemoveProtections(const std::vector<std::string>& paths, HWND owner)
{
    ComApartment com;
    std::string summary;
    std::vector<std::unique_ptr<Candidate>> candidates;
    for (const std::string& path : paths) {
        auto candidate = std::make_unique<Candidate>(path);
        const LoadedProtection& loaded = candidate->loaded;
        if (!loaded.Ready())
            summary += BatchLineText(BaseName(path), RemoveMessageText(loaded.result, std::string(), loaded.recordPath));
        else if (!candidate->linkFolder.StillThere())
            summary += BatchLineText(BaseName(path), text::FolderNotHeld);
        else
            candidates.push_back(std::move(candidate));
    }
    if (!candidates.empty()) {
        // The password once: it opens those whose record holds it.
        CRemovePasswordDlg dlg(owner);
        for (const std::unique_ptr<Candidate>& candidate : candidates) {
            dlg.m_vecLinkPasswords.push_back(candidate->loaded.record.password);
            ClearSecret(candidate->loaded.record.password); // the dialog's copy is the one still needed
        }
        dlg.m_strTarget = candidates.size() == 1 ? TargetShortcutText(candidates[0]->path) : std::string();
        dlg.m_strProgram =
            candidates.size() == 1 ? BaseName(candidates[0]->path) : ShortcutsCountText(candidates.size());
        if (UnansweredDialog(dlg.DoModal()))
            return;
        for (size_t i = 0; i < candidates.size(); ++i) {
            const std::unique_ptr<Candidate>& candidate = candidates[i];
            if (dlg.m_vecLinkPasswords[i] != dlg.m_strPassword) {
                summary += BatchLineText(BaseName(candidate->path), text::PasswordDoesNotMatch);
                continue;
            }
            CommandOutcome told = Restore(*candidate);
            if (told.iconRefused)
                told.text = std::string(text::SetIconFailed) + "\n" + told.text;
            summary += BatchLineText(BaseName(candidate->path), told.text);
        }
    }
    MessageBoxA(owner, summary.c_str(), AfxAppTitle().c_str(), MB_OK | MB_ICONINFORMATION);
}

CommandResult PickAndRemoveProtection()
{
    std::string pickedPath;
    if (!PickShortcut(text::PickToRemoveTitle, pickedPath))
        return CommandResult::Cancelled;
    return RemoveProtection(pickedPath);
}
