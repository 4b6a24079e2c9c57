#include "win/ProtectFiles.h"

#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "core/ShellLinkFile.h"
#include "win/Files.h"
#include "win/IconCopy.h"
#include "win/LocalPaths.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

namespace {

// How many later seconds are tried when the record's name is taken.
constexpr int RecordNameTries = 100;

ProtectResult ResultFor(ShortcutTextProblem problem)
{
    switch (problem) {
    case ShortcutTextProblem::TooLong: return ProtectResult::TextTooLong;
    case ShortcutTextProblem::NotInCodePage: return ProtectResult::NotInCodePage;
    case ShortcutTextProblem::None: break;
    }
    return ProtectResult::Ready;
}

// True when text passes through the shell link object's UTF-16 unchanged.
bool SurvivesCodePage(const std::string& text)
{
    return ToAnsi(ToWide(text)) == text;
}

} // namespace

LoadedShortcut LoadShortcutForProtection(const std::wstring& pickedPath)
{
    LoadedShortcut loaded;
    ShortcutTextProblem problem = ShortcutTextProblem::None;
    bool advertised = false;
    LocalPaths local;
    HRESULT read = ReadShortcut(pickedPath, loaded.info, local, loaded.links, &problem, &advertised);
    // An advertised shortcut installed here is taken at its component's path and nothing else.
    // Windows Installer is asked only about those: it loads the file once more.
    std::string componentPath;
    if (advertised && ResolveAdvertisedShortcut(pickedPath, componentPath)) {
        ShortcutInfo component;
        component.targetPath = componentPath;
        // How it is started stays the shortcut's own.
        component.hotKey = loaded.info.hotKey;
        component.showCommand = loaded.info.showCommand;
        component.runAsAdministrator = loaded.info.runAsAdministrator;
        loaded.info = component;
        read = S_OK;
        problem = ShortcutTextProblem::None;
    }

    // The path as it is when the file system gives no short form, or must not be asked: a target
    // on a server is refused below without being looked at.
    const bool localTarget = local.IsLocal(ToWide(loaded.info.targetPath));
    const std::string asNamed = loaded.info.targetPath;
    if (localTarget) {
        loaded.programFolder = FolderToOpen(asNamed);
        loaded.info.targetPath = ShortPathName(asNamed).value_or(asNamed);
    }
    if (FAILED(read)) {
        loaded.result = ProtectResult::ReadFailed;
        return loaded;
    }
    // Refused before anything is asked or written: what the record cannot keep exactly would
    // come back changed, or start something else, after protect and remove.
    if (IsSystemLauncherTarget(loaded.info.targetPath))
        loaded.result = ProtectResult::AlreadyProtected;
    else if (problem != ShortcutTextProblem::None)
        loaded.result = ResultFor(problem);
    else if (IsDriveRoot(loaded.info.targetPath))
        loaded.result = ProtectResult::DriveRoot;
    else if (!IsAbsoluteFileSystemPath(loaded.info.targetPath))
        loaded.result = ProtectResult::NotAFileTarget;
    // Remove opens only a local record; one on a server could never be taken away again. Any
    // stamp will do: only the record's folder counts, whose drive is the target's, asked above.
    else if (!localTarget || !IsLocalRecordPath(MakeRecordPath(loaded.info.targetPath, "01012000000000")))
        loaded.result = ProtectResult::NetworkTarget;
    else if (!SurvivesCodePage(loaded.info.targetPath))
        loaded.result = ProtectResult::NotInCodePage;
    else if (!IsStorableRecord({std::string(), MakeCommandLine(loaded.info.targetPath, loaded.info.arguments),
                                loaded.info.workingDirectory}))
        loaded.result = ProtectResult::NotStorable;
    // Found before the password is asked: without its copy kept, remove could not give it back.
    else if (!ShortcutStoreFolder())
        loaded.result = ProtectResult::OriginalNotKept;
    // Found before the password is asked, not after it was typed twice.
    else if (!CanMakeFileBeside(asNamed))
        loaded.result = ProtectResult::RecordFolderNotWritable;
    return loaded;
}

