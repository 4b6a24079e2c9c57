#include "app/ProtectCommand.h"

#include "app/AddPasswordDlg.h"
#include "app/PickShortcut.h"
#include "core/Messages.h"
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

// A shortcut read and checked for protection. Its folder and the program's (where the record
// goes) are held from the read to the write, so that both the shortcut and the record land in the
// folders just read and checked. The program's folder may be missing: then the record cannot be
// written, and the write says so.
struct Candidate {
    explicit Candidate(const std::string& pickedPath)
        : path(pickedPath), loaded(LoadShortcutForProtection(pickedPath)), linkFolder(FolderToOpen(pickedPath)),
          // Not asked of a refused target: it may be on a server.
          programFolderExists(loaded.result == ProtectResult::Ready &&
                              GetFileAttributesA(FolderToOpen(loaded.info.targetPath).c_str()) !=
                                  INVALID_FILE_ATTRIBUTES),
          recordFolder(programFolderExists ? FolderToOpen(loaded.info.targetPath) : std::string())
    {
    }

    bool FoldersStayed() const { return linkFolder.StillThere() && (!programFolderExists || recordFolder.StillThere()); }

    // Why it cannot be protected; empty when it can.
    std::string Refusal() const
    {
        if (loaded.result != ProtectResult::Ready)
            return ProtectMessageText(loaded.result, std::string(), std::string());
        return FoldersStayed() ? std::string() : text::FolderNotHeld;
    }

    std::string path;
    LoadedShortcut loaded;
    HeldFolder linkFolder;
    bool programFolderExists;
    HeldFolder recordFolder;
};


CommandOutcome Protect(const Candidate& candidate, const std::string& password, bool useOriginalIcon)
{
    CommandOutcome told;
    if (!candidate.FoldersStayed()) {
        told.text = text::FolderNotHeld;
        return told;
    }
    // One stamp names both the record and any icon copy.
    const ProtectOutcome outcome =
        ApplyProtection(candidate.path, candidate.loaded.info, password, useOriginalIcon, LocalTimeStamp());
    told.iconRefused = outcome.iconRefused;
    told.succeeded = outcome.result == ProtectResult::Succeeded;
    if (told.succeeded)
        RecordChange(HistoryResult::Protected, candidate.path, candidate.loaded.info.targetPath);
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
    const std::string refusal = candidate.Refusal();
    if (!refusal.empty()) {
        AfxMessageBox(refusal);
        return CommandResult::Failed;
    }

    CAddPasswordDlg dlg;
    dlg.m_strTarget = candidate.loaded.info.targetPath;
    dlg.m_strProgram = BaseName(pickedPath);
    if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
        return *unanswered;

    const CommandOutcome told = Protect(candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon);
    if (told.iconRefused)
        AfxMessageBox(text::SetIconFailed);
    if (told.succeeded) {
        MessageBoxA(AfxGetMainHwnd(), told.text.c_str(), text::ProtectSucceededCaption, MB_OK | MB_ICONINFORMATION);
        return CommandResult::Succeeded;
    }
    if (!told.text.empty())
        AfxMessageBox(told.text);
    return CommandResult::Failed;
}

void ProtectShortcuts(const std::vector<std::string>& paths, HWND owner)
{
    ComApartment com;
    std::string summary;
    std::vector<std::unique_ptr<Candidate>> candidates;
    for (const std::string& path : paths) {
        auto candidate = std::make_unique<Candidate>(path);
        const std::string refusal = candidate->Refusal();
        if (refusal.empty())
            candidates.push_back(std::move(candidate));
        else
            summary += BatchLineText(BaseName(path), refusal);
    }
    if (!candidates.empty()) {
        // One password and one icon choice for all of them.
        CAddPasswordDlg dlg(owner);
        dlg.m_strProgram = candidates.size() == 1 ? BaseName(candidates[0]->path) : ShortcutsCountText(candidates.size());
        dlg.m_strTarget = candidates.size() == 1 ? candidates[0]->loaded.info.targetPath : std::string();
        if (UnansweredDialog(dlg.DoModal()))
            return;
        for (const std::unique_ptr<Candidate>& candidate : candidates) {
            CommandOutcome told = Protect(*candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon);
            if (told.iconRefused)
                told.text = std::string(text::SetIconFailed) + "\n" + told.text;
            summary += BatchLineText(BaseName(candidate->path), told.text);
        }
    }
    MessageBoxA(owner, summary.c_str(), AfxAppTitle().c_str(), MB_OK | MB_ICONINFORMATION);
}

CommandResult PickAndProtectShortcut()
{
    std::string pickedPath;
    if (!PickShortcut(text::PickToProtectTitle, pickedPath))
        return CommandResult::Cancelled;
    return ProtectShortcut(pickedPath);
}
