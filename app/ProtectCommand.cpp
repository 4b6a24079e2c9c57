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
#include "win/Strings.h"

#include <ctime>
#include <map>
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

// The stamps a batch names its records by. A record takes the first free second from now on in
// its program's folder; many shortcuts of programs in one folder, protected within a second,
// would each try every name the ones before took. The batch remembers, per folder, the second
// after the last it used, and starts there when that is later than now.
class RecordStamps {
public:
    std::string Next(const std::string& targetPath) const
    {
        const std::string now = LocalTimeStamp();
        const auto used = m_next.find(LowerAscii(FolderOf(targetPath)));
        return used != m_next.end() && Sortable(used->second) > Sortable(now) ? used->second : now;
    }
    void Used(const std::string& recordPath)
    {
        const std::string name = FileName(recordPath);
        m_next[LowerAscii(FolderOf(recordPath))] = NextTimeStamp(name.substr(0, name.find('.')));
    }

private:
    // DDMMYYYYhhmmss as YYYYMMDDhhmmss, which sorts as time does.
    static std::string Sortable(const std::string& stamp)
    {
        return stamp.size() == 14 ? stamp.substr(4, 4) + stamp.substr(2, 2) + stamp.substr(0, 2) + stamp.substr(8)
                                  : std::string();
    }

    std::map<std::string, std::string> m_next; // by folder, lower case
};

// A shortcut read and checked for protection. Its folder is held before the read, the program's
// (where the record goes, known only from the read) right after it, both until the write: the
// shortcut and the record land in the folders read and checked. The program's folder may be
// missing: then the record cannot be written, and the write says so.
struct Candidate {
    explicit Candidate(const std::wstring& pickedPath)
        : path(pickedPath), linkFolder(FolderToOpen(pickedPath)), loaded(LoadShortcutForProtection(pickedPath)),
          // Not asked of a refused target: it may be on a server.
          programFolderExists(loaded.result == ProtectResult::Ready &&
                              GetFileAttributesA(loaded.programFolder.c_str()) != INVALID_FILE_ATTRIBUTES),
          recordFolder(programFolderExists ? loaded.programFolder : std::string())
    {
    }

    bool FoldersStayed() const { return linkFolder.StillThere() && (!programFolderExists || recordFolder.StillThere()); }

    // Why it cannot be protected; nothing when it can.
    std::optional<CommandOutcome> Refusal() const
    {
        if (loaded.result != ProtectResult::Ready)
            return CommandOutcome{false, false, ToWide(ProtectMessageText(loaded.result, std::string(), std::string()))};
        if (!FoldersStayed())
            return CommandOutcome{false, false, ToWide(text::FolderNotHeld)};
        return std::nullopt;
    }

    std::wstring path;
    HeldFolder linkFolder;
    LoadedShortcut loaded;
    bool programFolderExists;
    HeldFolder recordFolder;
};

CommandOutcome Protect(const Candidate& candidate, const std::string& password, bool useOriginalIcon,
                       HistoryResult change, RecordStamps& stamps)
{
    if (!candidate.FoldersStayed())
        return CommandOutcome{false, false, ToWide(text::FolderNotHeld)};
    // One stamp names both the record and any icon copy.
    const ProtectOutcome outcome = ApplyProtection(candidate.path, candidate.loaded, password, useOriginalIcon,
                                                   stamps.Next(candidate.loaded.info.targetPath));
    if (!outcome.recordPath.empty())
        stamps.Used(outcome.recordPath);
    CommandOutcome told;
    told.iconRefused = outcome.iconRefused;
    told.succeeded = outcome.result == ProtectResult::Succeeded;
    if (told.succeeded)
        RecordChange(change, candidate.path, candidate.loaded.info.targetPath);
    told.text = ToldText(
        ProtectMessageText(outcome.result, ToUtf8(BaseName(candidate.path)), Utf8Part(outcome.recordPath)));
    if (told.succeeded && outcome.iconNotCopied)
        told.text += L"\n" + ToWide(text::IconNotCopied);
    return told;
}

} // namespace

CommandResult ProtectShortcut(const std::wstring& pickedPath)
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
    RecordStamps stamps;
    return TellOutcome(
        Protect(candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon, HistoryResult::Protected, stamps),
        text::ProtectSucceededCaption);
}

CommandResult ProtectShortcuts(const std::vector<std::wstring>& paths, HWND owner)
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
        // One password and one icon choice for all of them.
        CAddPasswordDlg dlg(owner);
        dlg.m_strProgram =
            candidates.size() == 1 ? BaseName(candidates[0]->path) : ToWide(ShortcutsCountText(candidates.size()));
        dlg.m_strTarget = candidates.size() == 1 ? candidates[0]->loaded.info.targetPath : std::string();
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
            return *unanswered;
        RecordStamps stamps;
        for (const std::unique_ptr<Candidate>& candidate : candidates)
            summary.Add(candidate->path, Protect(*candidate, dlg.m_strPassword, dlg.m_bUseOriginalIcon,
                                                 HistoryResult::Protected, stamps));
    }
    return summary.Tell(owner);
}

void ProtectWithPassword(const std::vector<std::wstring>& paths, const std::string& password, bool useOriginalIcon,
                         HistoryResult change, BatchSummary& summary)
{
    ComApartment com;
    RecordStamps stamps;
    for (const std::wstring& path : paths) {
        const Candidate candidate(path);
        const std::optional<CommandOutcome> refusal = candidate.Refusal();
        summary.Add(path, refusal ? *refusal : Protect(candidate, password, useOriginalIcon, change, stamps));
    }
}

CommandResult PickAndProtectShortcut()
{
    std::wstring pickedPath;
    if (!PickShortcut(text::PickToProtectTitle, pickedPath))
        return CommandResult::Cancelled;
    return ProtectShortcut(pickedPath);
}
