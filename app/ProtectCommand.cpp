#include "app/ProtectCommand.h"

#include "app/AddPasswordDlg.h"
#include "app/PickShortcut.h"
#include "core/Paths.h"
#include "core/ProtectionRecord.h"
#include "framework/Framework.h"
#include "win/HeldFolder.h"
#include "win/History.h"
#include "win/ProtectFiles.h"
#include "win/Scoped.h"

#include <ctime>
#include <memory>

namespace {

std::string LocalTimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (const std::tm* converted = std::localtime(&now))
        local = *converted;
    return FormatTimeStamp(local);
}

// A shortcut read and checked for protection. Its folder is held before the read, the program's
// (where the record goes, known only from the read) right after it, both until the write: the
// shortcut and the record land in the folders read and checked. The program's folder may be
// missing: then the record cannot be written, and the write says so.
struct Candidate {
    explicit Candidate(const std::string& pickedPath)
        : path(pickedPath), linkFolder(FolderToOpen(pickedPath)), loaded(LoadShortcutForProtection(pickedPath)),
          // Not asked of a refused target: it may be on a server.
          programFolderExists(loaded.result == ProtectResult::Ready &&
                              GetFileAttributesA(FolderToOpen(loaded.info.targetPath).c_str()) !=
                                  INVALID_FILE_ATTRIBUTES),
          recordFolder(programFolderExists ? FolderToOpen(loaded.info.targetPath) : std::string())
    {
    }

    bool FoldersStayed() const { return linkFolder.StillThere() && (!programFolderExists || recordFolder.StillThere()); }

    // Why it cannot be protected; nothing when it can.
    std::optional<CommandOutcome> Refusal() const
    {
        if (loaded.result != ProtectResult::Ready)
            return CommandOutcome{false, false, ProtectMessageText(loaded.result, std::string(), std::string())};
        if (!FoldersStayed())
            return CommandOutcome{false, false, text::FolderNotHeld};
        return std::nullopt;
    }

    std::string path;
    HeldFolder linkFolder;
    LoadedShortcut loaded;
    bool programFolderExists;
    HeldFolder recordFolder;
};

CommandOutcome Protect(const Candidate& candidate, const std::string& password, bool useOriginalIcon,
                       HistoryResult change)
{
    if (!candidate.FoldersStayed())
        return CommandOutcome{false, false, text::FolderNotHeld};
    // One stamp names both the record and any icon copy.
    const ProtectOutcome outcome =
        ApplyProtection(candidate.path, candidate.loaded.info, password, useOriginalIcon, LocalTimeStamp());
    CommandOutcome told;
    told.iconRefused = outcome.iconRefused;
    told.succeeded = outcome.result == ProtectResult::Succeeded;
    if (told.succeeded)
        RecordChange(change, candidate.path, candidate.loaded.info.targetPath);
    told.text = ProtectMessageText(outcome.result, BaseName(candidate.path), outcome.recordPath);
    if (told.succeeded && outcome.iconNotCopied)
        told.text += std::string("\n") + text::IconNotCopied;
    return told;
}

} // namespace

CommandResult ProtectShortcut(const std::string& pickedPath)
{
    // Shortcut access needs COM; it is started here, not with the program, so that a run that
    // protects nothing never loads it.
    ComApartment com;
    const Candidate candidate(pickedPath);
    if (const std::optional<CommandOutcome> refusal = candidate.Refusal())
        return TellOutcome(*refusal, text::ProtectSucceededCaption);

    CAddPasswordDlg dlg;
    dlg.m_strTarget = candidate.loaded.info.targetPath;
    dlg.m_strProgram = BaseName(pickedPath);
    if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
        return *unanswered;
    return TellOutcome(Protect(candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon, HistoryResult::Protected),
                       text::ProtectSucceededCaption);
}

CommandResult ProtectShortcuts(const std::vector<std::string>& paths, HWND owner)
{
    ComApartment com;
    BatchSummary summary;
    std::vector<std::unique_ptr<Candidate>> candidates;
    for (const std::string& path : paths) {
        auto candidate = std::make_unique<Candidate>(path);
        if (const std::optional<CommandOutcome> refusal = candidate->Refusal())
            summary.Add(path, *refusal);
        else
            candidates.push_back(std::move(candidate));
    }
    if (!candidates.empty()) {
        // One password and one icon choice for all of them.
        CAddPasswordDlg dlg(owner);
        dlg.m_strProgram = candidates.size() == 1 ? BaseName(candidates[0]->path) : ShortcutsCountText(candidates.size());
        dlg.m_strTarget = candidates.size() == 1 ? candidates[0]->loaded.info.targetPath : std::string();
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
            return *unanswered;
        for (const std::unique_ptr<Candidate>& candidate : candidates)
            summary.Add(candidate->path,
                        Protect(*candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon, HistoryResult::Protected));
    }
    return summary.Tell(owner);
}

void ProtectWithPassword(const std::vector<std::string>& paths, const std::string& password, bool useOriginalIcon,
                         HistoryResult change, BatchSummary& summary)
{
    ComApartment com;
    for (const std::string& path : paths) {
        const Candidate candidate(path);
        const std::optional<CommandOutcome> refusal = candidate.Refusal();
        summary.Add(path, refusal ? *refusal : Protect(candidate, password, useOriginalIcon, change));
    }
}

CommandResult PickAndProtectShortcut()
{
    std::string pickedPath;
    if (!PickShortcut(text::PickToProtectTitle, pickedPath))
        return CommandResult::Cancelled;
    return ProtectShortcut(pickedPath);
}
