#include "app/KeepCommand.h"

#include "app/AddPasswordDlg.h"
#include "app/ProtectCommand.h"
#include "app/RemovePasswordDlg.h"
#include "core/KeptPrograms.h"
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "core/Secret.h"
#include "framework/Framework.h"
#include "win/History.h"
#include "win/KeptStore.h"
#include "win/LocalPaths.h"
#include "win/LogonTask.h"
#include "win/Scoped.h"
#include "win/ShortcutLook.h"
#include "win/ShortcutStore.h"
#include "win/Strings.h"
#include "win/SystemError.h"
#include "win/Unattended.h"

#include <algorithm>
#include <optional>

namespace {

// The kept programs as read.
struct KeptList {
    std::vector<KeptProgram> programs;

    std::vector<KeptProgram>::iterator Find(const std::string& program)
    {
        return std::find_if(programs.begin(), programs.end(),
                            [&](const KeptProgram& kept) { return SameProgram(kept.programPath, program); });
    }
};

bool ReadKeptList(KeptList& list)
{
    std::optional<std::vector<KeptProgram>> kept = ReadKeptPrograms();
    if (!kept) {
        AfxMessageBox(text::KeptStoreUnreadable);
        return false;
    }
    list.programs = std::move(*kept);
    return true;
}

bool OfKeptProgram(const FoundShortcut& row, const std::vector<std::string>& keptPaths)
{
    return std::any_of(keptPaths.begin(), keptPaths.end(),
                       [&](const std::string& program) { return SameProgram(row.program, program); });
}

// UTF-8 text as the commands and dialogs take it; the UTF-8 itself when the code page has no form.
std::string Ansi(const std::string& utf8)
{
    return ToAnsi(FromUtf8(utf8)).value_or(utf8);
}

// The program as kept: its full long form in UTF-8, when it is a file on a local disk.
std::optional<std::string> LocalProgram(const std::string& path)
{
    const std::optional<std::string> full = FullPathName(path);
    if (!full || !IsLocalPath(*full))
        return std::nullopt;
    std::string program = LongFormUtf8(*full);
    const DWORD attributes = GetFileAttributesW(FromUtf8(program).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return program;
}

// The password from a file or standard input; nullopt, told why, when there is none to take.
std::optional<std::string> ReadUnattendedPassword(const PasswordSource& source)
{
    PasswordRead read = source.kind == PasswordSource::Kind::File ? ReadPasswordFile(ToWide(source.file))
                                                                  : ReadPasswordFromStandardInput();
    switch (read.result) {
    case PasswordInput::Read:
        break;
    case PasswordInput::CannotOpen:
        AfxMessageBox(source.kind == PasswordSource::Kind::File
                          ? PasswordFileUnreadableText(source.file, SystemErrorText(read.error))
                          : std::string(text::NoPasswordOnInput));
        return std::nullopt;
    case PasswordInput::NotPrivate: AfxMessageBox(PasswordFileNotPrivateText(source.file)); return std::nullopt;
    case PasswordInput::NotAFile: AfxMessageBox(PasswordFileNotAFileText(source.file)); return std::nullopt;
    case PasswordInput::NotInCodePage: AfxMessageBox(text::PasswordLineNotStorable); return std::nullopt;
    }
    if (read.password.empty()) {
        AfxMessageBox(text::EmptyPassword);
        return std::nullopt;
    }
    if (ScramblesToLineEnd(read.password)) {
        ClearSecret(read.password);
        AfxMessageBox(text::PasswordLineNotStorable);
        return std::nullopt;
    }
    return std::move(read.password);
}

// The shortcuts of a look that start program directly (not protected), as the commands name them.
std::vector<std::wstring> DirectShortcuts(const std::vector<FoundShortcut>& found, const std::string& program)
{
    std::vector<std::wstring> paths;
    for (const FoundShortcut& row : found) {
        if (CheckWouldChange(row, {program}) && row.state != ShortcutState::RecordMissing)
            paths.push_back(FromUtf8(row.path));
    }
    return paths;
}

size_t ProtectedCount(const std::vector<FoundShortcut>& found, const std::string& program)
{
    return static_cast<size_t>(std::count_if(found.begin(), found.end(), [&](const FoundShortcut& row) {
        return row.state != ShortcutState::NotProtected && row.state != ShortcutState::StartsProtectedProgram &&
               SameProgram(row.program, program);
    }));
}

// Writes back the missing record of a kept program's shortcut from the copy kept of it.
CommandOutcome RestoreRecord(const FoundShortcut& row)
{
    const std::string recordPath = Ansi(row.recordPath);
    if (!RestoreRecordFromStore(recordPath))
        return CommandOutcome{false, false, ToldText(RecordNotRestoredText(row.recordPath))};
    RecordChange(HistoryResult::RecordRestored, FromUtf8(row.path), Ansi(row.program));
    return CommandOutcome{true, false, ToWide(text::RecordRestored)};
}

// Writes the list; on the way from none to some the logon check is registered, on the way to
// none it is deleted. Either fails whole: the list stays as it was.
bool SaveKeptList(const std::vector<KeptProgram>& before, const std::vector<KeptProgram>& after)
{
    ComApartment com; // the Task Scheduler's objects
    if (!WriteKeptPrograms(after)) {
        AfxMessageBox(text::KeptStoreUnreadable);
        return false;
    }
    HRESULT task = S_OK;
    if (!after.empty())
        task = RegisterCheckTask(ModulePath(nullptr).value_or(std::wstring())); // again: it may have been deleted
    else if (!before.empty())
        task = DeleteCheckTask();
    if (SUCCEEDED(task))
        return true;
    WriteKeptPrograms(before);
    const std::string why = SystemErrorText(static_cast<DWORD>(task));
    AfxMessageBox(after.empty() ? CheckTaskNotDeletedText(why) : CheckTaskNotRegisteredText(why));
    return false;
}

// Takes the program out of the list, on disk and in kept, and tells so.
CommandResult StopKeeping(KeptList& kept, std::vector<KeptProgram>::iterator known, HWND owner)
{
    const std::string name = Ansi(known->programPath);
    KeptList after;
    for (auto entry = kept.programs.begin(); entry != kept.programs.end(); ++entry)
        if (entry != known)
            after.programs.push_back(*entry);
    if (!SaveKeptList(kept.programs, after.programs))
        return CommandResult::Failed;
    // A later stop in the same command writes the list without this one too.
    kept.programs = std::move(after.programs);
    ShowInformation(owner ? owner : AfxGetMainHwnd(), UnkeptText(name), text::KeepProtectingCaption);
    return CommandResult::Succeeded;
}

// Stops keeping a program of the list read, given its kept password from source.
CommandResult UnkeepKnown(KeptList& kept, std::vector<KeptProgram>::iterator known, const PasswordSource& source)
{
    if (source.kind == PasswordSource::Kind::Dialog) {
        CRemovePasswordDlg dlg(source.owner);
        dlg.m_linkPasswords.push_back(known->password);
        dlg.m_strTarget = FromUtf8(known->programPath);
        dlg.m_strProgram = BaseName(dlg.m_strTarget);
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
            return *unanswered;
    } else {
        std::optional<std::string> password = ReadUnattendedPassword(source);
        if (!password)
            return CommandResult::Failed;
        const bool right = *password == known->password;
        ClearSecret(*password);
        if (!right) {
            AfxMessageBox(text::KeptPasswordNotCorrect);
            return CommandResult::Failed;
        }
    }
    return StopKeeping(kept, known, source.owner);
}

} // namespace

CommandResult KeepProgram(const std::string& programPath, const PasswordSource& source,
                          const std::vector<FoundShortcut>* seen)
{
    ComApartment com;
    const std::optional<std::string> program = LocalProgram(programPath);
    if (!program) {
        AfxMessageBox(NotALocalProgramText(programPath));
        return CommandResult::Failed;
    }
    KeptList kept;
    if (!ReadKeptList(kept))
        return CommandResult::Failed;

    std::string password;
    SecretWiper clearPassword(password);
    bool useOriginalIcon = true;
    if (source.kind == PasswordSource::Kind::Dialog) {
        CAddPasswordDlg dlg(source.owner);
        dlg.m_strProgram = BaseName(FromUtf8(*program));
        dlg.m_strTarget = Ansi(*program);
        dlg.m_bUseOriginalIcon = true;
        if (const std::optional<CommandResult> unanswered = UnansweredDialog(dlg.DoModal()))
            return *unanswered;
        password = dlg.m_strPassword;
        useOriginalIcon = dlg.m_bUseOriginalIcon;
    } else if (std::optional<std::string> read = ReadUnattendedPassword(source)) {
        password = std::move(*read);
    } else {
        return CommandResult::Failed;
    }

    const auto known = kept.Find(*program);
    if (known != kept.programs.end() && known->password != password) {
        AfxMessageBox(KeptWithOtherPasswordText(Ansi(known->programPath)));
        return CommandResult::Failed;
    }
    if (known == kept.programs.end()) {
        std::vector<KeptProgram> after = kept.programs;
        after.push_back({*program, password});
        if (!SaveKeptList(kept.programs, after))
            return CommandResult::Failed;
    }

    const ShortcutLook look = seen ? ShortcutLook() : LookForShortcuts(ShortcutFolders());
    const std::vector<FoundShortcut>& found = seen ? *seen : look.found;
    BatchSummary summary;
    ProtectWithPassword(DirectShortcuts(found, *program), password, useOriginalIcon, HistoryResult::Protected,
                        summary);
    if (look.limitReached)
        summary.AddFailure(ToWide(LookSummary(look.found, look.unreadable, true)));
    const std::wstring told =
        ToldText(KeptText(*program, summary.Succeeded(), ProtectedCount(found, *program))) +
        (summary.Text().empty() ? std::wstring() : L"\n\n" + summary.Text());
    if (!summary.AllSucceeded()) {
        AfxMessageBox(told);
        return CommandResult::Failed;
    }
    ShowInformation(source.owner ? source.owner : AfxGetMainHwnd(), told, text::KeepProtectingCaption);
    return CommandResult::Succeeded;
}

CommandResult UnkeepProgram(const std::string& programPath, const PasswordSource& source)
{
    // A program that is gone (uninstalled) can still be let go: it is named as it was kept.
    const std::string full = FullPathName(programPath).value_or(programPath);
    const std::string program = LongFormUtf8(full);
    KeptList kept;
    if (!ReadKeptList(kept))
        return CommandResult::Failed;
    // The window names kept programs as the store does, in UTF-8.
    auto known = kept.Find(program);
    if (known == kept.programs.end())
        known = kept.Find(programPath);
    if (known == kept.programs.end()) {
        AfxMessageBox(NotKeptText(programPath));
        return CommandResult::Failed;
    }
    return UnkeepKnown(kept, known, source);
}

CommandResult CheckKeptPrograms(HWND owner)
{
    ComApartment com;
    KeptList kept;
    if (!ReadKeptList(kept))
        return CommandResult::Failed;
    if (kept.programs.empty())
        return CommandResult::Succeeded;
    std::vector<std::string> keptPaths;
    for (const KeptProgram& program : kept.programs)
        keptPaths.push_back(program.programPath);

    const ShortcutLook look = LookForShortcuts(ShortcutFolders());
    BatchSummary summary;
    // Past the look's limits some shortcuts were not seen: none can be said to be protected.
    if (look.limitReached)
        summary.AddFailure(ToWide(LookSummary(look.found, look.unreadable, true)));
    // Records first: a new record takes the first free name from now on, which may be the name of
    // one that is missing; written back first, it keeps its name for the shortcuts that use it.
    for (const FoundShortcut& row : look.found) {
        if (row.state == ShortcutState::RecordMissing && CheckWouldChange(row, keptPaths))
            summary.Add(FromUtf8(row.path), RestoreRecord(row));
        // Protected, but starting nothing: nothing a check can give back.
        else if (row.state == ShortcutState::LauncherMissing && OfKeptProgram(row, keptPaths))
            summary.Add(FromUtf8(row.path), CommandOutcome{false, false, ToWide(ShortcutStateText(row.state))});
    }
    for (const KeptProgram& program : kept.programs)
        ProtectWithPassword(DirectShortcuts(look.found, program.programPath), program.password, true,
                            HistoryResult::ProtectedAgain, summary);
    if (summary.Text().empty())
        return CommandResult::Succeeded;
    return summary.Tell(owner);
}

void OfferToStopKeeping(const std::vector<std::string>& programs, const std::string& typedPassword, HWND owner)
{
    KeptList kept;
    if (programs.empty() || !ReadKeptList(kept))
        return;
    std::vector<std::string> asked;
    for (const std::string& path : programs) {
        const std::string program = LongFormUtf8(path);
        if (std::any_of(asked.begin(), asked.end(), [&](const std::string& a) { return SameProgram(a, program); }))
            continue;
        asked.push_back(program);
        const auto known = kept.Find(program);
        if (known == kept.programs.end())
            continue;
        const std::string name = Ansi(known->programPath);
        if (MessageBoxA(owner ? owner : AfxGetMainHwnd(), StopKeepingQuestionText(name).c_str(),
                        AfxAppTitle().c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            continue;
        // The password just typed stops it when it is the kept one; otherwise the kept one is asked.
        if (known->password == typedPassword)
            StopKeeping(kept, known, owner);
        else
            UnkeepKnown(kept, known, PasswordSource::FromDialog(owner));
    }
}