namespace {

// What must hold before anything is written; Ready when it does.
ProtectResult CheckBeforeWriting(const ProtectionRecord& record)
{
    if (!IsStorableRecord(record))
        return ProtectResult::NotStorable;
    if (!SystemDirectory() || !SystemLauncherPath())
        return ProtectResult::SystemDirectoryFailed;
    // Whether the shortcut can be replaced is not asked first: the replacement itself answers,
    // after a program that holds it was waited for, and a failed one takes the record, with its
    // password, away again.
    return ProtectResult::Ready;
}

// Writes the record under the first free name from stamp on; stamp and recordPath name it.
// Created, never overwritten: a record of the same second, or a link planted at its name, stays
// as it is and the next second's name is tried. A shortcut that starts the launcher without its
// record would lock the user out, so nothing goes further unless the record is on disk whole.
ProtectResult WriteRecord(const std::string& targetPath, const ProtectionRecord& record, std::string& stamp,
                          std::string& recordPath)
{
    std::string bytes = FormatProtectionRecord(record);
    SecretWiper clearBytes(bytes);
    NewFileResult written = NewFileResult::Exists;
    for (int tries = 0; tries < RecordNameTries && written == NewFileResult::Exists && !stamp.empty(); ++tries) {
        if (tries > 0)
            stamp = NextTimeStamp(stamp);
        recordPath = MakeRecordPath(targetPath, stamp);
        if (!SurvivesCodePage(Scramble(recordPath)))
            return ProtectResult::NotInCodePage;
        written = WriteNewWholeFile(recordPath, bytes);
    }
    return written == NewFileResult::Written ? ProtectResult::Ready : ProtectResult::RecordWriteFailed;
}

// Sets the protected shortcut's icon to the one the original shows. Only the icon itself is
// copied, never the file it lies in, and never over a file already there; without it the
// shortcut shows the launcher's icon, and says so. Returns the copy made, if any.
std::string ChooseIcon(const ShortcutInfo& info, const std::string& stamp, ShortcutInfo& protectedLink,
                       ProtectOutcome& outcome)
{
    const std::string systemDirectory = SystemDirectory().value_or(std::string());
    IconChoice icon =
        ChooseOriginalIcon(info.iconPath, info.iconIndex, ToWide(info.targetPath), ToWide(systemDirectory));
    std::string iconCopy;
    if (!icon.copyFrom.empty()) {
        const std::optional<std::string> shown = ReadShownIcon(icon.copyFrom, icon.copyIndex);
        const std::optional<std::string> copy = shown ? WriteIconCopy(systemDirectory, stamp, *shown) : std::nullopt;
        iconCopy = copy.value_or(std::string());
        icon.iconPath = ToWide(iconCopy);
        icon.iconIndex = 0;
        outcome.iconNotCopied = !copy;
    }
    protectedLink.iconPath = icon.iconPath;
    protectedLink.iconIndex = icon.iconIndex;
    return iconCopy;
}

// Takes away what a failed attempt made, the password first, so that the shortcut is as it
// was and nothing is left behind. The result says whether the record went too.
ProtectResult RollBack(const std::string& recordPath, const std::string& iconCopy, ProtectResult failure)
{
    ForgetOriginalShortcut(recordPath);
    const bool recordGone = DeleteFileA(recordPath.c_str()) != FALSE;
    if (!iconCopy.empty())
        DeleteFileA(iconCopy.c_str());
    return recordGone ? failure : ProtectResult::CreateLinkFailed;
}

} // namespace

ProtectOutcome ApplyProtection(const std::wstring& pickedPath, const LoadedShortcut& loaded,
                               const std::string& password, bool useOriginalIcon, const std::string& timeStamp)
{
    const ShortcutInfo& info = loaded.info;
    ProtectOutcome outcome;
    ProtectionRecord record;
    record.password = password;
    SecretWiper clearPassword(record.password);
    record.commandLine = MakeCommandLine(info.targetPath, info.arguments);
    record.workingDirectory = info.workingDirectory;
    if ((outcome.result = CheckBeforeWriting(record)) != ProtectResult::Ready)
        return outcome;
    // The shortcut as it is, kept whole so that remove gives back exactly this.
    // It was read before; a program that holds it now keeps it from being replaced too.
    const std::optional<std::string> original = ReadWholeFile(pickedPath);
    if (!original) {
        outcome.result = ProtectResult::ShortcutNotWritable;
        return outcome;
    }

    // One stamp names both the record and any icon copy.
    std::string stamp = timeStamp;
    if ((outcome.result = WriteRecord(info.targetPath, record, stamp, outcome.recordPath)) != ProtectResult::Ready)
        return outcome;

    ShortcutInfo protectedLink;
    protectedLink.targetPath = SystemLauncherPath().value_or(std::string());
    protectedLink.arguments = Scramble(outcome.recordPath);
    // Kept on the protected shortcut: a hot key then starts the launcher, which asks; the show
    // command reaches the program through it; run as administrator starts the launcher, and with
    // it the program, with the rights the owner gave.
    protectedLink.description = info.description;
    protectedLink.hotKey = info.hotKey;
    protectedLink.showCommand = info.showCommand;
    protectedLink.runAsAdministrator = info.runAsAdministrator;
    const std::string iconCopy = useOriginalIcon ? ChooseIcon(info, stamp, protectedLink, outcome) : std::string();

    // The shell link object writes the launcher's part; the original's header fields and the
    // blocks of how its window looks and which app it is (console, property store) are carried
    // over at byte level, as not every shell link object keeps them.
    std::string built;
    if (FAILED(BuildShortcutBytes(loaded.links, pickedPath, protectedLink, built, &outcome.iconRefused))) {
        outcome.result = RollBack(outcome.recordPath, iconCopy, ProtectResult::ShortcutNotWritable);
        return outcome;
    }
    const std::string bytes = linkfile::CarryOver(built, *original).value_or(built);
    // The record's bytes too, so that one an updater deletes can be given back.
    if (!KeepOriginalShortcut(
            {outcome.recordPath, ToUtf8(pickedPath), bytes, *original, FormatProtectionRecord(record)})) {
        outcome.result = RollBack(outcome.recordPath, iconCopy, ProtectResult::OriginalNotKept);
        return outcome;
    }
    if (FAILED(PutShortcutBytes(pickedPath, bytes))) {
        outcome.result = RollBack(outcome.recordPath, iconCopy, ProtectResult::ShortcutNotWritable);
        return outcome;
    }
    outcome.result = ProtectResult::Succeeded;
    return outcome;
}
