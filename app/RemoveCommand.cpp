#include "app/RemoveCommand.h"

#include "app/KeepCommand.h"
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
#include "win/Strings.h"

#include <memory>

namespace {

// A protected shortcut whose record has been read, its folder held from before the read to the
// write: the restored shortcut lands where the protected one was.
struct Candidate {
    explicit Candidate(const std::wstring& pickedPath)
        : path(pickedPath), linkFolder(FolderToOpen(pickedPath)), loaded(LoadProtectedShortcut(pickedPath))
    {
    }

    // Why its protection cannot be removed; nothing when it can.
    std::optional<CommandOutcome> Refusal() const
    {
        if (!loaded.Ready())
            return CommandOutcome{false, false,
                                  ToldText(RemoveMessageText(loaded.result, std::string(), Utf8Part(loaded.recordPath)))};
        if (!linkFolder.StillThere())
            return CommandOutcome{false, false, ToWide(text::FolderNotHeld)};
        return std::nullopt;
    }

    std::wstring path;
    HeldFolder linkFolder;
    LoadedProtection loaded;
};

CommandOutcome Restore(const Candidate& candidate)
{
    if (!candidate.linkFolder.StillThere())
        return CommandOutcome{false, false, ToWide(text::FolderNotHeld)};
    const RemoveOutcome outcome = RestoreShortcut(candidate.path, candidate.loaded);
    CommandOutcome told;
    told.iconRefused = outcome.iconRefused;
    told.succeeded = outcome.result == RemoveResult::Succeeded;
    if (told.succeeded)
        RecordChange(HistoryResult::Removed, candidate.path, candidate.loaded.commandLine.targetPath);
    told.text = ToldText(RemoveMessageText(outcome.result, ToUtf8(BaseName(candidate.path)),
                                           Utf8Part(candidate.loaded.recordPath)));
    return told;
}

} // namespace

CommandResult RemoveProtection(const std::wstring& pickedPath)
{
    // Shortcut access needs COM; it is started here, not with the program.
    ComApartment com;
    // A missing or damaged record is reported before anyone is asked for a password; a file that
    // is no shortcut at all ends the command without a word.
    Candidate candidate(pickedPath);
    if (const std::optional<CommandOutcome> refusal = candidate.Refusal()) {
        if (candidate.loaded.result == RemoveResult::ReadFailed)
            return CommandResult::Failed;
        return TellOutcome(*refusal, text::RemoveSucceededCaption);
    }

    CRemovePasswordDlg dlg;
    dlg.m_linkPasswords.push_back(candidate.loaded.record.password);
    ClearSecret(candidate.loaded.record.password); // the dialog's copy is the one still needed
    dlg.m_strTarget = ToldText(TargetShortcutText(ToUtf8(pickedPath)));
    dlg.m_strProgram = BaseName(pickedPath);
    if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
        return *unanswered;
    const CommandResult result = TellOutcome(Restore(candidate), text::RemoveSucceededCaption);
    if (result == CommandResult::Succeeded)
        OfferToStopKeeping({candidate.loaded.commandLine.targetPath}, dlg.m_strPassword, nullptr);
    return result;
}

CommandResult RemoveProtections(const std::vector<std::wstring>& paths, HWND owner)
{
    ComApartment com;
    BatchSummary summary;
    std::vector<std::unique_ptr<Candidate>> candidates;
    for (const std::wstring& path : paths) {
        auto candidate = std::make_unique<Candidate>(path);
        if (const std::optional<CommandOutcome> refusal = candidate->Refusal())
            summary.Add(path, *refusal);
        else
            candidates.push_back(std::move(candidate));
    }
    if (!candidates.empty()) {
        // The password once: it opens those whose record holds it.
        CRemovePasswordDlg dlg(owner);
        for (const std::unique_ptr<Candidate>& candidate : candidates) {
            dlg.m_linkPasswords.push_back(candidate->loaded.record.password);
            ClearSecret(candidate->loaded.record.password); // the dialog's copy is the one still needed
        }
        dlg.m_strTarget =
            candidates.size() == 1 ? ToldText(TargetShortcutText(ToUtf8(candidates[0]->path))) : std::wstring();
        dlg.m_strProgram =
            candidates.size() == 1 ? BaseName(candidates[0]->path) : ToWide(ShortcutsCountText(candidates.size()));
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
            return *unanswered;
        std::vector<std::string> restoredPrograms;
        for (size_t i = 0; i < candidates.size(); ++i) {
            const Candidate& candidate = *candidates[i];
            const CommandOutcome told = dlg.m_linkPasswords[i] == dlg.m_strPassword
                                            ? Restore(candidate)
                                            : CommandOutcome{false, false, ToWide(text::PasswordDoesNotMatch)};
            summary.Add(candidate.path, told);
            if (told.succeeded)
                restoredPrograms.push_back(candidate.loaded.commandLine.targetPath);
        }
        const CommandResult result = summary.Tell(owner);
        OfferToStopKeeping(restoredPrograms, dlg.m_strPassword, owner);
        return result;
    }
    return summary.Tell(owner);
}

CommandResult PickAndRemoveProtection()
{
    std::wstring pickedPath;
    if (!PickShortcut(text::PickToRemoveTitle, pickedPath))
        return CommandResult::Cancelled;
    return RemoveProtection(pickedPath);
}
